// The reader's interface: entry metadata and the entry reader in both of its modes (decoding on
// the caller's thread, and on a second thread ahead of it).
#include "sevenzip/Archive.h"
#include "sevenzip/ByteSource.h"
#include "sevenzip/EntryReader.h"
#include "tests/sevenzip/ArchiveFixtures.h"
#include "tests/support/TestSupport.h"
#include "tools/un7z/Extractor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <random>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kUnixExtension = 0x8000;

// Counts the bytes the reader pulls, to prove that each block is read (and decoded) once.
class CountingSource : public sevenzip::ByteSource {
public:
    explicit CountingSource(const std::vector<std::uint8_t>& bytes)
        : m_inner(bytes.data(), bytes.size()) {}
    std::uint64_t Size() const override { return m_inner.Size(); }
    SRes ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        m_read += size;
        return m_inner.ReadAt(offset, buffer, size);
    }
    std::uint64_t read() const { return m_read; }

private:
    sevenzip::MemorySource m_inner;
    std::atomic<std::uint64_t> m_read{0};
};

std::vector<std::uint8_t> Packed(const std::string& options, const fs::path& tree = {}) {
    testsupport::ScratchFolder scratch("reader");
    fs::path src = tree.empty() ? scratch.path() / "src" : tree;
    if (tree.empty())
        fixtures::MakeSampleTree(src);
    EXPECT_TRUE(fixtures::Pack(src, scratch.path() / "a.7z", options));
    return fixtures::ReadBytes(scratch.path() / "a.7z");
}

std::map<std::u16string, std::uint32_t> EntriesByName(const sevenzip::Archive& archive) {
    std::map<std::u16string, std::uint32_t> entries;
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++)
        entries[archive.Name(i)] = i;
    return entries;
}

// All of an entry's bytes, or the reader's failure.
SRes ReadEntry(sevenzip::EntryReader& reader, std::uint32_t entry, std::string& bytes) {
    bytes.clear();
    for (;;) {
        const Byte* data;
        std::size_t size;
        RINOK(reader.Read(entry, data, size));
        if (size == 0)
            return SZ_OK;
        bytes.append(reinterpret_cast<const char*>(data), size);
    }
}

std::string Noise(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>("abcdefgh"[random() % 8]);
    return bytes;
}

TEST(Reader, EntryNamesKindsAndAttributes) {
    const auto bytes = Packed("-m0=LZMA2");
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    auto entries = EntriesByName(archive);
    ASSERT_EQ(entries.size(), 10u);

    const std::uint32_t chinese = entries.at(u"文档/中文子目录/说明.txt");
    EXPECT_FALSE(archive.IsDirectory(chinese));
    EXPECT_EQ(archive.EntrySize(chinese), std::string("你好，世界\n").size());
    EXPECT_TRUE(archive.IsDirectory(entries.at(u"文档/中文子目录")));
    EXPECT_TRUE(archive.IsDirectory(entries.at(u"empty folder")));
    EXPECT_EQ(archive.BlockOf(entries.at(u"empty.dat")), sevenzip::kNoBlock);
    EXPECT_FALSE(archive.IsDirectory(entries.at(u"empty.dat")));

    // Made on Linux: Windows bits below, the Unix mode above, flagged by 0x8000.
    const std::uint32_t readOnly = entries.at(u"readonly.ini");
    ASSERT_TRUE(archive.AttributesDefined(readOnly));
    EXPECT_EQ(archive.Attributes(readOnly) & (kReadOnly | kUnixExtension),
              kReadOnly | kUnixExtension);
    EXPECT_EQ((archive.Attributes(readOnly) >> 16) & 0222, 0u);
    EXPECT_EQ(archive.Attributes(entries.at(u"bin")) & kDirectory, kDirectory);
    EXPECT_EQ(archive.Attributes(entries.at(u"readme.txt")) & kReadOnly, 0u);

    // Reading one entry skips the ones before it in its block.
    for (bool overlap : {true, false}) {
        sevenzip::EntryReader reader(archive, overlap);
        std::string text;
        ASSERT_EQ(ReadEntry(reader, chinese, text), SZ_OK);
        EXPECT_EQ(text, "你好，世界\n");
        EXPECT_EQ(ReadEntry(reader, entries.at(u"empty.dat"), text), SZ_OK);
        EXPECT_EQ(text, "");
    }
}

TEST(Reader, EachBlockIsReadOnceAcrossItsEntries) {
    const auto bytes = Packed("-m0=BCJ -m1=LZMA2 -ms=3f");
    for (bool overlap : {true, false}) {
        CountingSource source(bytes);
        sevenzip::Archive archive;
        ASSERT_EQ(archive.Open(source), SZ_OK);
        ASSERT_GE(archive.BlockCount(), 2u);
        const std::uint64_t afterOpen = source.read();
        sevenzip::EntryReader reader(archive, overlap);
        std::uint64_t total = 0;
        for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
            std::string data;
            ASSERT_EQ(ReadEntry(reader, i, data), SZ_OK) << i;
            EXPECT_EQ(data.size(), archive.EntrySize(i));
            total += data.size();
        }
        EXPECT_GT(total, 300000u);
        // Only the packed streams were read after the header, none of them twice.
        EXPECT_LE(source.read() - afterOpen, bytes.size());
    }
}

TEST(Reader, AFailingBlockStopsEverythingAfterIt) {
    testsupport::ScratchFolder scratch("blocks");
    for (int i = 0; i < 4; i++) {
        std::ofstream out(scratch.path() / ("f" + std::to_string(i) + ".txt"));
        for (int k = 0; k < 5000; k++)
            out << "block " << i << " line " << k << "\n";
    }
    auto bytes = Packed("-m0=LZMA2 -ms=1f -mhc=off", scratch.path());
    sevenzip::MemorySource probeSource(bytes.data(), bytes.size());
    sevenzip::Archive probe;
    ASSERT_EQ(probe.Open(probeSource), SZ_OK);
    ASSERT_EQ(probe.BlockCount(), 4u);
    ASSERT_EQ(probe.EntryCount(), 4u);
    for (bool overlap : {true, false}) {
        // Damage the middle of the packed data: the second block's stream lies there.
        auto damaged = bytes;
        damaged[32 + (bytes.size() - 32) * 3 / 8] ^= 0xFF;
        sevenzip::MemorySource source(damaged.data(), damaged.size());
        sevenzip::Archive archive;
        ASSERT_EQ(archive.Open(source), SZ_OK);
        sevenzip::EntryReader reader(archive, overlap);
        std::string data;
        ASSERT_EQ(ReadEntry(reader, 0, data), SZ_OK);
        EXPECT_EQ(data.substr(0, 8), "block 0 ");
        const SRes second = ReadEntry(reader, 1, data);
        EXPECT_TRUE(second == SZ_ERROR_DATA || second == SZ_ERROR_CRC) << second;
        EXPECT_EQ(ReadEntry(reader, 2, data), second);
        EXPECT_EQ(ReadEntry(reader, 3, data), second);
    }
}

TEST(Reader, EmptyEntriesWithinAndAtTheEndOfBlocks) {
    // Zero-length entries inside blocks, first and last in them, around pieces of every size.
    const std::string big = Noise(300001, 1);
    const std::string other = Noise(131072, 2);
    const fixtures::StoredBlock first{
        {{u"a0", ""}, {u"a1", big}, {u"a2", ""}, {u"a3", ""}, {u"a4", other}, {u"a5", ""}}, true};
    const fixtures::StoredBlock second{{{u"b0", "x"}, {u"b1", ""}}};
    const fixtures::StoredBlock onlyEmpty{{{u"c0", ""}}, true};
    const auto bytes = fixtures::MakeStoredArchive({first, second, onlyEmpty});
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    ASSERT_EQ(archive.EntryCount(), 9u);
    ASSERT_EQ(archive.BlockCount(), 3u);
    const std::vector<std::string> expected = {"", big, "", "", other, "", "x", "", ""};
    for (bool overlap : {true, false}) {
        sevenzip::EntryReader reader(archive, overlap);
        for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
            std::string data;
            ASSERT_EQ(ReadEntry(reader, i, data), SZ_OK) << i;
            EXPECT_EQ(data, expected[i]) << i;
        }
    }
    // 7-Zip reads the hand-made archive as the reader does.
    testsupport::ScratchFolder scratch("stored");
    fixtures::WriteBytes(scratch.path() / "s.7z", bytes);
    std::string message;
    ASSERT_EQ(un7z::ExtractAll((scratch.path() / "s.7z").string(),
                               (scratch.path() / "ours").string(), true, message),
              SZ_OK)
        << message;
    ASSERT_TRUE(fixtures::UnpackWith7zz(scratch.path() / "s.7z", scratch.path() / "7zz"));
    EXPECT_EQ(fixtures::CompareTrees(scratch.path() / "7zz", scratch.path() / "ours"), "");
}

TEST(Reader, WrongCrcsFailTheirEntryOrTheirBlock) {
    const std::string big = Noise(200000, 3);
    struct Case {
        const char* what;
        fixtures::StoredBlock block;
        std::uint32_t failing; // entry whose end reports SZ_ERROR_CRC
    };
    const Case cases[] = {
        {"middle entry", {{{u"a", big}, {u"b", big, true}, {u"c", "c"}}}, 1},
        {"empty last entry", {{{u"a", big}, {u"b", ""}, {u"c", "", true}}}, 2},
        {"block", {{{u"a", big}, {u"b", "b"}, {u"c", ""}}, true, true}, 2},
    };
    for (const Case& c : cases) {
        const auto bytes = fixtures::MakeStoredArchive({c.block, {{{u"next", "after"}}}});
        sevenzip::MemorySource source(bytes.data(), bytes.size());
        sevenzip::Archive archive;
        ASSERT_EQ(archive.Open(source), SZ_OK) << c.what;
        for (bool overlap : {true, false}) {
            sevenzip::EntryReader reader(archive, overlap);
            std::string data;
            for (std::uint32_t i = 0; i < c.failing; i++)
                EXPECT_EQ(ReadEntry(reader, i, data), SZ_OK) << c.what << " " << i;
            // Every byte of the failing entry is handed out before its CRC is found wrong.
            EXPECT_EQ(ReadEntry(reader, c.failing, data), SZ_ERROR_CRC) << c.what;
            EXPECT_EQ(data.size(), archive.EntrySize(c.failing)) << c.what;
            EXPECT_EQ(ReadEntry(reader, 3, data), SZ_ERROR_CRC) << c.what;
        }
    }
}

TEST(Reader, BlocksLargerThanTheBufferLimitStreamThroughIt) {
    testsupport::ScratchFolder scratch("limit");
    fs::create_directories(scratch.path() / "src");
    for (int i = 0; i < 3; i++)
        std::ofstream(scratch.path() / "src" / ("part" + std::to_string(i)), std::ios::binary)
            << Noise(1200000, 10 + i);
    sevenzip::Limits limits;
    limits.maxBufferSize = 1u << 20; // the block is 3.6 MB
    struct Case {
        const char* options;
        SRes expected;
    };
    for (const Case& c :
         {Case{"-m0=LZMA2:d=256k", SZ_OK}, Case{"-m0=BCJ -m1=LZMA:d=64k", SZ_OK},
          Case{"-m0=PPMd:mem=1m", SZ_OK}, Case{"-m0=Copy", SZ_OK},
          Case{"-m0=LZMA2:d=4m", SZ_ERROR_MEM}, Case{"-m0=PPMd:mem=2m", SZ_ERROR_MEM}}) {
        const fs::path archive = scratch.path() / "a.7z";
        fs::remove(archive);
        ASSERT_TRUE(fixtures::Pack(scratch.path() / "src", archive, c.options)) << c.options;
        for (bool overlap : {true, false}) {
            const fs::path out = scratch.path() / "out";
            std::string message;
            EXPECT_EQ(un7z::ExtractAll(archive.string(), out.string(), overlap, message, limits),
                      c.expected)
                << c.options << ": " << message;
            if (c.expected == SZ_OK)
                EXPECT_EQ(fixtures::CompareTrees(scratch.path() / "src", out), "") << c.options;
            fs::remove_all(out);
        }
    }
}

TEST(Reader, LeavingEarlyDoesNotWaitForTheDecoder) {
    // Far more than the ring holds, so that the second thread is left waiting to write.
    testsupport::ScratchFolder scratch("early");
    fs::create_directories(scratch.path() / "src");
    std::ofstream(scratch.path() / "src" / "big", std::ios::binary) << Noise(24u << 20, 4);
    // Shared with the thread that leaves, which outlives this test if leaving hangs.
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(
        Packed("-m0=LZMA2:d=1m -mx=1", scratch.path() / "src"));
    auto source = std::make_shared<CountingSource>(*bytes);
    auto archive = std::make_shared<sevenzip::Archive>();
    ASSERT_EQ(archive->Open(*source), SZ_OK);
    for (int round = 0; round < 3; round++) {
        const std::uint64_t before = source->read();
        auto reader = std::make_shared<sevenzip::EntryReader>(*archive, true);
        const Byte* data;
        std::size_t size;
        ASSERT_EQ(reader->Read(0, data, size), SZ_OK);
        EXPECT_GT(size, 0u);
        // Leaving ends the second thread where it stands: it neither hangs nor decodes the rest.
        std::promise<void> left;
        std::future<void> leaving = left.get_future();
        std::thread([bytes, source, archive, reader = std::move(reader),
                     left = std::move(left)]() mutable {
            reader.reset();
            left.set_value();
        }).detach();
        ASSERT_EQ(leaving.wait_for(std::chrono::seconds(60)), std::future_status::ready)
            << "leaving the reader hangs";
        EXPECT_LT(source->read() - before, source->Size() / 2) << "the decoder went on to the end";
    }
}

} // namespace

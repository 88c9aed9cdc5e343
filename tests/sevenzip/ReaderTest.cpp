// The reader's interface: entry metadata, the block cache and the two-block pipeline.
#include "sevenzip/Archive.h"
#include "sevenzip/BlockPipeline.h"
#include "sevenzip/ByteSource.h"
#include "tests/sevenzip/ArchiveFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <map>

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

    sevenzip::BlockBuffer cache;
    std::size_t offset, size;
    ASSERT_EQ(archive.Extract(chinese, cache, offset, size), SZ_OK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cache.Data()) + offset, size),
              "你好，世界\n");
}

TEST(Reader, EachBlockIsReadOnceAcrossItsEntries) {
    const auto bytes = Packed("-m0=BCJ -m1=LZMA2 -ms=3f");
    CountingSource source(bytes);
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    ASSERT_GE(archive.BlockCount(), 2u);
    const std::uint64_t afterOpen = source.read();
    sevenzip::BlockBuffer cache;
    std::uint32_t decoded = 0;
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        std::size_t offset, size;
        std::uint32_t before = cache.BlockIndex();
        ASSERT_EQ(archive.Extract(i, cache, offset, size), SZ_OK);
        decoded += archive.BlockOf(i) != sevenzip::kNoBlock && cache.BlockIndex() != before;
        if (archive.BlockOf(i) != sevenzip::kNoBlock)
            EXPECT_EQ(cache.BlockIndex(), archive.BlockOf(i));
    }
    EXPECT_EQ(decoded, archive.BlockCount());
    // Only the packed streams were read after the header, none of them twice.
    EXPECT_LE(source.read() - afterOpen, bytes.size());
}

TEST(Reader, PipelineStopsAtTheFirstBadBlock) {
    testsupport::ScratchFolder scratch("pipeline");
    for (int i = 0; i < 4; i++) {
        std::ofstream out(scratch.path() / ("f" + std::to_string(i) + ".txt"));
        for (int k = 0; k < 5000; k++)
            out << "block " << i << " line " << k << "\n";
    }
    auto bytes = Packed("-m0=LZMA2 -ms=1f -mhc=off", scratch.path());
    sevenzip::Archive probe;
    sevenzip::MemorySource probeSource(bytes.data(), bytes.size());
    ASSERT_EQ(probe.Open(probeSource), SZ_OK);
    ASSERT_EQ(probe.BlockCount(), 4u);
    for (bool overlap : {true, false}) {
        // Damage the middle of the packed data: the second block's stream lies there.
        auto damaged = bytes;
        damaged[32 + (bytes.size() - 32) * 3 / 8] ^= 0xFF;
        sevenzip::MemorySource source(damaged.data(), damaged.size());
        sevenzip::Archive archive;
        ASSERT_EQ(archive.Open(source), SZ_OK);
        sevenzip::BlockPipeline pipeline(archive, overlap);
        const sevenzip::BlockBuffer* buffer = nullptr;
        ASSERT_EQ(pipeline.Acquire(0, buffer), SZ_OK);
        EXPECT_EQ(buffer->BlockIndex(), 0u);
        EXPECT_EQ(pipeline.Acquire(0, buffer), SZ_OK); // asking again is fine
        SRes second = pipeline.Acquire(1, buffer);
        EXPECT_NE(second, SZ_OK);
        EXPECT_EQ(buffer, nullptr);
        if (overlap)
            EXPECT_EQ(pipeline.Acquire(3, buffer), second); // never started after the error
    }
    // Undamaged, every block comes out in order from both threads.
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    sevenzip::BlockPipeline pipeline(archive, true);
    for (std::uint32_t block = 0; block < 4; block++) {
        const sevenzip::BlockBuffer* buffer = nullptr;
        ASSERT_EQ(pipeline.Acquire(block, buffer), SZ_OK);
        EXPECT_EQ(buffer->BlockIndex(), block);
        std::string text(reinterpret_cast<const char*>(buffer->Data()), 8);
        EXPECT_EQ(text, "block " + std::to_string(block) + " ");
    }
}

} // namespace

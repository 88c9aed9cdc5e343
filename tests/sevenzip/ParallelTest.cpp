// Blocks decoded side by side (sevenzip::ExtractEntries): the same bytes as 7zz, the same
// progress as one thread, failures and stops that leave what a sequential run leaves.
#include "sevenzip/Archive.h"
#include "sevenzip/ByteSource.h"
#include "sevenzip/DecodingPlan.h"
#include "sevenzip/EntryReader.h"
#include "sevenzip/ParallelExtraction.h"
#include "tests/sevenzip/ArchiveFixtures.h"
#include "tests/support/TestSupport.h"
#include "tools/un7z/Extractor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>

namespace fs = std::filesystem;

namespace {

// Far more than any test archive needs, so that the thread count alone decides.
constexpr std::uint64_t kAmpleBudget = std::uint64_t{1} << 30;
// Waits of the tests' own choreography end after this long instead of hanging when the engine
// runs the blocks one after the other.
constexpr auto kPatience = std::chrono::seconds(20);

sevenzip::ExtractionOptions Parallel(unsigned threads = 4) {
    sevenzip::ExtractionOptions options;
    options.maxThreads = threads;
    options.memoryBudget = kAmpleBudget;
    return options;
}

// Keeps every entry's bytes and what the engine asked for, in the order it asked. `hook` runs
// at the start of every Write, on the writing thread.
class RecordingWriter final : public sevenzip::EntryWriter {
public:
    explicit RecordingWriter(const sevenzip::Archive& archive)
        : m_bytes(archive.EntryCount()), m_written(archive.EntryCount()) {
        for (auto& flag : m_written)
            flag = false;
    }

    std::function<void(std::uint32_t)> hook;

    int Write(std::uint32_t entry, sevenzip::EntryReader& reader) override {
        if (hook)
            hook(entry);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            started.push_back(entry);
        }
        for (;;) {
            const Byte* data;
            std::size_t size;
            RINOK(reader.Read(entry, data, size));
            if (size == 0)
                break;
            m_bytes[entry].append(reinterpret_cast<const char*>(data), size);
        }
        m_written[entry] = true;
        return SZ_OK;
    }
    void Completed(std::uint32_t entry) override {
        // Reported only once it and every entry before it are complete.
        for (std::uint32_t i = 0; i <= entry; i++)
            EXPECT_TRUE(m_written[i]) << "entry " << i << " reported with entry " << entry;
        completed.push_back(entry);
    }
    void Remove(std::uint32_t entry) override { removed.push_back(entry); }

    const std::string& Bytes(std::uint32_t entry) const { return m_bytes[entry]; }
    bool Written(std::uint32_t entry) const { return m_written[entry]; }

    std::vector<std::uint32_t> started;
    std::vector<std::uint32_t> completed;
    std::vector<std::uint32_t> removed;

private:
    std::mutex m_mutex;
    std::vector<std::string> m_bytes;
    std::vector<std::atomic<bool>> m_written;
};

// The entries' bytes as one thread reads them.
std::vector<std::string> ReadInOrder(const sevenzip::Archive& archive) {
    std::vector<std::string> all(archive.EntryCount());
    sevenzip::EntryReader reader(archive, false);
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        for (;;) {
            const Byte* data;
            std::size_t size;
            EXPECT_EQ(reader.Read(i, data, size), SZ_OK);
            if (size == 0)
                break;
            all[i].append(reinterpret_cast<const char*>(data), size);
        }
    }
    return all;
}

std::vector<std::uint32_t> UpTo(std::uint32_t count) {
    std::vector<std::uint32_t> entries(count);
    for (std::uint32_t i = 0; i < count; i++)
        entries[i] = i;
    return entries;
}

void MakeManyFiles(const fs::path& root, int count, std::size_t size) {
    fs::create_directories(root / "sub");
    std::mt19937 random(3);
    for (int i = 0; i < count; i++) {
        std::string data(size + 997 * i, '\0');
        for (char& c : data)
            c = static_cast<char>("0123456789abcdef\xE8"[random() % 17]);
        std::ofstream(root / (i % 2 ? "sub" : ".") / ("f" + std::to_string(10 + i) + ".bin"),
                      std::ios::binary)
            << data;
    }
}

struct MethodCase {
    const char* name;
    const char* options;
};

class ParallelOracleTest : public ::testing::TestWithParam<MethodCase> {};

// Several blocks of every method through the parallel path: what lands on disk is what 7zz
// extracts, read-only flags included, and the bytes equal one thread's.
TEST_P(ParallelOracleTest, BlocksSideBySideExtractWhat7zzExtracts) {
    testsupport::ScratchFolder scratch("parallel");
    const fs::path src = scratch.path() / "src";
    fixtures::MakeSampleTree(src);
    MakeManyFiles(src / "many", 8, 40000);
    const fs::path archivePath = scratch.path() / "a.7z";
    ASSERT_TRUE(fixtures::Pack(src, archivePath, std::string(GetParam().options) + " -ms=3f"));

    const auto bytes = fixtures::ReadBytes(archivePath);
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    ASSERT_GE(archive.BlockCount(), 4u);
    RecordingWriter writer(archive);
    const sevenzip::ExtractionResult outcome =
        sevenzip::ExtractEntries(archive, writer, Parallel());
    EXPECT_EQ(outcome.result, SZ_OK);
    EXPECT_EQ(outcome.threads, 4u);
    const std::vector<std::string> expected = ReadInOrder(archive);
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++)
        EXPECT_EQ(writer.Bytes(i), expected[i]) << "entry " << i;
    EXPECT_EQ(writer.completed, UpTo(archive.EntryCount()));
    EXPECT_TRUE(writer.removed.empty());

    std::string message;
    ASSERT_EQ(un7z::ExtractAll(archivePath.string(), (scratch.path() / "out").string(), Parallel(),
                               message),
              SZ_OK)
        << message;
    ASSERT_TRUE(fixtures::UnpackWith7zz(archivePath, scratch.path() / "reference"));
    EXPECT_EQ(fixtures::CompareTrees(scratch.path() / "reference", scratch.path() / "out"), "");
    EXPECT_EQ(fixtures::CompareTrees(src, scratch.path() / "out"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Methods, ParallelOracleTest,
    ::testing::Values(MethodCase{"Lzma", "-m0=LZMA:d=64k"}, MethodCase{"Lzma2", "-m0=LZMA2:d=1m"},
                      MethodCase{"BcjLzma2", "-m0=BCJ -m1=LZMA2:d=16m"},
                      MethodCase{"Bcj2", "-mf=BCJ2"}, MethodCase{"Arm64", "-m0=ARM64 -m1=LZMA2"},
                      MethodCase{"Delta", "-m0=Delta:4 -m1=LZMA2"},
                      MethodCase{"Ppmd", "-m0=PPMd:mem=4m"}, MethodCase{"Copy", "-m0=Copy"}),
    [](const ::testing::TestParamInfo<MethodCase>& info) { return info.param.name; });

// Two stored blocks: block 0 holds entries 0-2, entry 1 with a wrong CRC; block 1 holds 3-8.
std::vector<std::uint8_t> DamagedFirstBlock() {
    fixtures::StoredBlock first;
    first.files = {{u"a0.txt", std::string(300000, 'a')},
                   {u"a1.txt", std::string(200000, 'b'), true},
                   {u"a2.txt", "after the damage"}};
    fixtures::StoredBlock second;
    for (int i = 3; i < 9; i++)
        second.files.push_back({u"b" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".txt",
                                std::string(1000 * i, static_cast<char>('a' + i))});
    return fixtures::MakeStoredArchive({first, second});
}

// Lets the damaged entry be read only once the other block has written `count` entries.
class Gate {
public:
    void Pass() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_passed++;
        m_changed.notify_all();
    }
    bool WaitFor(int count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kPatience, [&] { return m_passed >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_passed{0};
};

TEST(Parallel, DamageInTheFirstBlockUndoesWhatTheSecondWrote) {
    const auto bytes = DamagedFirstBlock();
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    ASSERT_EQ(archive.BlockCount(), 2u);
    RecordingWriter writer(archive);
    Gate gate;
    bool waited = false;
    writer.hook = [&](std::uint32_t entry) {
        if (entry >= 3)
            gate.Pass();
        if (entry == 1)
            waited = gate.WaitFor(3);
    };
    const sevenzip::ExtractionResult outcome =
        sevenzip::ExtractEntries(archive, writer, Parallel(2));
    EXPECT_TRUE(waited) << "the second block was not written while the first one decoded";
    EXPECT_EQ(outcome.result, SZ_ERROR_CRC);
    EXPECT_EQ(outcome.failingEntry, 1u);
    EXPECT_EQ(writer.completed, UpTo(1));
    EXPECT_EQ(writer.Bytes(0), std::string(300000, 'a'));
    // The failing entry is written whole; its CRC is what fails.
    EXPECT_EQ(writer.Bytes(1), std::string(200000, 'b'));
    // Every entry after it that a thread began is taken away again, last first; none before.
    std::vector<std::uint32_t> begun;
    for (std::uint32_t entry : writer.started)
        if (entry > 1)
            begun.push_back(entry);
    std::sort(begun.rbegin(), begun.rend());
    EXPECT_GE(begun.size(), 3u);
    EXPECT_EQ(writer.removed, begun);
}

TEST(Parallel, DamageOnDiskLeavesNothingPastTheFailingEntry) {
    testsupport::ScratchFolder scratch("parallel-damage");
    fixtures::WriteBytes(scratch.path() / "d.7z", DamagedFirstBlock());
    for (unsigned threads : {1u, 2u}) {
        const fs::path out = scratch.path() / ("out" + std::to_string(threads));
        std::string message;
        EXPECT_EQ(un7z::ExtractAll((scratch.path() / "d.7z").string(), out.string(),
                                   Parallel(threads), message),
                  SZ_ERROR_CRC);
        EXPECT_EQ(fixtures::ReadBytes(out / "a0.txt").size(), 300000u);
        EXPECT_EQ(fixtures::ReadBytes(out / "a1.txt").size(), 200000u);
        EXPECT_FALSE(fs::exists(out / "a2.txt"));
        for (int i = 3; i < 9; i++)
            EXPECT_FALSE(fs::exists(out / ("b" + std::to_string(i) + ".txt"))) << threads;
    }
}

// A folder entry before the failing one stays, though only files removed again were in it.
TEST(Parallel, FoldersOfEntriesBeforeTheFailureStay) {
    testsupport::ScratchFolder scratch("parallel-folders");
    const fs::path src = scratch.path() / "src";
    fs::create_directories(src / "d");
    std::ofstream(src / "a.txt", std::ios::binary) << std::string(400000, 'a');
    for (int i = 1; i <= 6; i++)
        std::ofstream(src / "d" / ("b" + std::to_string(i) + ".txt")) << std::string(5000, 'b');
    ASSERT_TRUE(fixtures::Pack(src, scratch.path() / "a.7z", "-m0=Copy -ms=1f -mhc=off"));
    auto bytes = fixtures::ReadBytes(scratch.path() / "a.7z");
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    ASSERT_EQ(archive.Name(0), u"d");
    ASSERT_EQ(archive.Name(1), u"a.txt");
    ASSERT_EQ(archive.BlockOf(1), 0u);
    bytes[40] ^= 0x01; // in a.txt
    fixtures::WriteBytes(scratch.path() / "d.7z", bytes);
    for (unsigned threads : {1u, 3u}) {
        const fs::path out = scratch.path() / ("out" + std::to_string(threads));
        std::string message;
        EXPECT_EQ(un7z::ExtractAll((scratch.path() / "d.7z").string(), out.string(),
                                   Parallel(threads), message),
                  SZ_ERROR_CRC);
        EXPECT_TRUE(fs::is_directory(out / "d")) << threads;
        EXPECT_TRUE(fs::is_empty(out / "d")) << threads;
    }
}

TEST(Parallel, DamageMidArchiveThroughEveryThreadCount) {
    testsupport::ScratchFolder scratch("parallel-midblock");
    const fs::path src = scratch.path() / "src";
    MakeManyFiles(src, 12, 150000);
    for (const char* options :
         {"-m0=LZMA2:d=64k -ms=4f -mhc=off", "-m0=PPMd:mem=1m -ms=4f -mhc=off"}) {
        const fs::path archivePath = scratch.path() / "a.7z";
        fs::remove(archivePath);
        ASSERT_TRUE(fixtures::Pack(src, archivePath, options));
        auto bytes = fixtures::ReadBytes(archivePath);
        std::size_t dataEnd = 0;
        for (int i = 7; i >= 0; i--)
            dataEnd = dataEnd << 8 | bytes[12 + i];
        bytes[32 + dataEnd / 2] ^= 0x10;
        const fs::path damaged = scratch.path() / "damaged.7z";
        fixtures::WriteBytes(damaged, bytes);

        sevenzip::MemorySource memory(bytes.data(), bytes.size());
        sevenzip::Archive archive;
        ASSERT_EQ(archive.Open(memory), SZ_OK);
        SRes sequentialResult = SZ_OK;
        std::vector<bool> sequentialPresent;
        for (unsigned threads : {1u, 3u}) {
            const fs::path out = scratch.path() / ("out" + std::to_string(threads));
            std::string message;
            const SRes res =
                un7z::ExtractAll(damaged.string(), out.string(), Parallel(threads), message);
            EXPECT_TRUE(res == SZ_ERROR_CRC || res == SZ_ERROR_DATA) << options << ": " << res;
            std::vector<bool> present;
            for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
                const std::u16string& name = archive.Name(i);
                present.push_back(fs::exists(out / std::string(name.begin(), name.end())));
            }
            if (threads == 1) {
                sequentialResult = res;
                sequentialPresent = present;
            } else {
                // The same result and the same files left as with one thread.
                EXPECT_EQ(res, sequentialResult) << options;
                EXPECT_EQ(present, sequentialPresent) << options;
            }
            fs::remove_all(out);
        }
    }
}

TEST(Parallel, StopEndsEveryThreadAtItsNextEntry) {
    testsupport::ScratchFolder scratch("parallel-stop");
    MakeManyFiles(scratch.path() / "src", 16, 20000);
    ASSERT_TRUE(
        fixtures::Pack(scratch.path() / "src", scratch.path() / "a.7z", "-m0=LZMA2:d=64k -ms=4f"));
    const auto bytes = fixtures::ReadBytes(scratch.path() / "a.7z");
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    ASSERT_GE(archive.BlockCount(), 4u);

    std::atomic<bool> stop{false};
    std::atomic<int> begunAfterStop{0};
    std::atomic<int> secondBlockEntries{0};
    Gate gate;
    RecordingWriter writer(archive);
    writer.hook = [&](std::uint32_t entry) {
        if (stop.load())
            begunAfterStop++;
        // The first block's first entry is held until the second block has begun three
        // entries and the stop has come.
        const std::uint32_t block = archive.BlockOf(entry);
        if (block == 0) {
            gate.WaitFor(1);
        } else if (block == 1 && ++secondBlockEntries == 3) {
            stop = true;
            gate.Pass();
        }
    };
    sevenzip::ExtractionOptions options = Parallel(2);
    options.stopRequested = &stop;
    const sevenzip::ExtractionResult outcome = sevenzip::ExtractEntries(archive, writer, options);
    EXPECT_EQ(outcome.result, SZ_ERROR_PROGRESS);
    EXPECT_EQ(begunAfterStop.load(), 0);
    // What stays is a prefix in archive order, as a sequential run leaves it.
    EXPECT_EQ(writer.completed, UpTo(outcome.failingEntry));
    for (std::uint32_t i = 0; i < outcome.failingEntry; i++)
        EXPECT_TRUE(writer.Written(i));
    // The second block's three entries (at least) are taken away again, last first.
    std::vector<std::uint32_t> begun;
    for (std::uint32_t entry : writer.started)
        if (entry > outcome.failingEntry)
            begun.push_back(entry);
    std::sort(begun.rbegin(), begun.rend());
    EXPECT_GE(begun.size(), 3u);
    EXPECT_EQ(writer.removed, begun);
}

TEST(Parallel, MemoryBudgetDecidesTheThreadCount) {
    testsupport::ScratchFolder scratch("parallel-budget");
    MakeManyFiles(scratch.path() / "src", 9, 30000);
    ASSERT_TRUE(
        fixtures::Pack(scratch.path() / "src", scratch.path() / "a.7z", "-m0=LZMA2:d=1m -ms=3f"));
    const auto bytes = fixtures::ReadBytes(scratch.path() / "a.7z");
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    ASSERT_EQ(archive.BlockCount(), 3u);
    std::uint64_t largest = 0;
    for (std::uint32_t b = 0; b < archive.BlockCount(); b++) {
        const std::uint64_t memory = sevenzip::BlockMemory(archive, b, false);
        // Each block's dictionary is its 1 MB, or the block when that is smaller.
        EXPECT_GE(memory, std::min<std::uint64_t>(archive.BlockSize(b), 1u << 20));
        largest = std::max(largest, memory);
    }
    EXPECT_EQ(sevenzip::DecodingThreads(archive, 8, largest), 1u);
    EXPECT_EQ(sevenzip::DecodingThreads(archive, 8, 1), 1u);
    EXPECT_EQ(sevenzip::DecodingThreads(archive, 8, 2 * largest), 2u);
    EXPECT_EQ(sevenzip::DecodingThreads(archive, 8, kAmpleBudget), 3u);
    EXPECT_EQ(sevenzip::DecodingThreads(archive, 2, kAmpleBudget), 2u);
    EXPECT_LE(sevenzip::DefaultMemoryBudget(), sevenzip::kMaxMemoryBudget);

    // A budget of one block: one thread, the same bytes, progress in the same order.
    RecordingWriter writer(archive);
    sevenzip::ExtractionOptions options = Parallel(8);
    options.memoryBudget = largest;
    const sevenzip::ExtractionResult outcome = sevenzip::ExtractEntries(archive, writer, options);
    EXPECT_EQ(outcome.result, SZ_OK);
    EXPECT_EQ(outcome.threads, 1u);
    const std::vector<std::string> expected = ReadInOrder(archive);
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++)
        EXPECT_EQ(writer.Bytes(i), expected[i]);
    EXPECT_EQ(writer.completed, UpTo(archive.EntryCount()));
}

// Progress while a later block finishes first: reported in archive order all the same, each
// entry once, none before its predecessors (RecordingWriter::Completed checks that).
TEST(Parallel, ProgressFollowsArchiveOrderWhateverFinishesFirst) {
    testsupport::ScratchFolder scratch("parallel-order");
    MakeManyFiles(scratch.path() / "src", 8, 10000);
    fs::create_directories(scratch.path() / "src" / "empty folder");
    std::ofstream(scratch.path() / "src" / "empty.dat").close();
    ASSERT_TRUE(
        fixtures::Pack(scratch.path() / "src", scratch.path() / "a.7z", "-m0=LZMA2:d=64k -ms=2f"));
    const auto bytes = fixtures::ReadBytes(scratch.path() / "a.7z");
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    RecordingWriter writer(archive);
    Gate gate;
    writer.hook = [&](std::uint32_t entry) {
        if (archive.BlockOf(entry) == 0)
            gate.WaitFor(2); // the second block's entries come first
        else
            gate.Pass();
    };
    RecordingWriter sequential(archive);
    sevenzip::ExtractionOptions one;
    one.maxThreads = 1;
    ASSERT_EQ(sevenzip::ExtractEntries(archive, sequential, one).result, SZ_OK);
    ASSERT_EQ(sevenzip::ExtractEntries(archive, writer, Parallel(2)).result, SZ_OK);
    EXPECT_EQ(writer.completed, sequential.completed);
    EXPECT_EQ(writer.completed, UpTo(archive.EntryCount()));
}

} // namespace

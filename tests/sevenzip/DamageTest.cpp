// Damaged and hostile archives: every one must give a non-zero SDK result code, without a crash,
// an out-of-bounds read (ASan), an absurd allocation, or a file written outside the target.
#include "sevenzip/Archive.h"
#include "sevenzip/ByteSource.h"
#include "sevenzip/EntryReader.h"
#include "tests/sevenzip/ArchiveFixtures.h"
#include "tests/support/TestSupport.h"
#include "tools/un7z/Extractor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

// Opens the archive from memory and reads every entry, on one thread or two; the first failure,
// or SZ_OK.
SRes ReadEverything(const std::vector<std::uint8_t>& bytes, bool overlap = false) {
    sevenzip::MemorySource source(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    sevenzip::Limits limits;
    limits.maxBufferSize = 64u << 20;
    RINOK(archive.Open(source, limits));
    sevenzip::EntryReader reader(archive, overlap);
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        std::uint64_t total = 0;
        for (;;) {
            const Byte* data;
            std::size_t size;
            RINOK(reader.Read(i, data, size));
            if (size == 0)
                break;
            total += size;
        }
        if (total != archive.EntrySize(i))
            return SZ_ERROR_FAIL;
    }
    return SZ_OK;
}

std::vector<std::uint8_t> MakeArchive(const std::string& options, bool small = false) {
    testsupport::ScratchFolder scratch("damage");
    if (small) {
        fs::create_directories(scratch.path() / "src" / "目录");
        std::ofstream(scratch.path() / "src" / "目录" / "a.txt") << "alpha alpha alpha\n";
        std::ofstream(scratch.path() / "src" / "b.exe") << "\xE8\x10\x00\x00\x00\xE9\x00\x00";
        std::ofstream(scratch.path() / "src" / "c.txt").close();
    } else {
        fixtures::MakeSampleTree(scratch.path() / "src");
    }
    EXPECT_TRUE(fixtures::Pack(scratch.path() / "src", scratch.path() / "a.7z", options));
    return fixtures::ReadBytes(scratch.path() / "a.7z");
}

// A signature header followed directly by `header` as the next header, CRCs correct.
std::vector<std::uint8_t> WithHeader(const std::vector<std::uint8_t>& header) {
    std::vector<std::uint8_t> bytes = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    bytes.resize(32, 0);
    bytes[20] = static_cast<std::uint8_t>(header.size());
    bytes.insert(bytes.end(), header.begin(), header.end());
    fixtures::FixHeaderCrcs(bytes);
    return bytes;
}

std::size_t NextHeaderOffset(const std::vector<std::uint8_t>& bytes) {
    std::size_t offset = 0;
    for (int i = 7; i >= 0; i--)
        offset = offset << 8 | bytes[12 + i];
    return 32 + offset;
}

TEST(Damage, TruncatedAnywhereFails) {
    for (const char* options : {"-m0=BCJ -m1=LZMA2", "-m0=LZMA -mhc=off", "-mf=BCJ2"}) {
        const auto whole = MakeArchive(options);
        ASSERT_EQ(ReadEverything(whole), SZ_OK) << options;
        for (std::size_t cut = 0; cut < whole.size(); cut += cut < 64 ? 1 : whole.size() / 150) {
            std::vector<std::uint8_t> part(whole.begin(), whole.begin() + cut);
            EXPECT_NE(ReadEverything(part, cut % 2 == 1), SZ_OK) << options << " cut at " << cut;
        }
        std::vector<std::uint8_t> shortByOne(whole.begin(), whole.end() - 1);
        EXPECT_EQ(ReadEverything(shortByOne), SZ_ERROR_INPUT_EOF) << options;
    }
}

TEST(Damage, FlippedHeaderBytesFailTheHeaderCrc) {
    const auto whole = MakeArchive("-m0=LZMA2 -mhc=off");
    for (std::size_t at = NextHeaderOffset(whole); at < whole.size(); at++) {
        auto bytes = whole;
        bytes[at] ^= 0x55;
        EXPECT_EQ(ReadEverything(bytes), SZ_ERROR_CRC) << "byte " << at;
    }
    auto bytes = whole;
    bytes[9] ^= 1; // the start header's own CRC
    EXPECT_EQ(ReadEverything(bytes), SZ_ERROR_CRC);
}

TEST(Damage, FlippedHeaderBytesWithMatchingCrcNeverCrash) {
    // The parser's own checks, without the CRC to stop the damage first.
    for (const char* options :
         {"-m0=LZMA2 -mhc=off",
          "-m0=BCJ2 -m1=LZMA -m2=LZMA -m3=LZMA -mb0s0:1 -mb0s1:2 -mb0s2:3 -mhc=off -ms=off"}) {
        const auto whole = MakeArchive(options, true);
        int failures = 0;
        for (std::size_t at = NextHeaderOffset(whole); at < whole.size(); at++) {
            for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
                auto bytes = whole;
                bytes[at] ^= mask;
                fixtures::FixHeaderCrcs(bytes);
                failures += ReadEverything(bytes) != SZ_OK;
            }
        }
        EXPECT_GT(failures, 0) << options;
    }
}

TEST(Damage, FlippedDataBytesGiveCrcOrDataErrors) {
    const auto stored = MakeArchive("-m0=Copy -mhc=off");
    const std::size_t dataEnd = NextHeaderOffset(stored);
    for (std::size_t at = 32; at < dataEnd; at += (dataEnd - 32) / 40 + 1) {
        auto bytes = stored;
        bytes[at] ^= 0x20;
        EXPECT_EQ(ReadEverything(bytes, at % 2 == 0), SZ_ERROR_CRC) << "byte " << at;
    }
    const auto packed = MakeArchive("-m0=BCJ -m1=LZMA2 -mhc=off");
    const std::size_t packedEnd = NextHeaderOffset(packed);
    for (std::size_t at = 32; at < packedEnd; at += (packedEnd - 32) / 40 + 1) {
        auto bytes = packed;
        bytes[at] ^= 0x20;
        SRes res = ReadEverything(bytes, at % 2 == 1);
        EXPECT_TRUE(res == SZ_ERROR_CRC || res == SZ_ERROR_DATA) << "byte " << at << ": " << res;
    }
}

TEST(Damage, HostileCountsAndSizesAreRefusedCheaply) {
    // FilesInfo claiming 2^40 entries in a header of a dozen bytes.
    EXPECT_EQ(ReadEverything(WithHeader({0x01, 0x05, 0xFF, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0})),
              SZ_ERROR_ARCHIVE);
    // One Copy folder claiming an unpack size of 2^62 bytes from an empty pack stream: streamed,
    // it needs no buffer of that size, and the stream is found too short at once.
    const std::vector<std::uint8_t> hugeFolder = {
        0x01, 0x04,                               // Header, MainStreamsInfo
        0x06, 0x00, 0x01, 0x09, 0x00, 0x00,       // PackInfo: 1 stream of 0 bytes
        0x07, 0x0B, 0x01, 0x00, 0x01, 0x01, 0x00, // UnpackInfo: 1 folder, 1 coder: Copy
        0x0C, 0xFF, 0,    0,    0,    0,    0,    0, 0, 0x40, 0x00, // unpack size 2^62
        0x00,                                                       // end of streams info
        0x05, 0x01, 0x00,                                           // FilesInfo: 1 entry
        0x00};
    EXPECT_EQ(ReadEverything(WithHeader(hugeFolder)), SZ_ERROR_DATA);
    // Two coders whose bind pair names an input that does not exist.
    const std::vector<std::uint8_t> badBindPair = {
        0x01, 0x04, 0x06, 0x00, 0x01, 0x09, 0x00, 0x00, 0x07,
        0x0B, 0x01, 0x00, 0x02, 0x01, 0x00, 0x01, 0x00, // two Copy coders
        0x07, 0x00,                                     // bind pair: input 7 <- output 0
        0x0C, 0x00, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00};
    EXPECT_EQ(ReadEverything(WithHeader(badBindPair)), SZ_ERROR_ARCHIVE);
    // A pack stream reaching past the end of the archive.
    const std::vector<std::uint8_t> pastEnd = {0x01, 0x04, 0x06, 0x00, 0x01,
                                               0x09, 0x7F, 0x00, 0x00, 0x00};
    EXPECT_EQ(ReadEverything(WithHeader(pastEnd)), SZ_ERROR_ARCHIVE);
}

TEST(Damage, NamesLeavingTheTargetFolderStopTheExtraction) {
    testsupport::ScratchFolder scratch("escape");
    fs::create_directories(scratch.path() / "src" / "zz");
    std::ofstream(scratch.path() / "src" / "first.txt") << "first";
    std::ofstream(scratch.path() / "src" / "zz" / "escaped.txt") << "outside";
    ASSERT_TRUE(fixtures::Pack(scratch.path() / "src", scratch.path() / "a.7z", "-mhc=off"));
    const auto original = fixtures::ReadBytes(scratch.path() / "a.7z");

    struct Rename {
        std::u16string from, to;
    };
    for (const Rename& rename : {Rename{u"zz/escaped.txt", u"../escaped.txt"},
                                 Rename{u"zz/escaped.txt", u"/zzescaped.txt"},
                                 Rename{u"zz/escaped.txt", u"C:zescaped.txt"},
                                 Rename{u"zz/escaped.txt", u"zz/../../esc.t"}}) {
        auto bytes = original;
        ASSERT_TRUE(fixtures::RenameEntry(bytes, rename.from, rename.to));
        fixtures::WriteBytes(scratch.path() / "bad.7z", bytes);
        const fs::path out = scratch.path() / "out" / "inner";
        std::string message;
        EXPECT_EQ(
            un7z::ExtractAll((scratch.path() / "bad.7z").string(), out.string(), true, message),
            SZ_ERROR_ARCHIVE);
        EXPECT_FALSE(fs::exists(scratch.path() / "out" / "escaped.txt"));
        EXPECT_FALSE(fs::exists(scratch.path() / "escaped.txt"));
        EXPECT_FALSE(fs::exists(scratch.path() / "out" / "esc.t"));
        EXPECT_FALSE(fs::exists(fs::path("/zzescaped.txt")));
        fs::remove_all(scratch.path() / "out");
    }
}

// What a damaged archive leaves on disk: every entry before the failing one whole, the failing
// one at most partly written, nothing after it. Gives the index of the failing entry.
std::uint32_t CheckStopsAtOneEntry(const fs::path& archivePath, const fs::path& source,
                                   const fs::path& out) {
    const auto bytes = fixtures::ReadBytes(archivePath);
    sevenzip::MemorySource memory(bytes.data(), bytes.size());
    sevenzip::Archive archive;
    EXPECT_EQ(archive.Open(memory), SZ_OK);
    std::uint32_t failing = archive.EntryCount();
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        const std::u16string& name = archive.Name(i);
        const fs::path relative(std::string(name.begin(), name.end()));
        const bool present = fs::exists(out / relative);
        if (failing == archive.EntryCount()) {
            if (!present ||
                fixtures::ReadBytes(out / relative) != fixtures::ReadBytes(source / relative))
                failing = i;
        } else {
            EXPECT_FALSE(present) << "written after the failing entry: " << relative;
        }
    }
    return failing;
}

TEST(Damage, CorruptionMidBlockKeepsEarlierEntriesAndWritesNoLaterOne) {
    testsupport::ScratchFolder scratch("midblock");
    const fs::path src = scratch.path() / "src";
    fs::create_directories(src);
    std::mt19937 random(5);
    for (int i = 0; i < 12; i++) {
        std::string data(150000 + 1000 * i, '\0');
        for (char& c : data)
            c = static_cast<char>("0123456789abcdef"[random() % 16]);
        std::ofstream(src / ("f" + std::to_string(10 + i) + ".txt"), std::ios::binary) << data;
    }
    for (const char* options : {"-m0=Copy -mhc=off", "-m0=LZMA2:d=64k -mhc=off",
                                "-m0=BCJ -m1=LZMA:d=64k -mhc=off", "-m0=PPMd:mem=1m -mhc=off"}) {
        const fs::path archive = scratch.path() / "a.7z";
        fs::remove(archive);
        ASSERT_TRUE(fixtures::Pack(src, archive, options));
        auto bytes = fixtures::ReadBytes(archive);
        const std::size_t dataEnd = NextHeaderOffset(bytes);
        bytes[32 + (dataEnd - 32) / 2] ^= 0x10;
        const fs::path damaged = scratch.path() / "damaged.7z";
        fixtures::WriteBytes(damaged, bytes);
        for (bool overlap : {true, false}) {
            const fs::path out = scratch.path() / "out";
            std::string message;
            const SRes res = un7z::ExtractAll(damaged.string(), out.string(), overlap, message);
            EXPECT_TRUE(res == SZ_ERROR_CRC || res == SZ_ERROR_DATA) << options << ": " << res;
            const std::uint32_t failing = CheckStopsAtOneEntry(damaged, src, out);
            // The damage lies in the middle, past the first entries.
            EXPECT_GT(failing, 2u) << options;
            EXPECT_LT(failing, 10u) << options;
            if (std::string(options).find("Copy") != std::string::npos) {
                // Stored: the entry holding the flipped byte is written whole, its CRC fails.
                EXPECT_EQ(res, SZ_ERROR_CRC);
            }
            fs::remove_all(out);
        }
    }
}

} // namespace

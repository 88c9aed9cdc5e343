// Every archive here is made at test time, by 7zz or by another 7z writer; what the reader
// extracts must equal what 7zz itself extracts, byte for byte, name for name, read-only flag for
// read-only flag.
#include "sevenzip/Archive.h"
#include "sevenzip/ByteSource.h"
#include "tests/sevenzip/ArchiveFixtures.h"
#include "tests/sevenzip/OracleCheck.h"
#include "tests/support/TestSupport.h"
#include "tools/un7z/Extractor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

struct OracleCase {
    const char* name;
    const char* options;
    int expected; // SZ_* result of the extraction
};

// Sizes around the decoders' pieces (128 KB from LZMA, 128 KB from the filters, 64 KB from PPMd
// and BCJ2) and the reader's 256 KB input chunks, empty files between large ones and last.
void MakeStreamingTree(const fs::path& root) {
    fs::create_directories(root / "dir");
    const std::size_t sizes[] = {131071, 0, 131073, 1, 65535, 0, 0, 262145, 65537, 1000003, 0};
    std::mt19937 random(11);
    int n = 0;
    for (std::size_t size : sizes) {
        std::string data(size, '\0');
        for (char& c : data)
            c = static_cast<char>(random() % 4 == 0 ? random() : "\xE8\xE9\x0F\x85"[random() % 4]);
        char name[16];
        std::snprintf(name, sizeof name, "%02d.bin", n++);
        std::ofstream(root / "dir" / name, std::ios::binary) << data;
    }
}

std::string CaseName(const ::testing::TestParamInfo<OracleCase>& info) {
    return info.param.name;
}

class OracleTest : public ::testing::TestWithParam<OracleCase> {};

TEST_P(OracleTest, ExtractsWhat7zzExtracts) {
    const OracleCase& c = GetParam();
    testsupport::ScratchFolder scratch("oracle");
    fixtures::MakeSampleTree(scratch.path() / "src");
    const fs::path archive = scratch.path() / "a.7z";
    ASSERT_TRUE(fixtures::Pack(scratch.path() / "src", archive, c.options)) << c.options;
    fixtures::ExpectSameAs7zz(scratch.path() / "src", archive, scratch.path(), c.expected);
}

class StreamingOracleTest : public ::testing::TestWithParam<OracleCase> {};

// Dictionaries far smaller than the block, so that the decoders' rings wrap many times.
TEST_P(StreamingOracleTest, EntriesAcrossPiecesAndRingWraps) {
    const OracleCase& c = GetParam();
    testsupport::ScratchFolder scratch("streaming");
    MakeStreamingTree(scratch.path() / "src");
    const fs::path archive = scratch.path() / "a.7z";
    ASSERT_TRUE(fixtures::Pack(scratch.path() / "src", archive, c.options)) << c.options;
    fixtures::ExpectSameAs7zz(scratch.path() / "src", archive, scratch.path(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, StreamingOracleTest,
    ::testing::Values(OracleCase{"Lzma2", "-m0=LZMA2:d=64k", SZ_OK},
                      OracleCase{"Lzma", "-m0=LZMA:d=64k", SZ_OK},
                      OracleCase{"BcjLzma2", "-m0=BCJ -m1=LZMA2:d=128k", SZ_OK},
                      OracleCase{"Bcj2",
                                 "-m0=BCJ2 -m1=LZMA:d=64k -m2=LZMA:d=64k -m3=LZMA:d=64k "
                                 "-mb0s0:1 -mb0s1:2 -mb0s2:3",
                                 SZ_OK},
                      OracleCase{"ArmThumb", "-m0=ARMT -m1=LZMA2:d=64k", SZ_OK},
                      OracleCase{"Ia64", "-m0=IA64 -m1=LZMA2:d=64k", SZ_OK},
                      OracleCase{"Delta", "-m0=Delta:7 -m1=LZMA2:d=64k", SZ_OK},
                      OracleCase{"Ppmd", "-m0=PPMd:o=8:mem=1m", SZ_OK},
                      OracleCase{"Copy", "-m0=Copy", SZ_OK},
                      OracleCase{"Lzma2Stored", "-m0=LZMA2:d=64k -mx=0", SZ_OK}),
    CaseName);

// Archives from writers other than 7-Zip. libarchive names every entry "./..." and adds the top
// folder as "."; such names stand for the same places as without the dots.
TEST(Oracle, ArchivesFromOtherWriters) {
    testsupport::ScratchFolder scratch("writers");
    const fs::path src = scratch.path() / "src";
    fixtures::MakeSampleTree(src);
    MakeStreamingTree(src / "more");
    ASSERT_TRUE(fixtures::PackWithBsdtar(src, scratch.path() / "bsdtar.7z"));
    {
        const auto bytes = fixtures::ReadBytes(scratch.path() / "bsdtar.7z");
        sevenzip::MemorySource source(bytes.data(), bytes.size());
        sevenzip::Archive archive;
        ASSERT_EQ(archive.Open(source), SZ_OK);
        bool dotEntry = false;
        for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
            dotEntry = dotEntry || archive.Name(i) == u".";
            EXPECT_EQ(archive.Name(i).substr(0, 1), u".");
        }
        EXPECT_TRUE(dotEntry);
    }
    fixtures::ExpectSameAs7zz(src, scratch.path() / "bsdtar.7z", scratch.path() / "bsdtar", SZ_OK);
    // py7zr stores Unix modes without the file type, which 7-Zip does not take for a mode: the
    // files come out with default permissions, read-only ones too.
    ASSERT_TRUE(fixtures::PackWithPy7zr(src, scratch.path() / "py7zr.7z"));
    fixtures::ExpectSameAs7zz({}, scratch.path() / "py7zr.7z", scratch.path() / "py7zr", SZ_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, OracleTest,
    ::testing::Values(OracleCase{"Lzma", "-m0=LZMA", SZ_OK},
                      OracleCase{"Lzma2", "-m0=LZMA2:d=1m", SZ_OK},
                      OracleCase{"Copy", "-m0=Copy", SZ_OK},
                      OracleCase{"BcjLzma2", "-m0=BCJ -m1=LZMA2:d=16m", SZ_OK},
                      OracleCase{"Bcj2", "-mf=BCJ2", SZ_OK},
                      OracleCase{"Bcj2Explicit",
                                 "-m0=BCJ2 -m1=LZMA2 -m2=LZMA -m3=LZMA -mb0s0:1 -mb0s1:2 -mb0s2:3",
                                 SZ_OK},
                      OracleCase{"Arm", "-m0=ARM -m1=LZMA2", SZ_OK},
                      OracleCase{"ArmThumb", "-m0=ARMT -m1=LZMA2", SZ_OK},
                      OracleCase{"Arm64", "-m0=ARM64 -m1=LZMA2", SZ_OK},
                      OracleCase{"PowerPc", "-m0=PPC -m1=LZMA", SZ_OK},
                      OracleCase{"Sparc", "-m0=SPARC -m1=LZMA2", SZ_OK},
                      OracleCase{"Ia64", "-m0=IA64 -m1=LZMA2", SZ_OK},
                      OracleCase{"Delta", "-m0=Delta:4 -m1=LZMA2", SZ_OK},
                      OracleCase{"DeltaCopy", "-m0=Delta:1 -m1=Copy", SZ_OK},
                      OracleCase{"NonSolid", "-m0=LZMA2 -ms=off", SZ_OK},
                      OracleCase{"SeveralBlocks", "-m0=BCJ -m1=LZMA2 -ms=2f", SZ_OK},
                      OracleCase{"PlainHeader", "-m0=LZMA2 -mhc=off", SZ_OK},
                      OracleCase{"PlainHeaderNonSolid", "-m0=LZMA -mhc=off -ms=off", SZ_OK},
                      OracleCase{"Ppmd", "-m0=PPMd", SZ_OK},
                      OracleCase{"PpmdModelRestarts", "-m0=PPMd:o=32:mem=1m -mhc=off", SZ_OK},
                      OracleCase{"PpmdLowOrder", "-m0=PPMd:o=2:mem=4m -ms=off", SZ_OK},
                      OracleCase{"Deflate", "-m0=Deflate", SZ_ERROR_UNSUPPORTED}),
    CaseName);

TEST(Oracle, FoldersOnlyArchive) {
    testsupport::ScratchFolder scratch("folders");
    fs::create_directories(scratch.path() / "src" / "a" / "b");
    fs::create_directories(scratch.path() / "src" / "空");
    ASSERT_TRUE(fixtures::Pack(scratch.path() / "src", scratch.path() / "d.7z", ""));
    std::string message;
    ASSERT_EQ(un7z::ExtractAll((scratch.path() / "d.7z").string(),
                               (scratch.path() / "out").string(), true, message),
              SZ_OK)
        << message;
    EXPECT_EQ(fixtures::CompareTrees(scratch.path() / "src", scratch.path() / "out"), "");
}

TEST(Oracle, EmptyArchive) {
    // What 7-Zip writes for an archive without entries: a signature header and no next header.
    std::vector<std::uint8_t> bytes = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    bytes.resize(32, 0);
    fixtures::FixHeaderCrcs(bytes);
    testsupport::ScratchFolder scratch("empty");
    fixtures::WriteBytes(scratch.path() / "e.7z", bytes);
    std::string message;
    EXPECT_EQ(un7z::ExtractAll((scratch.path() / "e.7z").string(),
                               (scratch.path() / "out").string(), true, message),
              SZ_OK)
        << message;
    EXPECT_TRUE(fs::is_empty(scratch.path() / "out"));
}

} // namespace

// Every archive here is made by 7zz at test time; what the reader extracts must equal what 7zz
// itself extracts, byte for byte, name for name, read-only flag for read-only flag.
#include "tests/sevenzip/ArchiveFixtures.h"
#include "tests/support/TestSupport.h"
#include "tools/un7z/Extractor.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct OracleCase {
    const char* name;
    const char* options;
    int expected; // SZ_* result of the extraction
};

class OracleTest : public ::testing::TestWithParam<OracleCase> {};

TEST_P(OracleTest, ExtractsWhat7zzExtracts) {
    const OracleCase& c = GetParam();
    testsupport::ScratchFolder scratch("oracle");
    fixtures::MakeSampleTree(scratch.path() / "src");
    const fs::path archive = scratch.path() / "a.7z";
    ASSERT_TRUE(fixtures::Pack(scratch.path() / "src", archive, c.options)) << c.options;

    for (bool overlap : {true, false}) {
        const fs::path out = scratch.path() / (overlap ? "overlap" : "sequential");
        std::string message;
        EXPECT_EQ(un7z::ExtractAll(archive.string(), out.string(), overlap, message), c.expected)
            << message;
        if (c.expected == SZ_OK)
            EXPECT_EQ(fixtures::CompareTrees(scratch.path() / "src", out), "");
    }
    if (c.expected == SZ_OK) {
        ASSERT_TRUE(fixtures::UnpackWith7zz(archive, scratch.path() / "reference"));
        EXPECT_EQ(fixtures::CompareTrees(scratch.path() / "reference", scratch.path() / "overlap"),
                  "");
    }
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
    [](const ::testing::TestParamInfo<OracleCase>& info) { return std::string(info.param.name); });

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

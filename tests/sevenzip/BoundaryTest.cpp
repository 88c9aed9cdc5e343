// Streams whose end, or whose LZMA2 chunk's end, falls just past one of the decoders' pieces
// (128 KB slices, rings of the dictionary's size), with extreme ratios. The coder has then often
// read its last input byte while a match, or symbols still inside the range coder, continue past
// the piece: the next piece must come from the decoder alone. Every chain of the reader, so that
// no decoder takes "no input left" for "no output left".
#include "sevenzip/Archive.h"
#include "tests/sevenzip/ArchiveFixtures.h"
#include "tests/sevenzip/OracleCheck.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace fs = std::filesystem;

namespace {

struct Chain {
    const char* name;
    const char* options;
};

std::string ChainName(const ::testing::TestParamInfo<Chain>& info) {
    return info.param.name;
}

// Every file its own stream (-ms=off), so each ends where its file does.
const Chain kChains[] = {
    {"Lzma", "-m0=LZMA:d=64k -ms=off"},
    {"LzmaLargeDictionary", "-m0=LZMA:d=16m -ms=off"},
    {"Lzma2", "-m0=LZMA2:d=64k -ms=off"},
    {"Lzma2PackageSettings", "-m0=LZMA2:d=16m -mhc=on -ms=off"},
    {"BcjLzma2", "-m0=BCJ -m1=LZMA2:d=16m -ms=off"},
    {"DeltaLzma2", "-m0=Delta:4 -m1=LZMA2:d=64k -ms=off"},
    {"Arm64Lzma2", "-m0=ARM64 -m1=LZMA2:d=64k -ms=off"},
    {"Bcj2", "-mf=BCJ2 -ms=off"},
    {"Ppmd", "-m0=PPMd:o=6:mem=1m -ms=off"},
    {"Copy", "-m0=Copy -ms=off"},
};

class BoundaryOracleTest : public ::testing::TestWithParam<Chain> {};

TEST_P(BoundaryOracleTest, StreamsEndingJustPastAPiece) {
    testsupport::ScratchFolder scratch("boundary");
    const fs::path src = scratch.path() / "src";
    fs::create_directories(src);
    const std::uint64_t kKiB = 1024;
    for (std::uint64_t piece : {64 * kKiB, 128 * kKiB, 256 * kKiB, 2048 * kKiB}) {
        for (std::uint64_t past : {17, 100, 300}) {
            const std::string size = std::to_string(piece + past);
            fixtures::WriteRepeated(src / ("zeros-" + size), piece + past, std::string(1, '\0'));
            fixtures::WriteRepeated(src / ("pattern-" + size), piece + past, "Tamro\x01\x02");
        }
    }
    const fs::path archive = scratch.path() / "a.7z";
    ASSERT_TRUE(fixtures::Pack(src, archive, GetParam().options)) << GetParam().options;
    fixtures::ExpectSameAs7zz(src, archive, scratch.path(), SZ_OK);
}

INSTANTIATE_TEST_SUITE_P(Chains, BoundaryOracleTest, ::testing::ValuesIn(kChains), ChainName);

} // namespace

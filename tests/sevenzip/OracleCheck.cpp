#include "tests/sevenzip/OracleCheck.h"

#include "sevenzip/Archive.h"
#include "tests/sevenzip/ArchiveFixtures.h"
#include "tools/un7z/Extractor.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace fixtures {

void ExpectSameAs7zz(const fs::path& source, const fs::path& archive, const fs::path& scratch,
                     int expected) {
    for (bool overlap : {true, false}) {
        const fs::path out = scratch / (overlap ? "overlap" : "sequential");
        std::string message;
        EXPECT_EQ(un7z::ExtractAll(archive.string(), out.string(), overlap, message), expected)
            << archive << (overlap ? " (overlapped): " : " (sequential): ") << message;
        if (expected == SZ_OK && !source.empty())
            EXPECT_EQ(CompareTrees(source, out), "") << archive;
    }
    if (expected == SZ_OK) {
        ASSERT_TRUE(UnpackWith7zz(archive, scratch / "reference"));
        EXPECT_EQ(CompareTrees(scratch / "reference", scratch / "overlap"), "") << archive;
    }
}

} // namespace fixtures

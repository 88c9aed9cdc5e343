// The extraction into an install folder someone else prepared: links planted inside it are
// never written through, and the extraction fails instead.
#include "installer/ExtractPayload.h"
#include "installer/InstallFolderWriter.h"
#include "tests/support/TestSupport.h"
#include "tests/uninstaller/TreeFixtures.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

namespace {

using namespace uninstalltest;

fs::path Payload() {
    return testsupport::HarnessPath("ORVIA_BINARY_DIR") / "tests/extract/archives/payload.7z";
}

class PlantedLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        // What a link would lead to: stands for the system folder.
        WriteFile(outside / L"tamro.exe", "system file");
        WriteFile(outside / L"strings.txt", "system strings");
        WriteFile(outside / L"readonly.ini", "system settings");
        fs::create_directories(install);
    }

    void TearDown() override {
        for (const auto& [link, kind] : links)
            RemoveFolderLink(link, kind);
    }

    void Plant(const fs::path& link, const fs::path& target, bool toFile = false) {
        fs::create_directories(link.parent_path());
        const LinkKind kind = toFile ? MakeFileLink(link, target) : MakeFolderLink(link, target);
        ASSERT_NE(kind, LinkKind::None) << "no way to make a link here";
        links.emplace_back(link, kind);
    }

    int Extract() { return ExtractPayload(Payload().wstring(), install.wstring(), nullptr); }

    testsupport::ScratchFolder scratch{"planted"};
    const fs::path outside = scratch.path() / L"System32";
    const fs::path install = scratch.path() / L"Games" / L"Tamro";
    std::vector<std::pair<fs::path, LinkKind>> links;
};

TEST_F(PlantedLinkTest, ALinkAtTheClientFolderFailsTheExtractionAndLeavesItsTargetAlone) {
    const TreeSnapshot before = Snapshot(outside);
    Plant(install / L"tamro", outside);
    EXPECT_EQ(Extract(), kExtractFileError);
    EXPECT_EQ(Snapshot(outside), before);
}

TEST_F(PlantedLinkTest, ALinkDeeperInsideFailsTheExtractionToo) {
    const TreeSnapshot before = Snapshot(outside);
    Plant(install / L"res" / L"i18n", outside);
    EXPECT_EQ(Extract(), kExtractFileError);
    EXPECT_EQ(Snapshot(outside), before);
}

TEST_F(PlantedLinkTest, ALinkInPlaceOfAFileIsNeitherEmptiedNorWritten) {
    const TreeSnapshot before = Snapshot(outside);
    Plant(install / L"readonly.ini", outside / L"readonly.ini", true);
    EXPECT_EQ(Extract(), kExtractFileError);
    EXPECT_EQ(Snapshot(outside), before);
}

// The install folder itself, and the folders above it, are the user's choice.
TEST_F(PlantedLinkTest, ALinkAtOrAboveTheInstallFolderIsFollowed) {
    const fs::path real = scratch.path() / L"D-drive" / L"Games";
    fs::create_directories(real);
    fs::remove(install);
    fs::remove(install.parent_path());
    Plant(install.parent_path(), real);
    EXPECT_EQ(Extract(), 0);
    EXPECT_EQ(Snapshot(real / L"Tamro" / L"tamro").count(L"tamro.exe"), 1u);
}

TEST(InstallFolderWriter, MakesFoldersAndFilesOnlyWhereTheirNamesSay) {
    testsupport::ScratchFolder scratch("writer");
    InstallFolderWriter writer;
    EXPECT_FALSE(writer.Open((scratch.path() / L"missing").wstring()));
    ASSERT_TRUE(writer.Open(scratch.wide() + L"\\"));
    EXPECT_TRUE(writer.MakeFolders(L"a/b\\c"));
    EXPECT_TRUE(writer.MakeFolders(L"a/b"));
    EXPECT_TRUE(fs::is_directory(scratch.path() / L"a" / L"b" / L"c"));
    EXPECT_FALSE(writer.MakeFolders(L"a/../x"));
    EXPECT_FALSE(writer.MakeFolders(L"./x"));

    WriteFile(scratch.path() / L"a" / L"old.txt", "a longer old content");
    {
        win32::UniqueFileHandle file = writer.MakeFile(L"a/old.txt");
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), "new", 3, &written, nullptr));
    }
    EXPECT_EQ(Snapshot(scratch.path() / L"a").at(L"old.txt"), "new") << "emptied first";
    EXPECT_TRUE(writer.MakeFile(L"d/e/f.txt"));
    EXPECT_TRUE(Exists(scratch.path() / L"d" / L"e" / L"f.txt"));

    // A file where a folder should be, and a folder where a file should be.
    EXPECT_FALSE(writer.MakeFolders(L"a/old.txt/x"));
    EXPECT_FALSE(writer.MakeFile(L"a/b"));
    EXPECT_FALSE(writer.MakeFile(L""));
}

} // namespace

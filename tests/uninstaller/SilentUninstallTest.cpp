// The silent uninstall's switch and its refusal, in-process; the removal itself is tested end
// to end (setup_admin_e2e).
#include "tests/uninstaller/TreeFixtures.h"
#include "uninstaller/SilentUninstall.h"

#include <gtest/gtest.h>

using namespace uninstalltest;

namespace {

TEST(SilentUninstall, OnlyASlashSArgumentMakesItSilent) {
    EXPECT_TRUE(IsSilentUninstall(L"\"C:\\Program Files\\x\\tamro\\UnInstall.exe\" /S"));
    EXPECT_TRUE(IsSilentUninstall(L"uninstall.exe /s"));
    EXPECT_TRUE(IsSilentUninstall(L"uninstall.exe --other /S"));
    EXPECT_FALSE(IsSilentUninstall(L"uninstall.exe"));
    EXPECT_FALSE(IsSilentUninstall(L"uninstall.exe /SILENT"));
    EXPECT_FALSE(IsSilentUninstall(L"uninstall.exe S"));
    // The program's own name is never an argument, even when it reads /S.
    EXPECT_FALSE(IsSilentUninstall(L"/S"));
    EXPECT_FALSE(IsSilentUninstall(L"\"C:\\odd /S\\uninstall.exe\""));
    EXPECT_FALSE(IsSilentUninstall(nullptr));
}

TEST(SilentUninstall, ARefusalRemovesNothingAndSaysSo) {
    // A copy in a download folder beside a tamro.exe: its parent would be removed.
    const fs::path root = fs::temp_directory_path() / L"orvia-silent-refusal";
    fs::remove_all(root);
    const fs::path downloads = root / L"Downloads";
    WriteFile(downloads / L"tamro.exe", "a client");
    WriteFile(downloads / L"uninstall.exe", "the uninstaller");
    WriteFile(root / L"thesis.doc", "years of work");
    const TreeSnapshot before = Snapshot(root);

    EXPECT_EQ(RunSilentUninstall((downloads / L"uninstall.exe").wstring()),
              kSilentUninstallRefused);
    EXPECT_EQ(Snapshot(root), before);
    fs::remove_all(root);
}

} // namespace

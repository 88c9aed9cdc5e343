// The silent installation's command line and the facts the uninstall entry records.
#include "installer/InstalledSize.h"
#include "installer/SilentInstall.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

namespace {

TEST(SilentInstallCommandLine, SwitchesInAnyCaseAndOrder) {
    EXPECT_FALSE(ParseInstallCommandLine(L"").silent);
    EXPECT_TRUE(ParseInstallCommandLine(L"").understood);

    const InstallCommandLine plain = ParseInstallCommandLine(L"  /S  ");
    EXPECT_TRUE(plain.silent);
    EXPECT_TRUE(plain.understood);
    EXPECT_FALSE(plain.folderGiven);
    EXPECT_TRUE(plain.simplifiedEdition);

    const InstallCommandLine hant = ParseInstallCommandLine(L"/edition=HANT\t/s");
    EXPECT_TRUE(hant.silent);
    EXPECT_TRUE(hant.understood);
    EXPECT_FALSE(hant.simplifiedEdition);
    EXPECT_TRUE(ParseInstallCommandLine(L"/S /EDITION=hans").simplifiedEdition);
}

TEST(SilentInstallCommandLine, FolderIsTheRestOfTheLineWithItsBlanks) {
    const InstallCommandLine options =
        ParseInstallCommandLine(L"/S /EDITION=hant /D=C:\\Program Files\\新 文件夹\\  tamro x  ");
    EXPECT_TRUE(options.silent);
    EXPECT_TRUE(options.understood);
    EXPECT_FALSE(options.simplifiedEdition);
    EXPECT_TRUE(options.folderGiven);
    EXPECT_EQ(options.folder, L"C:\\Program Files\\新 文件夹\\  tamro x");

    // What looks like a switch after /D= is part of the folder.
    EXPECT_EQ(ParseInstallCommandLine(L"/S /d=D:\\a /S\\b\\\\").folder, L"D:\\a /S\\b");
    const InstallCommandLine empty = ParseInstallCommandLine(L"/S /D=");
    EXPECT_TRUE(empty.folderGiven);
    EXPECT_EQ(empty.folder, L"");
}

TEST(SilentInstallCommandLine, AnythingElseIsNotUnderstood) {
    for (const wchar_t* line : {L"/S /EDITION=big5", L"/S /X", L"/S \"/D=C:\\a\"", L"/S /SILENT",
                                L"/S /D C:\\a", L"/S /EDITION="})
        EXPECT_FALSE(ParseInstallCommandLine(line).understood) << line;
}

TEST(SilentInstallCommandLine, OnlyFullPathsAreInstallFolders) {
    for (const wchar_t* folder : {L"C:\\a", L"z:\\a b\\c", L"\\\\server\\share", L"C:\\"})
        EXPECT_TRUE(IsFullFolderPath(folder)) << folder;
    for (const wchar_t* folder : {L"", L"C:", L"C:a", L"a\\b", L"\\a", L"\\\\server",
                                  L"\\\\server\\", L"\\\\\\share", L"C:/a", L"1:\\a", L"中:\\a"})
        EXPECT_FALSE(IsFullFolderPath(folder)) << folder;
}

TEST(InstalledSize, KilobytesRoundUpAndSaturate) {
    EXPECT_EQ(KilobytesFor(0), 0u);
    EXPECT_EQ(KilobytesFor(1), 1u);
    EXPECT_EQ(KilobytesFor(1024), 1u);
    EXPECT_EQ(KilobytesFor(1025), 2u);
    EXPECT_EQ(KilobytesFor(std::uint64_t{5} << 40), std::numeric_limits<DWORD>::max());
}

TEST(InstalledSize, TreeBytesCountsEveryFileBelowTheFolder) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / L"orvia-size-test 大小";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / L"a" / L"b");
    std::filesystem::create_directories(root / L"empty");
    std::ofstream(root / L"one", std::ios::binary) << std::string(1000, 'x');
    std::ofstream(root / L"a" / L"b" / L".two", std::ios::binary) << std::string(2500, 'y');
    EXPECT_EQ(TreeBytes(root.wstring()), 3500u);
    EXPECT_EQ(TreeBytes((root / L"missing").wstring()), 0u);
    std::filesystem::remove_all(root);
}

} // namespace

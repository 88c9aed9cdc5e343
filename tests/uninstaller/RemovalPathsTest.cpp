#include "uninstaller/RemovalPaths.h"
#include "uninstaller/RemovalWorker.h"

#include <gtest/gtest.h>

namespace {

TEST(RemovalPaths, RootAndCommandForAnInstalledUninstaller) {
    const std::wstring own = L"D:\\A\\Tolma\\Orvia\\tamro\\tamro\\uninstall.exe";
    const std::wstring root = RemovalRootOf(own);
    EXPECT_EQ(root, L"D:\\A\\Tolma\\Orvia\\tamro");
    const auto command = ComposeDelayedRemoval(root);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->parameters,
              L"/C ping 127.0.0.1 -n 3 > nul & rmdir /s/q \"\\\\?\\D:\\A\\Tolma\\Orvia\\tamro\" ");
    EXPECT_FALSE(command->rootInEnvironment);
}

TEST(RemovalPaths, RootNeedsTwoFoldersAboveTheProgram) {
    EXPECT_EQ(RemovalRootOf(L"C:\\tamro\\uninstall.exe"), L"C:");
    EXPECT_EQ(RemovalRootOf(L"C:\\uninstall.exe"), L"");
    EXPECT_EQ(RemovalRootOf(L"uninstall.exe"), L"");
    EXPECT_EQ(ParentFolder(L"C:\\a\\b.exe"), L"C:\\a");
    EXPECT_EQ(LastComponent(L"C:\\a\\TAMRO"), L"TAMRO");
}

TEST(RemovalPaths, CommandQuotesBlanksAmpersandsCaretsAndOtherScripts) {
    const std::wstring root = L"E:\\Program Files\\A&B ^x\\聊天 한국어";
    const auto command = ComposeDelayedRemoval(root);
    ASSERT_TRUE(command);
    EXPECT_FALSE(command->rootInEnvironment);
    EXPECT_EQ(command->parameters,
              L"/C ping 127.0.0.1 -n 3 > nul & rmdir /s/q \"\\\\?\\" + root + L"\" ");
}

TEST(RemovalPaths, RootsThatCmdWouldExpandTravelInTheEnvironment) {
    for (const std::wstring root : {L"E:\\apps\\%USERNAME%", L"E:\\100% sure", L"E:\\wow!\\x"}) {
        const auto command = ComposeDelayedRemoval(root);
        ASSERT_TRUE(command) << ::testing::PrintToString(root);
        EXPECT_TRUE(command->rootInEnvironment);
        EXPECT_EQ(command->parameters,
                  std::wstring(L"/V:OFF /C ping 127.0.0.1 -n 3 > nul & rmdir /s/q \"%") +
                      kRemovalRootVariable + L"%\" ");
        EXPECT_EQ(command->parameters.find(root), std::wstring::npos);
    }
}

TEST(RemovalPaths, CommandIsNeverComposedCutShortOrWithAStrayQuote) {
    EXPECT_FALSE(ComposeDelayedRemoval(L""));
    EXPECT_FALSE(ComposeDelayedRemoval(L"C:")) << "a drive root";
    EXPECT_FALSE(ComposeDelayedRemoval(L"\\\\server\\share"));
    EXPECT_FALSE(ComposeDelayedRemoval(L"C:\\a\"b"));
    EXPECT_FALSE(ComposeDelayedRemoval(L"C:\\a\nb"));

    // Far beyond the 214 characters a 260-byte buffer held, and still whole.
    std::wstring longRoot = L"C:";
    while (longRoot.size() < 1000)
        longRoot += L"\\很长的文件夹名";
    const auto command = ComposeDelayedRemoval(longRoot);
    ASSERT_TRUE(command);
    EXPECT_NE(command->parameters.find(L"\"\\\\?\\" + longRoot + L"\" "), std::wstring::npos);

    // Beyond what cmd.exe reads at all.
    std::wstring tooLong = L"C:";
    while (tooLong.size() < 8200)
        tooLong += L"\\folder";
    EXPECT_FALSE(ComposeDelayedRemoval(tooLong));
}

TEST(RemovalPaths, VolumeAndShareRootsAndRelativePathsAreRoots) {
    for (const wchar_t* root :
         {L"C:", L"C:\\", L"c:\\\\", L"\\\\server", L"\\\\server\\share", L"\\\\server\\share\\",
          L"\\\\?\\C:\\", L"\\\\?\\UNC\\server\\share", L"\\\\?\\Volume{0b1c}\\", L"", L"tamro",
          L"\\tamro"})
        EXPECT_TRUE(IsVolumeOrShareRoot(root)) << ::testing::PrintToString(std::wstring(root));
    for (const wchar_t* folder : {L"C:\\Tamro", L"\\\\server\\share\\apps", L"\\\\?\\D:\\x",
                                  L"\\\\?\\UNC\\server\\share\\apps", L"\\\\?\\Volume{0b1c}\\x"})
        EXPECT_FALSE(IsVolumeOrShareRoot(folder)) << ::testing::PrintToString(std::wstring(folder));
}

// cmd is handed the root in the one form it cannot canonicalise into another folder, and
// never a root Win32 would read as another folder.
TEST(RemovalPaths, CommandNamesTheRootLiterallyAndOnlyAnUnambiguousOne) {
    EXPECT_EQ(LiteralPath(L"C:\\Apps\\x"), L"\\\\?\\C:\\Apps\\x");
    EXPECT_EQ(LiteralPath(L"\\\\?\\C:\\Apps\\x\\"), L"\\\\?\\C:\\Apps\\x");
    EXPECT_EQ(LiteralPath(L"\\\\srv\\share\\apps"), L"\\\\?\\UNC\\srv\\share\\apps");
    EXPECT_EQ(LiteralPath(L"\\\\.\\C:\\Apps"), L"");
    EXPECT_EQ(LiteralPath(L"Apps\\x"), L"");

    const auto share = ComposeDelayedRemoval(L"\\\\srv\\share\\apps\\tamro");
    ASSERT_TRUE(share);
    EXPECT_NE(share->parameters.find(L"\"\\\\?\\UNC\\srv\\share\\apps\\tamro\" "),
              std::wstring::npos);
    const auto percent = ComposeDelayedRemoval(L"E:\\100% sure");
    ASSERT_TRUE(percent);
    EXPECT_EQ(percent->root, L"\\\\?\\E:\\100% sure") << "the variable's value";

    for (const wchar_t* root :
         {L"C:\\Apps\\Orvia.", L"C:\\Apps\\Orvia ", L"C:\\Apps.\\Orvia", L"C:\\Apps\\..\\Windows",
          L"C:\\Apps\\.\\x", L"C:/Apps/x", L"\\\\.\\C:\\Apps", L"\\\\?\\GLOBALROOT\\Device\\x\\y",
          L"\\\\?\\Volume{0b1c}\\x"})
        EXPECT_FALSE(ComposeDelayedRemoval(root)) << ::testing::PrintToString(std::wstring(root));
}

TEST(RemovalPaths, DevicePathsStrippedComponentsAndDepth) {
    for (const wchar_t* path : {L"\\\\.\\C:\\x", L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x",
                                L"\\\\?\\Volume{0b1c}\\x", L"\\??\\C:\\x", L"\\\\?\\C:x"})
        EXPECT_TRUE(IsDevicePath(path)) << ::testing::PrintToString(std::wstring(path));
    for (const wchar_t* path :
         {L"C:\\x", L"\\\\?\\C:\\x", L"\\\\?\\UNC\\srv\\share", L"\\\\srv\\share\\x"})
        EXPECT_FALSE(IsDevicePath(path)) << ::testing::PrintToString(std::wstring(path));

    EXPECT_TRUE(HasStrippedComponent(L"C:\\a.\\b"));
    EXPECT_TRUE(HasStrippedComponent(L"C:\\a\\b "));
    EXPECT_TRUE(HasStrippedComponent(L"C:\\a\\..\\b"));
    EXPECT_FALSE(HasStrippedComponent(L"C:\\a.b\\ c\\.d"));
    EXPECT_FALSE(HasStrippedComponent(L"\\\\?\\C:\\a"));

    EXPECT_EQ(DepthBelow(L"C:\\Users\\bob", L"c:\\users\\BOB\\"), 0);
    EXPECT_EQ(DepthBelow(L"C:\\Users\\bob\\Desktop\\Games", L"C:\\Users\\bob"), 2);
    EXPECT_EQ(DepthBelow(L"C:\\Users\\bobby\\Desktop", L"C:\\Users\\bob"), -1);
    EXPECT_EQ(DepthBelow(L"C:\\Users", L"C:\\Users\\bob"), -1);
}

TEST(RemovalPaths, SameOrAboveComparesWholeComponentsWithoutCase) {
    EXPECT_TRUE(IsSameOrAbove(L"C:\\Users", L"c:\\users\\u\\Documents"));
    EXPECT_TRUE(IsSameOrAbove(L"C:\\Users\\u\\", L"C:\\USERS\\U"));
    EXPECT_TRUE(IsSameOrAbove(L"\\\\?\\C:\\Program Files", L"C:\\Program Files\\Common Files"));
    EXPECT_FALSE(IsSameOrAbove(L"C:\\Use", L"C:\\Users"));
    EXPECT_FALSE(IsSameOrAbove(L"C:\\Users\\u\\Documents\\x", L"C:\\Users\\u\\Documents"));
    EXPECT_FALSE(IsSameOrAbove(L"", L"C:\\Users"));
}

TEST(RemovalPaths, UninstallCommandNamesItsProgramQuotedOrNot) {
    EXPECT_EQ(UninstallCommandPath(L"\"C:\\Program Files\\t\\tamro\\UnInstall.exe\""),
              L"C:\\Program Files\\t\\tamro\\UnInstall.exe");
    EXPECT_EQ(UninstallCommandPath(L"  \"C:\\a b\\UnInstall.exe\" "), L"C:\\a b\\UnInstall.exe");
    EXPECT_EQ(UninstallCommandPath(L"C:\\a b\\UnInstall.exe  "), L"C:\\a b\\UnInstall.exe");
    EXPECT_EQ(UninstallCommandPath(L"\"C:\\unclosed"), L"");
    EXPECT_EQ(UninstallCommandPath(L""), L"");
}

TEST(RemovalPaths, ProgressIsTheTruncatedDoublePercentage) {
    EXPECT_EQ(RemovalPercent(1, 3), 33);
    EXPECT_EQ(RemovalPercent(2, 3), 66);
    EXPECT_EQ(RemovalPercent(3, 3), 100);
    EXPECT_EQ(RemovalPercent(29, 100), 28) << "0.29 * 100 is 28.999... in double precision";
    EXPECT_EQ(RemovalPercent(57, 100), 56);
    EXPECT_EQ(RemovalPercent(29, 50), 57);
}

} // namespace

#include "uninstaller/FinishUninstall.h"
#include "uninstaller/RemovalPaths.h"

#include "tests/registration/RegistryAccess.h"
#include "tests/support/TestSupport.h"
#include "tests/uninstaller/InstalledState.h"
#include "tests/uninstaller/TreeFixtures.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

namespace {

using namespace uninstalltest;

const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The delayed command waits about two seconds before it removes anything.
constexpr DWORD kCommandWaitMs = 15000;

class FinishUninstallTest : public ::testing::Test {
protected:
    InstalledState installed;
    testsupport::ScratchFolder scratch{"finish"};
};

TEST_F(FinishUninstallTest, ShortcutsAndEntryGoWhileProductKeysAndLogonValueStay) {
    const fs::path root = scratch.path() / L"inst";
    WriteFile(root / L"tamro" / L"uninstall.exe", "me");
    installed.Install(root.wstring());
    ASSERT_TRUE(installed.HasShortcuts());
    ASSERT_TRUE(installed.HasUninstallEntry());

    EXPECT_TRUE(FinishUninstall(root.wstring(), (root / L"tamro" / L"uninstall.exe").wstring()));
    EXPECT_FALSE(installed.HasAnyShortcut()) << "the emptied Programs folder goes too";
    EXPECT_FALSE(installed.HasUninstallEntry());
    EXPECT_TRUE(registrytest::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(installed.HasProductKeysAndLogonValue());
    EXPECT_TRUE(WaitUntilGone(root, kCommandWaitMs)) << "the delayed command removes the root";
}

// A copy of the uninstaller run from elsewhere removes its own folder, and nothing of the
// installation the entry and the shortcuts belong to.
TEST_F(FinishUninstallTest, ACopyElsewhereLeavesAnotherInstallationsEntryAndShortcuts) {
    const fs::path installation = scratch.path() / L"inst";
    installed.Install(installation.wstring());
    // Beside it, and named so that a comparison of texts alone would take it for a parent.
    const fs::path copy = scratch.path() / L"in";
    const fs::path own = copy / L"tamro" / L"uninstall.exe";
    WriteFile(own, "me");
    EXPECT_FALSE(ShortcutTargetsInside(installed.desktopLink.wstring(), copy.wstring()));
    EXPECT_TRUE(ShortcutTargetsInside(installed.desktopLink.wstring(), installation.wstring()));

    EXPECT_TRUE(FinishUninstall(copy.wstring(), own.wstring()));
    EXPECT_TRUE(installed.HasShortcuts());
    EXPECT_TRUE(installed.HasUninstallEntry());
    EXPECT_TRUE(WaitUntilGone(copy, kCommandWaitMs));

    // The installation's own uninstaller, named in a short form, does remove them.
    const fs::path uninstaller = installation / L"tamro" / L"UnInstall.exe";
    WriteFile(uninstaller, "me");
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(uninstaller.c_str(), shortPath, MAX_PATH);
    RemoveUninstallEntry(ShortcutInfo{},
                         length > 0 && length < MAX_PATH ? shortPath : uninstaller.wstring());
    EXPECT_FALSE(installed.HasUninstallEntry());
}

TEST_F(FinishUninstallTest, ProgramsFolderHoldingSomethingElseStays) {
    installed.Install((scratch.path() / L"inst").wstring());
    WriteFile(installed.programsFolder / L"readme.txt", "mine");
    RemoveProgramsShortcut(ShortcutInfo{}, (scratch.path() / L"inst").wstring());
    EXPECT_FALSE(Exists(installed.programsFolder / L"Tamro.lnk"));
    EXPECT_TRUE(Exists(installed.programsFolder / L"readme.txt"));
}

// Things beside the product's own places, named like them, that a removal gone too wide would
// take: they must all stay as they are.
TEST_F(FinishUninstallTest, NothingInstalledChangesNothing) {
    const std::wstring otherEntry = kUninstallKey + L"\\tamro2";
    const std::wstring nestedEntry = otherEntry + L"\\sub";
    const wchar_t name[] = L"Tamro 2";
    registrytest::SetRawValue(HKEY_LOCAL_MACHINE, otherEntry, L"DisplayName", REG_SZ, name,
                              sizeof name);
    registrytest::SetRawValue(HKEY_LOCAL_MACHINE, nestedEntry, L"DisplayName", REG_SZ, name,
                              sizeof name);
    const fs::path desktop = installed.desktopLink.parent_path();
    const fs::path programs = installed.programsFolder.parent_path();
    const std::vector<fs::path> files = {desktop / L"Tamro (2).lnk", desktop / L"Tamro.url",
                                         programs / L"Tamro Tools" / L"Tamro.lnk"};
    for (const fs::path& file : files)
        WriteFile(file, "other");
    const int uninstallValues = registrytest::ValueCount(HKEY_LOCAL_MACHINE, kUninstallKey);

    const std::wstring root = (scratch.path() / L"inst").wstring();
    const std::wstring ownPath = root + L"\\tamro\\UnInstall.exe";
    RemoveDesktopShortcut(ShortcutInfo{}, root);
    RemoveProgramsShortcut(ShortcutInfo{}, root);
    RemoveUninstallEntry(ShortcutInfo{}, ownPath);
    for (const std::wstring& entryName : {std::wstring(), std::wstring(L"tamro2\\sub")}) {
        ShortcutInfo other;
        other.entryName = entryName;
        RemoveUninstallEntry(other, ownPath);
    }

    EXPECT_EQ(registrytest::ValueCount(HKEY_LOCAL_MACHINE, kUninstallKey), uninstallValues);
    EXPECT_TRUE(registrytest::KeyExists(HKEY_LOCAL_MACHINE, nestedEntry));
    const auto kept = registrytest::QueryValue(HKEY_LOCAL_MACHINE, otherEntry, L"DisplayName");
    EXPECT_TRUE(kept && kept->units() == std::wstring(name, std::size(name)));
    for (const fs::path& file : files)
        EXPECT_TRUE(Exists(file)) << file;
    EXPECT_FALSE(Exists(installed.programsFolder)) << "made by a removal";

    registrytest::DeleteTree(HKEY_LOCAL_MACHINE, otherEntry);
    for (const fs::path& file : files)
        DeleteFileW(file.c_str());
    RemoveDirectoryW((programs / L"Tamro Tools").c_str());
}

// cmd.exe itself removes these roots: quoting, expansion and the UTF-16 command line are
// those of the real interpreter.
TEST_F(FinishUninstallTest, DelayedCommandRemovesExactlyTheRootWhateverItsName) {
    // No "%" above the roots: it would pair with one of theirs and hide the expansion.
    const fs::path parent = scratch.path() / L"A & B ^ 聊天";
    std::vector<fs::path> roots = {parent / L"한국어 설치 ^&", parent / L"50% off",
                                   parent / L"wow!x"};
    std::vector<fs::path> neighbours = {parent / L"한국어 설치", parent / L"50"};
    // cmd would expand %USERNAME% inside the quotes: the folder it would name stands beside
    // the root and must stay. Windows expands the variable that carries the root once; Wine's
    // cmd expands the result again and so removes the neighbour, a known difference of Wine.
    if (!IsWine()) {
        wchar_t user[256] = {};
        DWORD userLength = 256;
        ASSERT_TRUE(GetUserNameW(user, &userLength));
        roots.push_back(parent / L"%USERNAME%");
        neighbours.push_back(parent / user);
    }
    for (const fs::path& root : roots)
        WriteFile(root / L"tamro" / L"uninstall.exe", "me");
    for (const fs::path& neighbour : neighbours)
        WriteFile(neighbour / L"keep.txt", "keep");
    const TreeSnapshot before = Snapshot(parent);

    for (const fs::path& root : roots)
        EXPECT_TRUE(LaunchDelayedRemoval(root.wstring()))
            << ::testing::PrintToString(root.wstring());
    for (const fs::path& root : roots)
        EXPECT_TRUE(WaitUntilGone(root, kCommandWaitMs))
            << ::testing::PrintToString(root.wstring());
    // The commands have run; whatever they would have removed by mistake is gone by now.
    Sleep(500);
    TreeSnapshot expected = before;
    for (auto it = expected.begin(); it != expected.end();) {
        const fs::path entry = parent / it->first;
        const bool inRoot = std::any_of(roots.begin(), roots.end(), [&](const fs::path& root) {
            const std::wstring prefix = root.wstring();
            return entry.wstring().compare(0, prefix.size(), prefix) == 0;
        });
        it = inRoot ? expected.erase(it) : std::next(it);
    }
    EXPECT_EQ(Snapshot(parent), expected);
}

// What Wine can show of the %USERNAME% root: the command gets the root through its environment,
// unexpanded. That cmd then expands it once and no more, Windows alone shows (the test above);
// Wine's cmd expands it again.
TEST_F(FinishUninstallTest, ARootNamingAVariableIsHandedOverUnexpanded) {
    const fs::path root = scratch.path() / L"user" / L"%USERNAME%";
    WriteFile(root / L"tamro" / L"uninstall.exe", "me");
    ASSERT_TRUE(LaunchDelayedRemoval(root.wstring()));
    wchar_t handed[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(kRemovalRootVariable, handed, MAX_PATH), 0u);
    // In the literal form the command gets the root in, which cmd cannot canonicalise.
    EXPECT_EQ(std::wstring(handed), L"\\\\?\\" + root.wstring());
    if (IsWine())
        RecordProperty("wine", "the single expansion by cmd is checked on Windows only");
    else
        EXPECT_TRUE(WaitUntilGone(root, kCommandWaitMs));
}

TEST_F(FinishUninstallTest, UncomposableCommandIsNotStarted) {
    EXPECT_FALSE(LaunchDelayedRemoval(L""));
    EXPECT_FALSE(LaunchDelayedRemoval(L"C:\\a\"b"));
}

} // namespace

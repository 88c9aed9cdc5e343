#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/uninstaller/InstalledState.h"
#include "tests/uninstaller/ScreenInput.h"
#include "tests/uninstaller/TreeFixtures.h"
#include "uninstaller/UninstallerConstants.h"
#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>

// The real OrvUnInstall.exe, copied to where a person might find it, clicked with the display's
// real pointer. Where it refuses, the tree around it must survive byte for byte and the program
// must end with 0 when its button is clicked.
namespace {

using namespace uninstalltest;

// The start button's centre in the window: floating at 222,166 inside the body that begins
// below the 40-pixel title bar, 160 by 50.
constexpr POINT kStartButton{302, 231};
constexpr POINT kCloseButton{581, 17};
constexpr DWORD kWindowWaitMs = 15000;
constexpr DWORD kExitWaitMs = 10000;
constexpr DWORD kDelayedCommandWaitMs = 15000;

// One run of the uninstaller at a given path.
class UninstallerRun {
public:
    explicit UninstallerRun(const fs::path& program) : m_process(program.wstring()) {}

    // The shown window, once it has painted.
    HWND Window() {
        const DWORD start = GetTickCount();
        while (m_process && GetTickCount() - start < kWindowWaitMs) {
            if (HWND window =
                    testsupport::FindProcessWindow(m_process.id(), uninstall::kWindowClassName)) {
                Sleep(500);
                return window;
            }
            Sleep(100);
        }
        return nullptr;
    }

    void Click(POINT client) {
        HWND window = Window();
        ASSERT_TRUE(window);
        ClickAt(ScreenPoint(window, client.x, client.y));
    }

    // The exit code, or nothing while it still runs after the wait.
    std::optional<DWORD> ExitCode(DWORD waitMs = kExitWaitMs) { return m_process.ExitCode(waitMs); }

private:
    testsupport::ChildProcess m_process;
};

fs::path ProgramUnderTest() {
    return fs::path(ORVUNINSTALL_EXE);
}

// Names directly in a folder: enough to see that a large folder lost nothing at its top.
std::vector<std::wstring> TopLevel(const fs::path& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    win32::UniqueFindHandle find(FindFirstFileW((folder / L"*").c_str(), &entry));
    if (find) {
        do
            names.push_back(entry.cFileName);
        while (FindNextFileW(find.get(), &entry));
    }
    std::sort(names.begin(), names.end());
    return names;
}

class UninstallerProgramTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const fs::path& path : planted)
            testsupport::RemoveTree(path);
        SetCursorPos(0, 0);
    }

    // Puts the uninstaller (and, when asked, a client beside it) into `folder`.
    fs::path Plant(const fs::path& folder, bool withClient) {
        fs::create_directories(folder);
        const fs::path program = folder / L"uninstall.exe";
        EXPECT_TRUE(CopyFileW(ProgramUnderTest().c_str(), program.c_str(), FALSE));
        if (withClient)
            WriteFile(folder / L"tamro.exe", "client");
        return program;
    }

    // Runs the uninstaller at `program`, clicks its button like a person, and expects it to
    // end with 0 having changed nothing in `guarded` (checked in full) or in the names at
    // the top of `guardedTop`.
    void ExpectRefusal(const fs::path& program, const fs::path& guarded,
                       const fs::path& guardedTop = {}, const std::string& screenshot = {}) {
        const TreeSnapshot before = Snapshot(guarded);
        const auto topBefore =
            guardedTop.empty() ? std::vector<std::wstring>() : TopLevel(guardedTop);
        UninstallerRun run(program);
        HWND window = run.Window();
        ASSERT_TRUE(window) << "no window for " << program;
        if (!screenshot.empty())
            KeepScreenArea(AroundWindow(window, 8), screenshot);
        run.Click(kStartButton);
        // The refusal's button closes; a second press would start a removal, were there one.
        EXPECT_EQ(run.ExitCode(), std::optional<DWORD>(0)) << program;
        Sleep(3000); // a command, had one been started, would have run by now
        EXPECT_EQ(Snapshot(guarded), before) << program;
        if (!guardedTop.empty()) {
            EXPECT_EQ(TopLevel(guardedTop), topBefore) << program;
        }
        EXPECT_TRUE(installed.HasShortcuts());
        EXPECT_TRUE(installed.HasUninstallEntry());
    }

    // Clicks through a removal that the uninstaller allows, until it has ended.
    void RemoveWithTwoClicks(const fs::path& program, const fs::path& lastFolder) {
        UninstallerRun run(program);
        run.Click(kStartButton);
        ASSERT_TRUE(WaitUntilGone(lastFolder, 10000));
        Sleep(1000); // the closing animation
        run.Click(kStartButton);
        EXPECT_EQ(run.ExitCode(), std::optional<DWORD>(0));
    }

    testsupport::ScratchFolder scratch{"program"};
    InstalledState installed;
    std::vector<fs::path> planted;
};

TEST_F(UninstallerProgramTest, RefusesOutsideAFolderNamedTamro) {
    installed.Install(L"C:\\Program Files\\Tolma\\Orvia\\tamro");
    const fs::path downloads = scratch.path() / L"Downloads";
    WriteFile(downloads / L"holiday" / L"photo.jpg", "jpeg");
    WriteFile(scratch.path() / L"thesis.doc", "years of work");
    ExpectRefusal(Plant(downloads, true), scratch.path(), {}, "uninstaller-program-refused");
}

TEST_F(UninstallerProgramTest, RefusesWithoutTheClientOrAnEntryNamingIt) {
    const fs::path copy = scratch.path() / L"backup" / L"tamro";
    WriteFile(scratch.path() / L"backup" / L"2019" / L"taxes.xls", "numbers");
    // The entry names another installation.
    installed.Install(L"C:\\Program Files\\Tolma\\Orvia\\tamro");
    ExpectRefusal(Plant(copy, false), scratch.path());
}

// Only folders inside the Wine prefix: Wine maps Documents, Desktop and the like onto the
// user's real home folder, which no test may plant files in or read whole.
TEST_F(UninstallerProgramTest, RefusesWhenTheRootIsAUserOrSystemFolderOrADriveRoot) {
    installed.Install(L"C:\\Program Files\\Tolma\\Orvia\\tamro");
    for (const KNOWNFOLDERID* id : {&FOLDERID_RoamingAppData, &FOLDERID_ProgramFiles}) {
        const fs::path folder = KnownFolder(*id);
        ASSERT_FALSE(folder.empty());
        planted.push_back(folder / L"tamro");
        ExpectRefusal(Plant(folder / L"tamro", true), folder / L"tamro", folder);
    }

    const fs::path temp = fs::temp_directory_path();
    planted.push_back(temp / L"tamro");
    ExpectRefusal(Plant(temp / L"tamro", true), temp / L"tamro", temp);

    const fs::path drive = fs::path(L"C:\\");
    planted.push_back(drive / L"tamro");
    ExpectRefusal(Plant(drive / L"tamro", true), drive / L"tamro", drive);
}

TEST_F(UninstallerProgramTest, ClosedWhenReadyItEndsWithZeroAndRemovesNothing) {
    const fs::path root = scratch.path() / L"inst";
    const fs::path program = Plant(root / L"tamro", true);
    WriteFile(root / L"res" / L"a.png", "png");
    installed.Install(root.wstring());
    const TreeSnapshot before = Snapshot(root);
    UninstallerRun run(program);
    run.Click(kCloseButton);
    EXPECT_EQ(run.ExitCode(), std::optional<DWORD>(0));
    EXPECT_EQ(Snapshot(root), before);
    EXPECT_TRUE(installed.HasShortcuts());
}

TEST_F(UninstallerProgramTest, TwoClicksRemoveAnInstallationWhoseNameNeedsUnicode) {
    const fs::path parent = scratch.path() / L"프로그램 & 软件 ^ 100%";
    const fs::path root = parent / L"tamro";
    const fs::path program = Plant(root / L"tamro", true);
    WriteFile(root / L"tamro" / L"skin" / L"a.png", "png");
    WriteFile(root / L"flash" / L"orvflash.exe", "flash");
    WriteFile(parent / L"tamro-old" / L"keep.txt", "keep");
    installed.Install(root.wstring());

    UninstallerRun run(program);
    run.Click(kStartButton);
    // The removal of four folders with their pauses, then the closing animation.
    ASSERT_TRUE(WaitUntilGone(root / L"flash", 10000));
    Sleep(1000);
    run.Click(kStartButton);
    EXPECT_EQ(run.ExitCode(), std::optional<DWORD>(0));
    EXPECT_FALSE(installed.HasAnyShortcut());
    EXPECT_FALSE(installed.HasUninstallEntry());
    EXPECT_TRUE(installed.HasProductKeysAndLogonValue());
    EXPECT_TRUE(WaitUntilGone(root, kDelayedCommandWaitMs))
        << "removed by the delayed command, uninstaller included";
    EXPECT_EQ(Snapshot(parent / L"tamro-old"), (TreeSnapshot{{L"keep.txt", "keep"}}));
}

// Another user's folders, as an administrator sees them: the profile in the profiles folder,
// its Desktop, Documents and roaming data.
TEST_F(UninstallerProgramTest, RefusesAnotherUsersProfileAndItsFolders) {
    installed.Install(L"C:\\Program Files\\Tolma\\Orvia\\tamro");
    const fs::path bob = KnownFolder(FOLDERID_UserProfiles) / L"orvia-bob";
    planted.push_back(bob);
    WriteFile(bob / L"NTUSER.DAT", "hive");
    WriteFile(bob / L"Desktop" / L"plans.txt", "plans");
    WriteFile(bob / L"Documents" / L"thesis.doc", "years of work");
    WriteFile(bob / L"AppData" / L"Roaming" / L"Chat" / L"history.db", "history");
    for (const fs::path& folder :
         {bob / L"Desktop", bob / L"Documents", bob / L"AppData" / L"Roaming", bob}) {
        const fs::path program = Plant(folder / L"tamro", true);
        ExpectRefusal(program, bob);
        fs::remove_all(folder / L"tamro");
    }
}

TEST_F(UninstallerProgramTest, AnOrdinaryInstallFolderIsRemovedCompletely) {
    const fs::path apps = L"C:\\Apps";
    const bool appsExisted = Exists(apps);
    if (!appsExisted)
        planted.push_back(apps);
    const fs::path root = apps / L"Tolma" / L"Orvia" / L"tamro";
    planted.push_back(root);
    const fs::path program = Plant(root / L"tamro", true);
    WriteFile(root / L"tamro" / L"skin" / L"a.png", "png");
    WriteFile(root / L"flash" / L"movies" / L"intro.swf", "swf");
    WriteFile(root / L"install" / L"Licence.txt", "licence");
    WriteFile(root.parent_path() / L"other" / L"keep.txt", "keep");
    installed.Install(root.wstring());

    RemoveWithTwoClicks(program, root / L"flash");
    EXPECT_FALSE(installed.HasAnyShortcut());
    EXPECT_FALSE(installed.HasUninstallEntry());
    EXPECT_TRUE(WaitUntilGone(root, kDelayedCommandWaitMs));
    EXPECT_EQ(Snapshot(root.parent_path()),
              (TreeSnapshot{{L"other", "<folder>"}, {L"other\\keep.txt", "keep"}}));
}

// A copy with a client beside it passes the guard and removes its own folder; the entry and
// the shortcuts of the installation elsewhere stay.
TEST_F(UninstallerProgramTest, ACopyElsewhereLeavesTheInstallationsEntryAndShortcuts) {
    installed.Install(L"C:\\Program Files\\Tolma\\Orvia\\tamro");
    const fs::path copy = scratch.path() / L"backup" / L"Orvia";
    const fs::path program = Plant(copy / L"tamro", true);
    WriteFile(copy / L"flash" / L"orvflash.exe", "flash");
    RemoveWithTwoClicks(program, copy / L"flash");
    EXPECT_TRUE(installed.HasShortcuts());
    EXPECT_TRUE(installed.HasUninstallEntry());
    EXPECT_TRUE(WaitUntilGone(copy, kDelayedCommandWaitMs));
}

} // namespace

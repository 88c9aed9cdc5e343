#include "uninstaller/UnInstallDialog.h"

#include "installer/SetupDialogNames.h"
#include "skinui/controls/ButtonUI.h"
#include "skinui/controls/LabelUI.h"
#include "skinui/controls/ProgressUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "tests/support/TestSupport.h"
#include "tests/uninstaller/InstalledState.h"
#include "tests/uninstaller/ScreenInput.h"
#include "tests/uninstaller/TreeFixtures.h"
#include "uninstaller/RemovalThread.h"
#include "uninstaller/UninstallerConstants.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace uninstalltest;
using skinui::CControlUI;

constexpr DWORD kDelayedCommandWaitMs = 15000;

std::wstring ProgressText(int percent) {
    return L"已卸载" + std::to_wstring(percent) + L"%";
}

// One observation after a tick of an animation timer.
struct Tick {
    RECT bar;
    bool removalStarted;
    bool treeUntouched;
    std::wstring barText;
};

// The uninstaller's dialog in this process, driven by the display's real pointer, on a real
// install tree and the registry state an installation leaves.
class UnInstallDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        skinui::SkinWindowManager::SetInstance(GetModuleHandleW(nullptr));
    }

    void SetUp() override {
        root = scratch.path() / L"Tolma" / L"Orvia" / L"tamro";
        own = root / L"tamro" / L"uninstall.exe";
        WriteFile(own, "uninstaller");
        WriteFile(root / L"tamro" / L"tamro.exe", "client");
        WriteFile(root / L"tamro" / L"plugins" / L"video.dll", "video");
        WriteFile(root / L"flash" / L"orvflash.exe", "flash");
        WriteFile(root / L"flash" / L"movies" / L"hello.swf", "swf");
        WriteFile(root / L"res" / L"skin" / L"a.png", "png");
        WriteFile(root / L".cache" / L"state", "state");
        sentinel = root / L"res" / L"skin" / L"a.png";
        installed.Install(root.wstring());
    }

    void TearDown() override {
        if (hwnd && IsWindow(hwnd))
            DestroyWindow(hwnd);
        removal.RequestStop();
        removal.Wait();
        Pump([] { return false; }, 50);
        SetCursorPos(0, 0);
    }

    // Creates the dialog for an uninstaller at `ownPath` as the program does (hidden, then
    // shown with the focus) and waits for its controls.
    void Open(const fs::path& ownPath, DWORD folderPauseMs) {
        dialog = new CChatUnInstallMainDailog(removal, ownPath.wstring());
        dialog->SetFolderPause(folderPauseMs);
        hwnd = dialog->Create(nullptr, uninstall::kWindowTitle, setupui::kWindowStyle,
                              setupui::kWindowExStyle, 100, 100, 0, 0);
        ASSERT_TRUE(hwnd);
        dialog->ShowWindow(true, true);
        SetForegroundWindow(hwnd);
        ASSERT_TRUE(Pump([this] { return Control(uninstall::kStartButtonName) != nullptr; }));
        progress = static_cast<skinui::CProgressUI*>(Control(uninstall::kProgressName));
        button = Control(uninstall::kStartButtonName);
        title = Control(uninstall::kTitleName);
        ASSERT_TRUE(progress && button && title);
        Pump([] { return false; }, 300);
    }

    CControlUI* Control(const wchar_t* name) {
        return IsWindow(hwnd) ? dialog->Manager().FindControl(name) : nullptr;
    }

    POINT CentreOf(CControlUI* control) {
        const RECT& rc = control->GetPos();
        return ScreenPoint(hwnd, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    // Runs this thread's messages until done() holds; false on time-out. Each dispatched
    // message is shown to `watch`, and a quit message is noted rather than ending anything.
    bool Pump(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            MSG msg{};
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quitPosted = true;
                    continue;
                }
                if (!skinui::SkinWindowManager::TranslateMessage(&msg)) {
                    ::TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
                if (watch && msg.hwnd == hwnd && IsWindow(hwnd))
                    watch(msg);
            }
            if (!done())
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return true;
    }

    Tick Observe() {
        return {progress->GetPos(), removal.IsStarted(), Exists(sentinel), progress->GetText()};
    }

    testsupport::ScratchFolder scratch{"dialog"};
    InstalledState installed;
    fs::path root;
    fs::path own;
    fs::path sentinel;
    RemovalThread removal;
    CChatUnInstallMainDailog* dialog{nullptr}; // deletes itself with its window
    HWND hwnd{nullptr};
    skinui::CProgressUI* progress{nullptr};
    CControlUI* button{nullptr};
    CControlUI* title{nullptr};
    std::function<void(const MSG&)> watch;
    bool quitPosted{false};
};

TEST_F(UnInstallDialogTest, ReadyWindowClosedWithItsButtonRemovesNothing) {
    const TreeSnapshot before = Snapshot(root);
    Open(own, uninstall::kFolderPauseMs);
    EXPECT_EQ(title->GetText(), L"IMKwee卸载程序");
    EXPECT_EQ(button->GetText(), L"一键卸载");
    EXPECT_TRUE(button->IsVisible());
    EXPECT_FALSE(progress->IsVisible());
    EXPECT_TRUE(dialog->Verdict().allowed());
    Pump([] { return false; }, 200);

    // Created hidden and shown afterwards, it still has its round corner and its shadow.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwnd, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the corner is cut off";
    EXPECT_TRUE(PtInRegion(region, 300, 190));
    DeleteObject(region);
    HWND shadow = dialog->Manager().GetShadow()->GetHWND();
    ASSERT_TRUE(shadow);
    EXPECT_TRUE(IsWindowVisible(shadow));
    RECT shadowRect{};
    GetWindowRect(shadow, &shadowRect);
    EXPECT_EQ(shadowRect.left, 100 + 1 - 3);
    EXPECT_EQ(shadowRect.right - shadowRect.left, 600 + 2 * 3);
    EXPECT_TRUE(KeepScreenArea(AroundWindow(hwnd, 8), "uninstaller-ready"));

    ClickAt(CentreOf(Control(uninstall::kCloseButtonName)));
    ASSERT_TRUE(Pump([this] { return !IsWindow(hwnd); }));
    EXPECT_TRUE(quitPosted) << "the dialog ends the message loop when it goes";
    EXPECT_FALSE(removal.IsStarted());
    EXPECT_EQ(Snapshot(root), before);
    EXPECT_TRUE(installed.HasShortcuts());
    EXPECT_TRUE(installed.HasUninstallEntry());
}

TEST_F(UnInstallDialogTest, TwoClicksRemoveTheInstallationWithTheAnimatedBar) {
    Open(own, 150);

    std::vector<Tick> widening;
    std::vector<Tick> narrowing;
    std::vector<std::pair<LPARAM, std::wstring>> shownProgress;
    bool checkedClick = false;
    watch = [&](const MSG& msg) {
        if (msg.message == WM_LBUTTONUP && !checkedClick) {
            // The first click takes effect at once, before any tick.
            checkedClick = true;
            EXPECT_FALSE(button->IsVisible());
            EXPECT_TRUE(progress->IsVisible());
            EXPECT_EQ(progress->GetText(), L"正在卸载");
            EXPECT_EQ(title->GetText(), L"正在卸载");
        } else if (msg.message == WM_TIMER && msg.wParam == uninstall::kWideningTimer) {
            widening.push_back(Observe());
        } else if (msg.message == WM_TIMER && msg.wParam == uninstall::kNarrowingTimer) {
            narrowing.push_back(Observe());
        } else if (msg.message == uninstall::RemovalProgressMessage) {
            shownProgress.emplace_back(msg.lParam, progress->GetText());
            EXPECT_EQ(progress->GetValue(), msg.lParam);
        }
    };
    ClickAt(CentreOf(button));
    ASSERT_TRUE(Pump([&] { return !shownProgress.empty(); }));
    EXPECT_TRUE(checkedClick);

    // Ten ticks widen the bar by 20 pixels per edge; the eleventh starts the removal.
    ASSERT_EQ(widening.size(), 11u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(widening[i].bar.left, 222 - 20 * (i + 1)) << "tick " << i + 1;
        EXPECT_EQ(widening[i].bar.right, 382 + 20 * (i + 1)) << "tick " << i + 1;
        EXPECT_EQ(widening[i].bar.bottom - widening[i].bar.top, 50);
        EXPECT_FALSE(widening[i].removalStarted) << "tick " << i + 1;
        EXPECT_TRUE(widening[i].treeUntouched) << "tick " << i + 1;
    }
    EXPECT_EQ(widening[10].bar.left, 22);
    EXPECT_TRUE(widening[10].removalStarted);
    EXPECT_EQ(widening[10].barText, L"已卸载1%...");

    // The widened bar keeps its place through repaints, text and value changes and a new
    // layout of its parent.
    const RECT wide = progress->GetPos();
    CControlUI* picture = Control(L"kweelog");
    ASSERT_TRUE(picture);
    picture->SetVisible(false);
    UpdateWindow(hwnd);
    picture->SetVisible(true);
    progress->SetValue(progress->GetValue() + 1);
    progress->SetText(L"x");
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_TRUE(EqualRect(&progress->GetPos(), &wide))
        << "bar at " << progress->GetPos().left << ".." << progress->GetPos().right;
    ASSERT_TRUE(Pump([&] { return shownProgress.size() >= 3; }));
    EXPECT_TRUE(EqualRect(&progress->GetPos(), &wide));
    EXPECT_TRUE(KeepScreenArea(AroundWindow(hwnd, 8), "uninstaller-removing"));

    ASSERT_TRUE(Pump([&] { return dialog->IsRemovalFinished(); }, 10000));
    watch = nullptr;
    for (const auto& [percent, text] : shownProgress)
        EXPECT_EQ(text, ProgressText(static_cast<int>(percent)));
    ASSERT_FALSE(shownProgress.empty());
    EXPECT_EQ(shownProgress.back().first, 100);

    // From 560 pixels back to 160 in ten ticks; the eleventh ends the animation.
    ASSERT_EQ(narrowing.size(), 11u);
    EXPECT_EQ(narrowing.front().barText, ProgressText(100));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(narrowing[i].bar.left, 22 + 20 * (i + 1)) << "tick " << i + 1;
    EXPECT_EQ(title->GetText(), L"卸载完成");
    EXPECT_EQ(button->GetText(), L"卸载完成");
    EXPECT_TRUE(button->IsVisible());
    EXPECT_FALSE(progress->IsVisible());
    Pump([] { return false; }, 200);
    EXPECT_TRUE(KeepScreenArea(AroundWindow(hwnd, 8), "uninstaller-finished"));

    // Left for the delayed command: the uninstaller itself and the names beginning with ".".
    EXPECT_EQ(Snapshot(root), (TreeSnapshot{{L".cache", "<folder>"},
                                            {L".cache\\state", "state"},
                                            {L"tamro", "<folder>"},
                                            {L"tamro\\uninstall.exe", "uninstaller"}}));
    EXPECT_TRUE(installed.HasShortcuts()) << "nothing else goes before the second click";

    ClickAt(CentreOf(button));
    ASSERT_TRUE(Pump([this] { return quitPosted; }));
    EXPECT_FALSE(installed.HasAnyShortcut());
    EXPECT_FALSE(installed.HasUninstallEntry());
    EXPECT_TRUE(installed.HasProductKeysAndLogonValue());
    EXPECT_TRUE(WaitUntilGone(root, kDelayedCommandWaitMs))
        << "the delayed command removes the rest";
    EXPECT_TRUE(Exists(root.parent_path())) << "and nothing above it";
}

TEST_F(UnInstallDialogTest, ClosingDuringTheRemovalStopsTheWorkerAndFinishesNothing) {
    Open(own, 400);
    bool finished = false;
    int progressShown = 0;
    watch = [&](const MSG& msg) {
        if (msg.message == uninstall::RemovalProgressMessage)
            ++progressShown;
        if (msg.message == uninstall::RemovalFinishedMessage)
            finished = true;
    };
    ClickAt(CentreOf(button));
    ASSERT_TRUE(Pump([&] { return progressShown > 0; }));
    ClickAt(CentreOf(Control(uninstall::kCloseButtonName)));
    ASSERT_TRUE(Pump([this] { return !IsWindow(hwnd); }));
    const DWORD closedAt = GetTickCount();
    removal.Wait();
    EXPECT_LT(GetTickCount() - closedAt, 1000u) << "the worker stops at the next folder";
    Pump([] { return false; }, 100);
    EXPECT_FALSE(finished);
    EXPECT_TRUE(quitPosted);
    EXPECT_TRUE(Exists(root));
    EXPECT_TRUE(Exists(own));
    int foldersLeft = 0;
    for (const wchar_t* folder :
         {L"tamro\\plugins", L"flash\\movies", L"flash", L"res\\skin", L"res"})
        foldersLeft += Exists(root / folder);
    EXPECT_GE(foldersLeft, 3) << "at most the folders done before the close are gone";
    EXPECT_TRUE(installed.HasShortcuts());
    EXPECT_TRUE(installed.HasUninstallEntry());
}

TEST_F(UnInstallDialogTest, RefusedRemovalSaysWhyAndItsButtonOnlyCloses) {
    const fs::path downloads = scratch.path() / L"Downloads";
    const fs::path stray = downloads / L"uninstall.exe";
    WriteFile(stray, "uninstaller");
    WriteFile(downloads / L"tamro.exe", "client");
    WriteFile(downloads / L"holiday" / L"photo.jpg", "jpeg");
    WriteFile(scratch.path() / L"thesis.doc", "years of work");
    const TreeSnapshot before = Snapshot(scratch.path());

    Open(stray, 0);
    EXPECT_EQ(dialog->Verdict().refusal, RemovalRefusal::NotInClientFolder);
    EXPECT_EQ(title->GetText(), uninstall::kRefusedNotInstalledText);
    EXPECT_EQ(button->GetText(), L"关闭");
    Pump([] { return false; }, 200);
    EXPECT_TRUE(KeepScreenArea(AroundWindow(hwnd, 8), "uninstaller-refused"));

    ClickAt(CentreOf(button));
    ASSERT_TRUE(Pump([this] { return !IsWindow(hwnd); }));
    EXPECT_FALSE(removal.IsStarted());
    EXPECT_EQ(Snapshot(scratch.path()), before);
    EXPECT_TRUE(installed.HasShortcuts());
    EXPECT_TRUE(installed.HasUninstallEntry());
}

// The shortcuts and the entry are gone by then, but the folder is not: that is said, not
// passed over by ending as if all were done.
TEST_F(UnInstallDialogTest, ADelayedCommandThatCannotStartIsShownOnTheTitle) {
    Open(own, 0);
    dialog->SetFinisher([](const std::wstring&, const std::wstring&) { return false; });
    ClickAt(CentreOf(button));
    ASSERT_TRUE(Pump([&] { return dialog->IsRemovalFinished(); }, 10000));
    Pump([] { return false; }, 200);
    ClickAt(CentreOf(button));
    const std::wstring expected = uninstall::kNotRemovedText + root.wstring();
    ASSERT_TRUE(Pump([&] { return title->GetText() == expected; }));
    EXPECT_EQ(button->GetText(), L"关闭");
    Pump([] { return false; }, 200);
    EXPECT_FALSE(quitPosted) << "the program does not end as if the folder were gone";
    EXPECT_TRUE(KeepScreenArea(AroundWindow(hwnd, 8), "uninstaller-not-removed"));

    ClickAt(CentreOf(button));
    ASSERT_TRUE(Pump([this] { return !IsWindow(hwnd); }));
    EXPECT_TRUE(quitPosted);
    EXPECT_TRUE(Exists(own));
}

} // namespace

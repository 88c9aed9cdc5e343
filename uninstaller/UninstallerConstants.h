#pragma once

#include <windows.h>

// The uninstaller's fixed values: its window, skin, texts, timers and messages. Names it shares
// with the installer live in installer/ProductNames.h (registry keys, shortcut names, the
// installed layout) and installer/SetupDialogNames.h (the window's style, the skin's resource,
// the product name line).

namespace uninstall {

// The window and its skin, read from the executable's own ZIPRES resource.
constexpr wchar_t kWindowClassName[] = L"KweeUnInstall";
constexpr wchar_t kWindowTitle[] = L"卸载程序";
constexpr wchar_t kSkinFileName[] = L"UnInstallDailog.xml";

// Controls of the skin.
constexpr wchar_t kProgressName[] = L"uninstallprogress";
constexpr wchar_t kStartButtonName[] = L"staruninstallbtn";
constexpr wchar_t kTitleName[] = L"titletext";
constexpr wchar_t kProductNameLabel[] = L"installname";
constexpr wchar_t kCloseButtonName[] = L"closebtn";

// Texts the dialog shows.
constexpr wchar_t kRemovingText[] = L"正在卸载";
constexpr wchar_t kFirstProgressText[] = L"已卸载1%...";
constexpr wchar_t kProgressFormat[] = L"已卸载%d%%";
constexpr wchar_t kFinishedText[] = L"卸载完成";
// Shown instead of the removal when the uninstaller is not where an installation put it.
constexpr wchar_t kRefusedNotInstalledText[] = L"无法卸载：本程序不在Tamro的安装文件夹中";
constexpr wchar_t kRefusedProtectedText[] = L"无法卸载：安装位置是系统或用户文件夹";
constexpr wchar_t kRefusedUncertainText[] = L"无法卸载：无法确定安装位置";
// Followed by the folder, when the command that removes it could not be started.
constexpr wchar_t kNotRemovedText[] = L"无法删除文件夹：";
constexpr wchar_t kCloseText[] = L"关闭";
// The refusal stands out from the usual pale title.
constexpr DWORD kRefusalTextColor = 0xFFD0453C;

// Timers of the bar animations, on the dialog's window.
constexpr UINT_PTR kWideningTimer = 2024;
constexpr UINT kWideningIntervalMs = 50;
constexpr UINT_PTR kNarrowingTimer = 2025;
constexpr UINT kNarrowingIntervalMs = 20;
// Pixels each edge of the bar moves per tick, in both animations.
constexpr int kAnimationStep = 20;
// The widening ends when the bar's left edge minus the step would fall below this.
constexpr int kWideningLeftLimit = 20;
// The narrowing ends at this width or less: the button's own width.
constexpr int kNarrowedWidth = 160;

// Posted by the removal worker to the dialog's window: WPARAM 0, LPARAM the percentage 0-100.
constexpr UINT RemovalProgressMessage = WM_USER + 2000;
// Posted by the worker after its last progress message, when the whole tree has been processed.
constexpr UINT RemovalFinishedMessage = WM_USER + 2001;

// Pause after each folder, which paces the progress bar.
constexpr DWORD kFolderPauseMs = 60;

} // namespace uninstall

#pragma once

#include <windows.h>

// What the installer's and the uninstaller's dialogs have in common: how their windows are made,
// where the framework finds their skins, the notifications they react to and the product name
// they show. Each program's own controls and texts are in its own header
// (installer/InstallDialogNames.h, uninstaller/UninstallerConstants.h).

namespace setupui {

// The native style both windows are created with; the framework removes the caption bits and
// adds clipping when it takes a window over.
constexpr DWORD kWindowStyle = 0x80B;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_STATICEDGE;

// Each program's skin package is the ZIPRES resource of this id in its own executable.
constexpr WORD kSkinResourceId = 132;
// The framework's resource folder: the executable's folder followed by this.
constexpr wchar_t kResourceFolderSuffix[] = L"..";

// Notifications of the framework the dialogs react to.
constexpr wchar_t kWindowInit[] = L"windowinit";
constexpr wchar_t kClick[] = L"click";

// The product name line, formatted with the client's display name.
constexpr wchar_t kProductNameFormat[] = L"%ls多人视频";

} // namespace setupui

#pragma once

#include <string>

// The uninstaller without a window, for administrators (the uninstall entry's
// QuietUninstallString):
//
//   uninstall.exe /S
//
// It runs the dialog's checks first; a refusal removes nothing. Otherwise it removes the
// installed tree, the shortcuts and the uninstall entry, starts the delayed removal of what is
// left (itself included) and ends without waiting for it.

// Exit codes of a silent uninstall.
// The delayed removal of the install folder has been started.
constexpr int kSilentUninstalled = 0;
// The checks refused: not an installation of the client, or a folder that must not be removed.
// Nothing removed.
constexpr int kSilentUninstallRefused = 3;
// The removal could not start. Nothing removed.
constexpr int kSilentRemovalNotStarted = 4;
// The tree, the shortcuts and the entry are removed, but the delayed removal of the rest (the
// uninstaller's own folder) could not be started.
constexpr int kSilentDelayedRemovalFailed = 5;

// True when one of the program's arguments is /S (in any case). Other arguments are ignored,
// as the dialog ignores them.
bool IsSilentUninstall(const wchar_t* commandLine);

// Runs the silent uninstall of the uninstaller at `ownPath`; returns its exit code.
int RunSilentUninstall(const std::wstring& ownPath);

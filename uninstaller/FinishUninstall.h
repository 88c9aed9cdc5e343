#pragma once

#include "installer/Shortcuts.h"

#include <string>

// The end of an uninstall, after the user's second click: this installation's shortcuts and
// uninstall entry go, and a hidden command removes what is left of the install folder, the
// uninstaller included, once the uninstaller has ended. A copy run from elsewhere leaves
// another installation's traces alone. The product keys and the logon value stay.

// Whether the shell link file at `link` points to something inside `root` (compared as given
// and with short names expanded). False when the file cannot be read.
bool ShortcutTargetsInside(const std::wstring& link, const std::wstring& root);

// <desktop>\Tamro.lnk, when it points inside `root`.
void RemoveDesktopShortcut(const ShortcutInfo& info, const std::wstring& root);

// <all-users Programs>\Tamro\Tamro.lnk when it points inside `root`, then the Tamro folder
// when it is empty.
void RemoveProgramsShortcut(const ShortcutInfo& info, const std::wstring& root);

// HKLM\...\Uninstall\tamro, when its UninstallString names the uninstaller at `ownPath`. An
// entry name that is empty or holds a backslash removes nothing, so the Uninstall key itself is
// never touched.
void RemoveUninstallEntry(const ShortcutInfo& info, const std::wstring& ownPath);

// Starts <system folder>\cmd.exe hidden with the delayed removal of `root`
// (ComposeDelayedRemoval) and does not wait for it. False, starting nothing, when the command
// cannot be composed or started.
bool LaunchDelayedRemoval(const std::wstring& root);

// The three removals, then LaunchDelayedRemoval(root); its result.
bool FinishUninstall(const std::wstring& root, const std::wstring& ownPath);

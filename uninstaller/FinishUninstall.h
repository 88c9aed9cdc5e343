#pragma once

#include "installer/Shortcuts.h"

#include <string>

// The end of an uninstall, after the user's second click: the shortcuts and the uninstall
// entry go, and a hidden command removes what is left of the install folder, the uninstaller
// included, once the uninstaller has ended. Failures are silent; the product keys and the
// logon value stay.

// <desktop>\Tamro.lnk.
void RemoveDesktopShortcut(const ShortcutInfo& info);

// <all-users Programs>\Tamro\Tamro.lnk, then the Tamro folder when it is empty.
void RemoveProgramsShortcut(const ShortcutInfo& info);

// HKLM\...\Uninstall\tamro. An entry name that is empty or holds a backslash removes nothing,
// so the Uninstall key itself is never touched.
void RemoveUninstallEntry(const ShortcutInfo& info);

// Starts cmd.exe hidden with the delayed removal of `root` (ComposeDelayedRemoval) and does
// not wait for it. False, starting nothing, when the command cannot be composed or started.
bool LaunchDelayedRemoval(const std::wstring& root);

// The three removals, then LaunchDelayedRemoval(root); its result.
bool FinishUninstall(const std::wstring& root);

#pragma once

#include "installer/ProductNames.h"

#include <string>

// The client's two shortcuts (desktop, and a "Tamro" folder in the all-users Programs menu) and
// the special-folder lookup that the installer and the uninstaller share. Nothing here shows a
// message; every failure is a false or empty result.

// What the shortcuts and the uninstall entry are made from. The uninstaller leaves the target
// empty: it only needs the names to find what the installer created.
struct ShortcutInfo {
    std::wstring target;
    std::wstring displayName{product::kDisplayName};
    std::wstring entryName{product::kEntryName};
};

// File system path of a shell special folder (a CSIDL value such as product::kDesktopFolder) in
// the ANSI code page, as the shell reports it in at most MAX_PATH bytes; callers widen it with
// AnsiToWide. Program Files comes with one trailing backslash, the others without. Empty when
// the shell does not know the folder.
std::string SpecialFolderPath(int csidl);

// Where the shortcuts lie: <desktop>\<display name>.lnk, and the Programs sub folder
// <all-users Programs>\<display name> that holds <display name>.lnk. Empty when the shell does
// not know the special folder. The installer makes them there, and the uninstaller and a failed
// silent install take them away from there.
std::wstring ShortcutFileName(const ShortcutInfo& info);
std::wstring DesktopShortcutPath(const ShortcutInfo& info);
std::wstring ProgramsShortcutFolder(const ShortcutInfo& info);

// Writes the shortcut file <folder>\<fileName> (fileName null or empty gives "unknown.lnk")
// pointing to target (null or empty: no target), with the given description, the normal show
// command and nothing else. Initialises COM on the calling thread for the duration of the call.
// Returns false, writing nothing, when folder is null or empty or the composed path exceeds
// MAX_PATH - 1 characters; otherwise returns whether the shell saved the file.
bool CreateShellLink(const wchar_t* target, const wchar_t* folder, const wchar_t* fileName,
                     const wchar_t* description);

// <desktop>\<display name>.lnk. False when the desktop folder is unknown or the display name is
// not a plain file name.
bool CreateDesktopShortcut(const ShortcutInfo& info);

// <all-users Programs>\<display name>\<display name>.lnk; the sub folder is created when
// missing and reused when present. False, writing nothing, when the sub folder is not a folder
// afterwards or the display name is not a plain file name.
bool CreateProgramsShortcut(const ShortcutInfo& info);

#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Path texts of the removal: where the removal root lies, how paths compare, and the command
// that deletes what is left. Pure text work, so every rule can be tested without touching a
// file.

// A path read through a call of the GetSystemDirectoryW kind, getter(buffer, size) giving the
// length, asked for the size first; empty on failure.
template <typename Getter> std::wstring PathFromGetter(Getter getter) {
    const UINT size = getter(nullptr, 0);
    if (size == 0)
        return {};
    std::wstring path(size, L'\0');
    const UINT length = getter(path.data(), size);
    if (length == 0 || length >= size)
        return {};
    path.resize(length);
    return path;
}

// The folder that holds `path`, without a trailing backslash ("C:\a\b.exe" gives "C:\a").
// Empty when the path has no backslash.
std::wstring ParentFolder(const std::wstring& path);

// The last component of `path` ("C:\a\tamro" gives "tamro").
std::wstring LastComponent(const std::wstring& path);

// The removal root: the parent of the folder holding the uninstaller, so
// "D:\A\Tolma\Orvia\tamro\tamro\uninstall.exe" gives "D:\A\Tolma\Orvia\tamro". Empty when the
// path has fewer than two backslashes.
std::wstring RemovalRootOf(const std::wstring& ownPath);

// Whether two paths name the same text without regard to case, the way the file system
// compares names.
bool SamePath(const std::wstring& a, const std::wstring& b);

// `path` in the one form used for comparisons: a "\\?\" or "\\?\UNC\" prefix taken off
// ("\\?\UNC\srv\share" becomes "\\srv\share") and trailing backslashes removed.
std::wstring ComparablePath(const std::wstring& path);

// True for anything that is not a folder below a volume or a share: a drive root ("C:",
// "C:\"), a share root ("\\server\share"), a bare server or device ("\\?\Volume{...}\"), and a
// path that is neither on a drive nor on a share (relative or empty).
bool IsVolumeOrShareRoot(const std::wstring& folder);

// Whether `folder` is `other` or one of its ancestors (compared as ComparablePath forms).
bool IsSameOrAbove(const std::wstring& folder, const std::wstring& other);

// How many components `path` lies below `folder` (0 when they are the same); -1 when it is not
// inside it.
int DepthBelow(const std::wstring& path, const std::wstring& folder);

// A path through the device namespace ("\\.\...", "\\?\GLOBALROOT\...",
// "\\?\Volume{...}\...", "\??\..."): neither a drive path nor a share path, with or without
// the "\\?\" prefix.
bool IsDevicePath(const std::wstring& path);

// Whether a component of `path` ends in a blank or a dot. Win32 strips those when it
// normalises a path, so the same text could name one folder to the removal and another to cmd.
bool HasStrippedComponent(const std::wstring& path);

// `path` in the "\\?\" form, which is handed to the file system as it is: no component is
// stripped, no "." or ".." resolved ("C:\a" gives "\\?\C:\a", "\\srv\s\a" gives
// "\\?\UNC\srv\s\a"). Empty for a path on neither a drive nor a share.
std::wstring LiteralPath(const std::wstring& path);

// The program path an uninstall command names: the text between the quotes when it starts
// with one, else the whole text; surrounding blanks are ignored.
std::wstring UninstallCommandPath(const std::wstring& command);

// The parameters given to cmd.exe that, after a pause of about two seconds, delete the root
// and everything below it:
//   /C ping 127.0.0.1 -n 3 > nul & rmdir /s/q "<root>" (with a blank at the end)
// where <root> is the LiteralPath of the root, so that cmd cannot canonicalise it into a
// neighbouring folder.
// cmd expands %name% and, where the user enabled it, !name! even inside quotes, so a root
// holding "%" or "!" is not written into the command: it is handed over in the environment
// variable kRemovalRootVariable instead, whose value is expanded once and never again, with
// delayed expansion turned off ("/V:OFF " before "/C").
struct DelayedRemovalCommand {
    std::wstring parameters;
    // The root as the command names it (its LiteralPath); the variable's value when
    // rootInEnvironment.
    std::wstring root;
    bool rootInEnvironment{false};
};
constexpr wchar_t kRemovalRootVariable[] = L"ORVIA_REMOVAL_ROOT";

// Nothing when the root is no folder below a volume or share (IsVolumeOrShareRoot), a device
// path, has a component ending in a blank or a dot, holds "." or ".." components, cannot be
// quoted safely (a quote or a control character in it) or the command would be longer than
// cmd reads: it is never started cut short.
std::optional<DelayedRemovalCommand> ComposeDelayedRemoval(const std::wstring& root);

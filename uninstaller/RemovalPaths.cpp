#include "uninstaller/RemovalPaths.h"
#include "win32/PathSeparator.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";
constexpr wchar_t kUncPrefix[] = L"\\\\";

constexpr wchar_t kRemovalPrefix[] = L"/C ping 127.0.0.1 -n 3 > nul & rmdir /s/q \"";
constexpr wchar_t kRemovalSuffix[] = L"\" ";
// Turns delayed expansion off for the one command, in case the user turned it on for all.
constexpr wchar_t kNoDelayedExpansion[] = L"/V:OFF ";
// The longest command cmd.exe accepts; a longer one would be cut off or refused.
constexpr std::size_t kMaxCommandLength = 8191;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    const std::size_t length = wcslen(prefix);
    return text.size() >= length &&
           CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                                static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

bool IsDriveLetterColon(const std::wstring& text) {
    return text.size() >= 2 && text[1] == L':' &&
           ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z'));
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

constexpr wchar_t kDevicePrefix[] = L"\\\\.\\";
constexpr wchar_t kObjectPrefix[] = L"\\??\\";

} // namespace

std::wstring ParentFolder(const std::wstring& path) {
    const std::size_t last = path.rfind(win32::kPathSeparator);
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last);
}

std::wstring LastComponent(const std::wstring& path) {
    const std::size_t last = path.rfind(win32::kPathSeparator);
    return last == std::wstring::npos ? path : path.substr(last + 1);
}

std::wstring RemovalRootOf(const std::wstring& ownPath) {
    const std::wstring ownFolder = ParentFolder(ownPath);
    if (ownFolder.empty())
        return {};
    return ParentFolder(ownFolder);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ComparablePath(const std::wstring& path) {
    std::wstring result;
    if (StartsWith(path, kLongUncPrefix))
        result = kUncPrefix + path.substr(wcslen(kLongUncPrefix));
    else if (StartsWith(path, kLongPrefix))
        result = path.substr(wcslen(kLongPrefix));
    else
        result = path;
    while (!result.empty() && result.back() == win32::kPathSeparator)
        result.pop_back();
    return result;
}

bool IsVolumeOrShareRoot(const std::wstring& folder) {
    const bool device = StartsWith(folder, kLongPrefix) && !StartsWith(folder, kLongUncPrefix);
    const std::wstring path = ComparablePath(folder);
    if (IsDriveLetterColon(path))
        return path.size() == 2 ||
               path.find_first_not_of(win32::kPathSeparator, 2) == std::wstring::npos;
    if (device) {
        // A volume or device name ("Volume{...}", "GLOBALROOT"): its first component is the
        // root itself.
        return path.find(win32::kPathSeparator) == std::wstring::npos;
    }
    if (!StartsWith(path, kUncPrefix))
        return true;
    // "\\server\share\folder" has at least two separators after the leading pair.
    const std::size_t serverEnd = path.find(win32::kPathSeparator, 2);
    if (serverEnd == std::wstring::npos)
        return true;
    return path.find(win32::kPathSeparator, serverEnd + 1) == std::wstring::npos;
}

bool IsSameOrAbove(const std::wstring& folder, const std::wstring& other) {
    const std::wstring above = ComparablePath(folder);
    const std::wstring below = ComparablePath(other);
    if (above.empty() || below.empty() || below.size() < above.size())
        return false;
    if (!SamePath(above, below.substr(0, above.size())))
        return false;
    return below.size() == above.size() || below[above.size()] == win32::kPathSeparator;
}

int DepthBelow(const std::wstring& path, const std::wstring& folder) {
    if (!IsSameOrAbove(folder, path))
        return -1;
    const std::wstring above = ComparablePath(folder);
    const std::wstring below = ComparablePath(path);
    return static_cast<int>(std::count(below.begin() + static_cast<std::ptrdiff_t>(above.size()),
                                       below.end(), win32::kPathSeparator));
}

bool IsDevicePath(const std::wstring& path) {
    if (StartsWith(path, kDevicePrefix) || StartsWith(path, kObjectPrefix))
        return true;
    if (!StartsWith(path, kLongPrefix) || StartsWith(path, kLongUncPrefix))
        return false;
    const std::wstring rest = path.substr(wcslen(kLongPrefix));
    return !IsDriveLetterColon(rest) || (rest.size() > 2 && rest[2] != win32::kPathSeparator);
}

bool HasStrippedComponent(const std::wstring& path) {
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find(win32::kPathSeparator, begin);
        if (end == std::wstring::npos)
            end = path.size();
        if (end > begin && (path[end - 1] == L' ' || path[end - 1] == L'.'))
            return true;
        begin = end + 1;
    }
    return false;
}

std::wstring LiteralPath(const std::wstring& path) {
    if (IsDevicePath(path))
        return {};
    const std::wstring comparable = ComparablePath(path);
    if (IsDriveLetterColon(comparable) && comparable.size() > 2 &&
        comparable[2] == win32::kPathSeparator)
        return kLongPrefix + comparable;
    if (StartsWith(comparable, kUncPrefix) && comparable.size() > 2 &&
        comparable[2] != win32::kPathSeparator)
        return kLongUncPrefix + comparable.substr(wcslen(kUncPrefix));
    return {};
}

std::wstring UninstallCommandPath(const std::wstring& command) {
    std::size_t begin = 0;
    while (begin < command.size() && IsBlank(command[begin]))
        ++begin;
    if (begin < command.size() && command[begin] == L'"') {
        const std::size_t close = command.find(L'"', begin + 1);
        if (close == std::wstring::npos)
            return {};
        return command.substr(begin + 1, close - begin - 1);
    }
    std::size_t end = command.size();
    while (end > begin && IsBlank(command[end - 1]))
        --end;
    return command.substr(begin, end - begin);
}

std::optional<DelayedRemovalCommand> ComposeDelayedRemoval(const std::wstring& root) {
    if (IsVolumeOrShareRoot(root) || IsDevicePath(root) || HasStrippedComponent(root))
        return std::nullopt;
    // "\\?\" hands the text to the file system unchanged, so "/" would be no separator there.
    const bool unquotable = std::any_of(
        root.begin(), root.end(), [](wchar_t c) { return c == L'"' || c == L'/' || c < L' '; });
    if (unquotable)
        return std::nullopt;
    DelayedRemovalCommand command;
    command.root = LiteralPath(root);
    if (command.root.empty())
        return std::nullopt;
    command.rootInEnvironment = root.find_first_of(L"%!") != std::wstring::npos;
    const std::wstring quoted =
        command.rootInEnvironment ? std::wstring(L"%") + kRemovalRootVariable + L"%" : command.root;
    command.parameters = command.rootInEnvironment ? kNoDelayedExpansion : L"";
    command.parameters += kRemovalPrefix + quoted + kRemovalSuffix;
    if (command.parameters.size() > kMaxCommandLength)
        return std::nullopt;
    return command;
}

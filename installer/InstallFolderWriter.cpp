#include "installer/InstallFolderWriter.h"

#include "win32/FinalPath.h"
#include "win32/PathSeparator.h"

#include <windows.h>

#include <vector>

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";
constexpr wchar_t kUncPrefix[] = L"\\\\";

// A folder held while something is made in it: others may read and write it, but not delete
// or rename it. A handle with attribute access only would not count in that check, hence the
// right to list it.
constexpr DWORD kHeldFolderAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kHeldFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The final path without the "\\?\" (or "\\?\UNC\") prefix GetFinalPathNameByHandleW adds.
std::wstring FinalPath(HANDLE handle) {
    std::wstring path = win32::FinalPathOf(handle);
    if (path.compare(0, wcslen(kLongUncPrefix), kLongUncPrefix) == 0)
        path = kUncPrefix + path.substr(wcslen(kLongUncPrefix));
    else if (path.compare(0, wcslen(kLongPrefix), kLongPrefix) == 0)
        path = path.substr(wcslen(kLongPrefix));
    while (!path.empty() && path.back() == win32::kPathSeparator)
        path.pop_back();
    return path;
}

// The components of a relative name; empty parts are dropped. False for "." or "..".
bool SplitRelative(const std::wstring& relative, std::vector<std::wstring>& parts) {
    std::size_t begin = 0;
    while (begin <= relative.size()) {
        std::size_t end = begin;
        while (end < relative.size() && !win32::IsPathSeparator(relative[end]))
            ++end;
        const std::wstring part = relative.substr(begin, end - begin);
        if (part == L"." || part == L"..")
            return false;
        if (!part.empty())
            parts.push_back(part);
        begin = end + 1;
    }
    return true;
}

// Whether the open handle is the very thing `expected` names: no link, and its final path
// that name. A link opened as a link, or followed where the system ignores the request not
// to, both fail.
bool IsAtItsPlace(HANDLE handle, const std::wstring& expected, bool folder) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder)
        return false;
    return SameText(FinalPath(handle), expected);
}

// The folders of `parts`, made where missing and checked, each held open until the caller is
// done in the last one.
class HeldChain {
public:
    HeldChain(const std::wstring& folder, const std::wstring& finalFolder)
        : m_path(folder), m_finalPath(finalFolder) {}

    bool Enter(const std::wstring& part) {
        m_path += win32::kPathSeparator + part;
        m_finalPath += win32::kPathSeparator + part;
        // Fails harmlessly when the name exists, whatever it is: nothing is made through it.
        CreateDirectoryW(m_path.c_str(), nullptr);
        win32::UniqueFileHandle folder(
            CreateFileW(m_path.c_str(), kHeldFolderAccess, kHeldFolderShare, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!folder || !IsAtItsPlace(folder.get(), m_finalPath, true))
            return false;
        m_held.push_back(std::move(folder));
        return true;
    }

    const std::wstring& Path() const { return m_path; }
    const std::wstring& FinalPath() const { return m_finalPath; }

private:
    std::wstring m_path;
    std::wstring m_finalPath;
    std::vector<win32::UniqueFileHandle> m_held;
};

} // namespace

bool InstallFolderWriter::Open(const std::wstring& installFolder) {
    m_folder = installFolder;
    while (m_folder.size() > 1 && win32::IsPathSeparator(m_folder.back()))
        m_folder.pop_back();
    m_handle.reset(::CreateFileW(m_folder.c_str(), kHeldFolderAccess, kHeldFolderShare, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!m_handle || !GetFileInformationByHandle(m_handle.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_handle.reset();
        return false;
    }
    m_finalFolder = FinalPath(m_handle.get());
    if (m_finalFolder.empty())
        m_handle.reset();
    return static_cast<bool>(m_handle);
}

bool InstallFolderWriter::MakeFolders(const std::wstring& relative) const {
    std::vector<std::wstring> parts;
    if (!m_handle || !SplitRelative(relative, parts))
        return false;
    HeldChain chain(m_folder, m_finalFolder);
    for (const std::wstring& part : parts)
        if (!chain.Enter(part))
            return false;
    return true;
}

win32::UniqueFileHandle InstallFolderWriter::MakeFile(const std::wstring& relative) const {
    std::vector<std::wstring> parts;
    if (!m_handle || !SplitRelative(relative, parts) || parts.empty())
        return {};
    const std::wstring name = parts.back();
    parts.pop_back();
    HeldChain chain(m_folder, m_finalFolder);
    for (const std::wstring& part : parts)
        if (!chain.Enter(part))
            return {};
    // Opened, not replaced: emptying an existing file waits until it is shown to be no link.
    const std::wstring path = chain.Path() + win32::kPathSeparator + name;
    win32::UniqueFileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file || !IsAtItsPlace(file.get(), chain.FinalPath() + win32::kPathSeparator + name, false))
        return {};
    if (!SetEndOfFile(file.get()))
        return {};
    return file;
}

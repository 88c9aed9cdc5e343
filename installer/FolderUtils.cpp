#include "installer/FolderUtils.h"

#include "win32/UniqueHandle.h"
#include "win32/PathSeparator.h"

#include <direct.h>
#include <windows.h>

#include <vector>

namespace {

constexpr char kAnsiSeparator = '\\';
constexpr wchar_t kAllEntriesPattern[] = L"*.*";

} // namespace

void MakeFolderChainAnsi(const std::string& path) {
    if (path.empty() || path.size() > kMaxAnsiPathLength)
        return;
    // Walk by characters, not bytes: in code page 936 the trail byte of a double-byte
    // character may be 0x5C, which is not a separator.
    std::size_t afterLastSeparator = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(path[i]);
        if (IsDBCSLeadByte(byte) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == kAnsiSeparator) {
            _mkdir(path.substr(0, i + 1).c_str());
            afterLastSeparator = i + 1;
        }
    }
    if (afterLastSeparator < path.size())
        _mkdir(path.c_str());
}

std::string TempFolderPath(const std::string& name) {
    char tempFolder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, tempFolder);
    if (length == 0 || length > kMaxAnsiPathLength)
        return std::string();
    std::string result = std::string(tempFolder, length) + name;
    if (result.size() > kMaxAnsiPathLength)
        return std::string();
    MakeFolderChainAnsi(result);
    return result;
}

int WriteWholeFile(const std::wstring& path, const void* data, std::size_t size) {
    win32::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 1;
    DWORD written = 0;
    const DWORD count = static_cast<DWORD>(size);
    if (count != size || !WriteFile(file.get(), data, count, &written, nullptr))
        return 1;
    return written == size ? 0 : 1;
}

bool FolderExists(const std::wstring& path) {
    // An empty path would search the root of the current drive and report it as existing.
    if (path.empty())
        return false;
    std::wstring pattern = path;
    if (pattern.back() != win32::kPathSeparator)
        pattern += win32::kPathSeparator;
    pattern += kAllEntriesPattern;

    WIN32_FIND_DATAW entry{};
    win32::UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &entry));
    if (!search)
        return false;
    return (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE)) != 0;
}

bool MakeFolderChain(const std::wstring& path) {
    if (path.size() > kMaxPathLength)
        return false;
    std::wstring chain = path;
    if (chain.empty() || chain.back() != win32::kPathSeparator)
        chain += win32::kPathSeparator;

    std::vector<std::wstring> prefixes;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        if (chain[i] == win32::kPathSeparator)
            prefixes.push_back(chain.substr(0, i));
    }
    if (prefixes.empty())
        return false;

    bool createdLast = false;
    for (const std::wstring& prefix : prefixes)
        createdLast = CreateDirectoryW(prefix.c_str(), nullptr) != FALSE;
    return createdLast;
}

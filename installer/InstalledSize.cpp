#include "installer/InstalledSize.h"

#include "win32/PathSeparator.h"
#include "win32/UniqueHandle.h"

#include <limits>

namespace {

bool IsDotName(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace

std::uint64_t TreeBytes(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    win32::UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!find)
        return 0;
    std::uint64_t total = 0;
    do {
        if (IsDotName(entry.cFileName) || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            total += TreeBytes(folder + win32::kPathSeparator + entry.cFileName);
        else
            total += (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    } while (FindNextFileW(find.get(), &entry));
    return total;
}

DWORD KilobytesFor(std::uint64_t bytes) {
    constexpr std::uint64_t kKilobyte = 1024;
    const std::uint64_t kilobytes = bytes / kKilobyte + (bytes % kKilobyte != 0 ? 1 : 0);
    return kilobytes > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max()
                                                         : static_cast<DWORD>(kilobytes);
}

#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// The path the file system gives an open handle, links resolved, as GetFinalPathNameByHandleW
// writes it (with its "\\?\" prefix); empty on failure.
inline std::wstring FinalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length == 0)
            return {};
        const bool fitted = length < path.size();
        path.resize(length);
        if (fitted)
            return path;
    }
}

} // namespace win32

#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// The full path of a module's file (the executable's for null), however long; empty on
// failure. GetModuleFileNameW cuts a name that does not fit and says so only by filling the
// buffer, so the buffer grows until the name fits.
inline std::wstring ModuleFileName(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace win32

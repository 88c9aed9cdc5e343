#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// The value of an environment variable of this process; empty when it is unset or empty, or
// when it changed between asking for its size and reading it.
inline std::wstring EnvironmentVariable(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length == 0 || length >= size)
        return {};
    value.resize(length);
    return value;
}

} // namespace win32

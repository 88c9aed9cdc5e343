#pragma once

namespace win32 {

// What the programs put between the components of the paths they compose.
constexpr wchar_t kPathSeparator = L'\\';

// What Windows takes as a separator in the paths it is given: both slashes.
constexpr bool IsPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

} // namespace win32

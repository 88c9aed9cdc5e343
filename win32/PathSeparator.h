#pragma once

namespace win32 {

// What the programs put between the components of the paths they compose.
constexpr wchar_t kPathSeparator = L'\\';

} // namespace win32

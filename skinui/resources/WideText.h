#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace skinui::resources {

// The framework's one place for converting text between its forms. The markup keeps UTF-16 in
// char16_t, Windows code UTF-16 in wchar_t (the same units there); byte-string interfaces such as
// zip item names use the system ANSI code page (936 on the systems the package is made for).

inline std::u16string ToU16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// Null reads as empty.
inline std::wstring ToWide(const char16_t* text) {
    return text ? ToWide(std::u16string_view(text)) : std::wstring();
}

#ifdef _WIN32
// Bytes in the ANSI code page to UTF-16; empty when they cannot be converted.
std::u16string AnsiToU16(const std::uint8_t* data, std::size_t size);
// UTF-16 to the ANSI code page; characters it lacks become its default character. Empty when
// the text cannot be converted.
std::string WideToAnsi(std::wstring_view text);
#endif

} // namespace skinui::resources

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace skinui::markup {

// UTF-8 to UTF-16; invalid or truncated sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::uint8_t* data, std::size_t size);
// UTF-16 with a byte-order mark (dropped; big-endian swapped). False without a mark.
bool Utf16BytesToString(const std::uint8_t* data, std::size_t size, std::u16string& text);

} // namespace skinui::markup

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skinui::markup {

// The attribute value syntaxes shared by every control and by the Window element. Every parser
// accepts any input: missing parts read as 0, numbers out of range saturate.

struct MarkupRect {
    int left{0}, top{0}, right{0}, bottom{0};
};

struct MarkupSize {
    int cx{0}, cy{0};
};

// Optional leading whitespace, optional "#", hexadecimal 0xAARRGGBB.
std::uint32_t ParseColor(std::u16string_view text);
// Four integers l,t,r,b, each separator exactly one character.
MarkupRect ParseRect(std::u16string_view text);
// Two integers cx,cy (also used for points); anything after the second is ignored.
MarkupSize ParseSize(std::u16string_view text);
// Exactly "true" is true.
bool ParseBool(std::u16string_view text);
// Optional whitespace and sign, then decimal digits; trailing characters ignored; no digits is 0.
int ParseInt(std::u16string_view text);

// name="value" pairs separated by one space; stops silently at the first malformed pair.
std::vector<std::pair<std::u16string, std::u16string>> ParseAttributeList(std::u16string_view text);

} // namespace skinui::markup

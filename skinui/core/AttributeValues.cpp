#include "skinui/core/AttributeValues.h"

#include "skinui/markup/ValueSyntax.h"
#include "skinui/resources/WideText.h"

namespace skinui {

using resources::ToU16;
using resources::ToWide;

DWORD ParseColorValue(const std::wstring& value) {
    return markup::ParseColor(ToU16(value));
}

RECT ParseRectValue(const std::wstring& value) {
    const markup::MarkupRect rc = markup::ParseRect(ToU16(value));
    return RECT{rc.left, rc.top, rc.right, rc.bottom};
}

SIZE ParseSizeValue(const std::wstring& value) {
    const markup::MarkupSize size = markup::ParseSize(ToU16(value));
    return SIZE{size.cx, size.cy};
}

bool ParseBoolValue(const std::wstring& value) {
    return value == L"true";
}

int ParseIntValue(const std::wstring& value) {
    return markup::ParseInt(ToU16(value));
}

std::vector<std::pair<std::wstring, std::wstring>>
ParseAttributeListValue(const std::wstring& list) {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    for (const auto& [name, value] : markup::ParseAttributeList(ToU16(list)))
        pairs.emplace_back(ToWide(name), ToWide(value));
    return pairs;
}

} // namespace skinui

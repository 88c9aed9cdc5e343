#include "skinui/core/AttributeValues.h"

#include "skinui/markup/ValueSyntax.h"

namespace skinui {
namespace {

// Controls keep wide strings; the shared value syntaxes read UTF-16 views of a copy.
std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

DWORD ParseColorValue(const std::wstring& value) {
    return markup::ParseColor(U16(value));
}

RECT ParseRectValue(const std::wstring& value) {
    const markup::MarkupRect rc = markup::ParseRect(U16(value));
    return RECT{rc.left, rc.top, rc.right, rc.bottom};
}

SIZE ParseSizeValue(const std::wstring& value) {
    const markup::MarkupSize size = markup::ParseSize(U16(value));
    return SIZE{size.cx, size.cy};
}

bool ParseBoolValue(const std::wstring& value) {
    return value == L"true";
}

int ParseIntValue(const std::wstring& value) {
    return markup::ParseInt(U16(value));
}

std::vector<std::pair<std::wstring, std::wstring>>
ParseAttributeListValue(const std::wstring& list) {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    for (const auto& [name, value] : markup::ParseAttributeList(U16(list)))
        pairs.emplace_back(Wide(name), Wide(value));
    return pairs;
}

} // namespace skinui

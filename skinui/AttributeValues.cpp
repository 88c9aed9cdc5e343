#include "AttributeValues.h"

#include <cwchar>

namespace skinui {
namespace {

// Reads an optionally signed decimal integer at *pos, advancing past it; no digits gives 0.
long ReadInt(const std::wstring& text, size_t& pos) {
    while (pos < text.size() && text[pos] <= L' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'-' || text[pos] == L'+'))
        negative = text[pos++] == L'-';
    long long value = 0;
    while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
        if (value < 0x7FFFFFFF)
            value = value * 10 + (text[pos] - L'0');
        ++pos;
    }
    if (value > 0x7FFFFFFF)
        value = 0x7FFFFFFF;
    return static_cast<long>(negative ? -value : value);
}

} // namespace

DWORD ParseColorValue(const std::wstring& value) {
    size_t pos = 0;
    while (pos < value.size() && value[pos] <= L' ')
        ++pos;
    if (pos < value.size() && value[pos] == L'#')
        ++pos;
    DWORD color = 0;
    for (; pos < value.size(); ++pos) {
        const wchar_t c = value[pos];
        int digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            break;
        color = (color << 4) | static_cast<DWORD>(digit);
    }
    return color;
}

RECT ParseRectValue(const std::wstring& value) {
    long parts[4] = {};
    size_t pos = 0;
    for (int i = 0; i < 4 && pos <= value.size(); ++i) {
        parts[i] = ReadInt(value, pos);
        ++pos; // exactly one separator character
    }
    return RECT{parts[0], parts[1], parts[2], parts[3]};
}

SIZE ParseSizeValue(const std::wstring& value) {
    size_t pos = 0;
    const long cx = ReadInt(value, pos);
    ++pos;
    const long cy = pos <= value.size() ? ReadInt(value, pos) : 0;
    return SIZE{cx, cy};
}

bool ParseBoolValue(const std::wstring& value) {
    return value == L"true";
}

int ParseIntValue(const std::wstring& value) {
    size_t pos = 0;
    return static_cast<int>(ReadInt(value, pos));
}

std::vector<std::pair<std::wstring, std::wstring>>
ParseAttributeListValue(const std::wstring& list) {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    size_t pos = 0;
    while (pos < list.size()) {
        const size_t equals = list.find(L'=', pos);
        if (equals == std::wstring::npos || equals + 1 >= list.size() || list[equals + 1] != L'"')
            break;
        const size_t close = list.find(L'"', equals + 2);
        if (close == std::wstring::npos)
            break;
        pairs.emplace_back(list.substr(pos, equals - pos),
                           list.substr(equals + 2, close - equals - 2));
        pos = close + 1;
        if (pos >= list.size())
            break;
        if (list[pos] != L' ')
            break;
        ++pos;
    }
    return pairs;
}

} // namespace skinui

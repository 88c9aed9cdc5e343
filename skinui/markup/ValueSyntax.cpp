#include "skinui/markup/ValueSyntax.h"

#include <climits>

namespace skinui::markup {

namespace {

bool IsSpace(char16_t c) {
    // The C runtime's whitespace set, as strtol skips it.
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// strtol over a view: reads from `pos`, leaves `pos` after the last character used (unchanged
// when there are no digits) and saturates instead of overflowing.
int ReadInt(std::u16string_view text, std::size_t& pos) {
    std::size_t i = pos;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= text.size() || text[i] < u'0' || text[i] > u'9')
        return 0;
    long long value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (text[i] - u'0');
        ++i;
    }
    pos = i;
    if (negative)
        return value > static_cast<long long>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Reads `count` integers, each after the first skipping exactly one separator character.
// Missing numbers stay 0: a short value never reads past its end.
template <std::size_t N> void ReadInts(std::u16string_view text, int (&values)[N]) {
    std::size_t pos = 0;
    for (std::size_t n = 0; n < N; ++n) {
        if (n > 0) {
            if (pos >= text.size())
                return;
            ++pos;
        }
        values[n] = ReadInt(text, pos);
    }
}

} // namespace

std::uint32_t ParseColor(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && text[i] == u'#')
        ++i;
    std::uint64_t value = 0;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
        value = value * 16 + static_cast<std::uint64_t>(HexDigit(text[i]));
        if (value > 0xFFFFFFFFu)
            return 0xFFFFFFFFu;
    }
    return static_cast<std::uint32_t>(value);
}

MarkupRect ParseRect(std::u16string_view text) {
    int values[4] = {};
    ReadInts(text, values);
    return MarkupRect{values[0], values[1], values[2], values[3]};
}

MarkupSize ParseSize(std::u16string_view text) {
    int values[2] = {};
    ReadInts(text, values);
    return MarkupSize{values[0], values[1]};
}

bool ParseBool(std::u16string_view text) {
    return text == u"true";
}

int ParseInt(std::u16string_view text) {
    std::size_t pos = 0;
    return ReadInt(text, pos);
}

std::vector<std::pair<std::u16string, std::u16string>>
ParseAttributeList(std::u16string_view text) {
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t equals = text.find(u'=', pos);
        if (equals == std::u16string_view::npos || equals + 1 >= text.size() ||
            text[equals + 1] != u'"')
            break;
        std::size_t valueStart = equals + 2;
        std::size_t quote = text.find(u'"', valueStart);
        if (quote == std::u16string_view::npos)
            break;
        pairs.emplace_back(std::u16string(text.substr(pos, equals - pos)),
                           std::u16string(text.substr(valueStart, quote - valueStart)));
        pos = quote + 1;
        if (pos >= text.size() || text[pos] != u' ')
            break;
        ++pos;
    }
    return pairs;
}

} // namespace skinui::markup

#include "skinui/markup/TextDecoding.h"

namespace skinui::markup {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

} // namespace

std::u16string Utf8ToUtf16(const std::uint8_t* data, std::size_t size) {
    std::u16string out;
    out.reserve(size);
    std::size_t i = 0;
    while (i < size) {
        std::uint8_t lead = data[i];
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int length = 0;
        std::uint32_t cp = 0;
        std::uint32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07;
            minimum = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        int taken = 1;
        while (taken < length && i + taken < size && (data[i + taken] & 0xC0) == 0x80) {
            cp = (cp << 6) | (data[i + taken] & 0x3F);
            ++taken;
        }
        i += taken;
        bool valid =
            taken == length && cp >= minimum && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (valid)
            AppendCodePoint(out, cp);
        else
            out.push_back(kReplacement);
    }
    return out;
}

bool Utf16BytesToString(const std::uint8_t* data, std::size_t size, std::u16string& text) {
    if (size < 2)
        return false;
    bool bigEndian;
    if (data[0] == 0xFF && data[1] == 0xFE)
        bigEndian = false;
    else if (data[0] == 0xFE && data[1] == 0xFF)
        bigEndian = true;
    else
        return false;
    std::size_t units = (size - 2) / 2;
    text.clear();
    text.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        std::uint8_t first = data[2 + 2 * i];
        std::uint8_t second = data[3 + 2 * i];
        text.push_back(bigEndian ? static_cast<char16_t>((first << 8) | second)
                                 : static_cast<char16_t>((second << 8) | first));
    }
    return true;
}

} // namespace skinui::markup

#include "skinui/markup/SkinMarkup.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace skinui::markup;

// The first byte picks the encoding and the whitespace mode; the rest is the markup. Every
// node, name, text and attribute of a parsed document is read back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const MarkupEncoding kEncodings[] = {MarkupEncoding::Utf8, MarkupEncoding::Utf16,
                                                MarkupEncoding::Ansi};
    SkinMarkup markup;
    markup.SetPreserveWhitespace((data[0] & 4) == 0);
    if (!markup.LoadFromMem(data + 1, size - 1, kEncodings[data[0] % 3])) {
        volatile std::size_t sink =
            std::char_traits<char16_t>::length(markup.GetLastErrorMessage()) +
            std::char_traits<char16_t>::length(markup.GetLastErrorLocation());
        (void)sink;
        return 0;
    }
    std::vector<SkinMarkupNode> pending{markup.GetRoot()};
    std::size_t total = 0;
    char16_t buffer[500];
    while (!pending.empty()) {
        SkinMarkupNode node = pending.back();
        pending.pop_back();
        total += std::char_traits<char16_t>::length(node.GetName());
        total += std::char_traits<char16_t>::length(node.GetValue());
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            total += std::char_traits<char16_t>::length(node.GetAttributeName(i));
            total += std::char_traits<char16_t>::length(node.GetAttributeValue(i));
            node.GetAttributeValue(node.GetAttributeName(i), buffer, 499);
        }
        if (node.GetParent().IsValid())
            total += std::char_traits<char16_t>::length(node.GetParent().GetName());
        if (node.GetSibling().IsValid())
            pending.push_back(node.GetSibling());
        if (node.HasChildren())
            pending.push_back(node.GetChild());
    }
    volatile std::size_t sink = total;
    (void)sink;
    return 0;
}

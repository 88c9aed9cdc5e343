#include "skinui/markup/ValueSyntax.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace skinui::markup;

// The input is taken as UTF-16 units and handed to every value syntax parser.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    std::size_t total = 0;
    for (const auto& pair : ParseAttributeList(text))
        total += pair.first.size() + pair.second.size();
    MarkupRect rect = ParseRect(text);
    MarkupSize size2 = ParseSize(text);
    total += static_cast<std::size_t>(rect.left) + static_cast<std::size_t>(size2.cy) +
             ParseColor(text) + static_cast<std::size_t>(ParseInt(text)) + ParseBool(text);
    volatile std::size_t sink = total;
    (void)sink;
    return 0;
}

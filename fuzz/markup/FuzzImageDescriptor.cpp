#include "skinui/markup/ImageDescriptor.h"
#include "skinui/markup/ValueSyntax.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace skinui::markup;

// UTF-16 units; a unit 0xFFFF splits the descriptor from a rectangle value that overrides its
// destination and source.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    std::size_t split = text.find(char16_t(0xFFFF));
    std::u16string_view all(text);
    std::u16string_view descriptor = all.substr(0, split);
    std::u16string_view modifier =
        split == std::u16string::npos ? std::u16string_view() : all.substr(split + 1);
    ImageOverride override;
    if (!modifier.empty())
        override.dest = override.source = ParseRect(modifier);
    std::size_t total = 0;
    for (const ImageDrawSpec& spec : ParseImageDescriptor(descriptor, override))
        total += spec.name.size() + spec.resType.size() + spec.fade;
    volatile std::size_t sink = total;
    (void)sink;
    return 0;
}

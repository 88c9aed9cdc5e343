#pragma once

#include "skinui/markup/ValueSyntax.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skinui::markup {

// One image to draw, as an image descriptor string describes it.
struct ImageDrawSpec {
    std::u16string name;      // image name in the package, or a resource id when resType is set
    std::u16string resType;   // resource type; empty reads the image from the package
    bool fromResource{false}; // named by a "res" key
    bool hasDest{false};      // dest given; otherwise the control's whole rectangle
    MarkupRect dest;          // relative to the control's top-left corner
    MarkupRect source;        // image pixels; all zero = the whole image
    MarkupRect corner;        // nine-grid border widths
    std::uint32_t mask{0};    // pixels of exactly this value become transparent
    std::uint8_t fade{255};   // constant opacity
    bool hole{false}, xtiled{false}, ytiled{false};
};

// What a control changes of a descriptor it draws (a progress bar its filled part, a scroll bar
// the rectangle of one part): each value given replaces the descriptor's own for the image the
// descriptor names last.
struct ImageOverride {
    std::optional<MarkupRect> dest;   // relative to the control's top-left corner
    std::optional<MarkupRect> source; // image pixels
    std::optional<MarkupRect> corner; // nine-grid border widths
    std::optional<std::uint8_t> fade; // constant opacity
};

// Every image a descriptor asks to draw, in order, with the override applied. An empty result
// means nothing to draw.
std::vector<ImageDrawSpec> ParseImageDescriptor(std::u16string_view descriptor,
                                                const ImageOverride& override = {});

} // namespace skinui::markup

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skinshot {

// A skin rendered off screen at its window size.
struct SkinShot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;   // top-down rows, 4 bytes per pixel, alpha 255
    std::vector<std::wstring> layout; // one line per control in tree order (see DumpLine)
};

// One attribute set on a named control after the window is built and before it is laid out,
// for example to show a page of a tab layout that the markup leaves hidden.
struct AttributeOverride {
    std::wstring control;
    std::wstring attribute;
    std::wstring value;
};

// Builds the window of `markup` from the skin folder or zip package `skin`, applies the
// overrides, lays it out and paints it. False with `error` set when the skin cannot be read,
// builds nothing, or an override names a control the skin does not have.
bool CaptureSkin(const std::wstring& skin, const std::wstring& markup, SkinShot& shot,
                 std::wstring& error, const std::vector<AttributeOverride>& overrides = {});

bool WritePng(const std::wstring& path, const SkinShot& shot);

} // namespace skinshot

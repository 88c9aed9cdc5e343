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

// Builds the window of `markup` from the skin folder or zip package `skin`, lays it out and
// paints it. False with `error` set when the skin cannot be read or builds nothing.
bool CaptureSkin(const std::wstring& skin, const std::wstring& markup, SkinShot& shot,
                 std::wstring& error);

bool WritePng(const std::wstring& path, const SkinShot& shot);

} // namespace skinshot

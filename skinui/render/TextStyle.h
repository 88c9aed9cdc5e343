#pragma once

#include <windows.h>

namespace skinui {

// Bits of a text style; the same values as the platform's text drawing flags.
constexpr UINT kTextLeft = 0x0;
constexpr UINT kTextCenter = 0x1;
constexpr UINT kTextRight = 0x2;
constexpr UINT kTextVCenter = 0x4;
constexpr UINT kTextBottom = 0x8;
constexpr UINT kTextWordBreak = 0x10;
constexpr UINT kTextSingleLine = 0x20;
constexpr UINT kTextEndEllipsis = 0x8000;

} // namespace skinui

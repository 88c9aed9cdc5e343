#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skinui {

// One piece of a link as drawn: its rectangle and which link (0-based, in text order) it is.
struct InlineLink {
    RECT rect{};
    int index = 0;
};

constexpr size_t kMaxInlineLinks = 8;

// A small inline markup renderer for labels with show-HTML: <a>…</a> links in the window's
// link colour, <c #AARRGGBB>…</c> coloured runs, <n> line breaks; other tags are dropped.
// Text flows from the top left and wraps at words with kTextWordBreak, otherwise stays on
// one line. Returns at most kMaxInlineLinks link pieces.
// fontHeight is the font's character cell height, the line height (12 when unknown).
std::vector<InlineLink> DrawInlineText(HDC dc, const RECT& rc, const std::wstring& text,
                                       DWORD color, HFONT font, LONG fontHeight, DWORD linkColor,
                                       UINT style);

} // namespace skinui

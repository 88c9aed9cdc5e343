#include "skinui/render/GdiplusText.h"

#include <objidl.h>

#include <gdiplus.h>

namespace skinui::render {
namespace {

// Text through GDI+ is drawn almost opaque, so a layered window keeps it visible while the
// alpha still marks it as drawn content.
constexpr BYTE kTextAlpha = 0xFE;

// GDI+ is started once for the process on first use and left running: shutting it down from a
// static destructor would race with windows still painting during process exit.
bool EnsureGdiplus() {
    static const bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

void ApplyFormat(Gdiplus::StringFormat& layout, UINT format) {
    if (format & DT_CENTER)
        layout.SetAlignment(Gdiplus::StringAlignmentCenter);
    else if (format & DT_RIGHT)
        layout.SetAlignment(Gdiplus::StringAlignmentFar);
    else
        layout.SetAlignment(Gdiplus::StringAlignmentNear);

    // As with GDI, vertical alignment only applies to a single line.
    const bool singleLine = (format & DT_SINGLELINE) != 0;
    if (singleLine && (format & DT_VCENTER))
        layout.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    else if (singleLine && (format & DT_BOTTOM))
        layout.SetLineAlignment(Gdiplus::StringAlignmentFar);
    else
        layout.SetLineAlignment(Gdiplus::StringAlignmentNear);

    INT flags = 0;
    if (singleLine || !(format & DT_WORDBREAK))
        flags |= Gdiplus::StringFormatFlagsNoWrap;
    layout.SetFormatFlags(flags);
    layout.SetTrimming((format & DT_END_ELLIPSIS) ? Gdiplus::StringTrimmingEllipsisCharacter
                                                  : Gdiplus::StringTrimmingNone);
    layout.SetHotkeyPrefix(Gdiplus::HotkeyPrefixNone);
}

} // namespace

bool DrawTextGdiplus(HDC dc, HFONT font, const RECT& rc, const std::wstring& text, DWORD color,
                     UINT format) {
    if (!EnsureGdiplus())
        return false;
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Font gdiplusFont(dc, font);
    if (graphics.GetLastStatus() != Gdiplus::Ok || gdiplusFont.GetLastStatus() != Gdiplus::Ok)
        return false;
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);

    Gdiplus::StringFormat layout;
    ApplyFormat(layout, format);
    // Colours are 0xAARRGGBB; text uses only their red, green and blue.
    const Gdiplus::SolidBrush brush(Gdiplus::Color(kTextAlpha, static_cast<BYTE>(color >> 16),
                                                   static_cast<BYTE>(color >> 8),
                                                   static_cast<BYTE>(color)));
    const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(rc.left),
                             static_cast<Gdiplus::REAL>(rc.top),
                             static_cast<Gdiplus::REAL>(rc.right - rc.left),
                             static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
    return graphics.DrawString(text.c_str(), static_cast<INT>(text.size()), &gdiplusFont, box,
                               &layout, &brush) == Gdiplus::Ok;
}

} // namespace skinui::render

#include "skinui/render/RenderEngine.h"

#include "skinui/render/GdiplusText.h"
#include "win32/DibSection.h"
#include "win32/GdiObject.h"

#include <algorithm>

namespace skinui::render {
namespace {

BYTE Alpha(DWORD argb) {
    return static_cast<BYTE>(argb >> 24);
}

} // namespace

COLORREF ToColorRef(DWORD argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

bool PresentLayered(HWND window, POINT position, const win32::DibSection& image) {
    SIZE size{image.width(), image.height()};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return UpdateLayeredWindow(window, nullptr, &position, &size, image.dc(), &origin, 0, &blend,
                               ULW_ALPHA) != FALSE;
}

void FillColor(HDC dc, const RECT& rc, DWORD color) {
    if (IsRectEmpty(&rc) || Alpha(color) == 0)
        return;
    if (Alpha(color) == 255) {
        const win32::UniqueBrush brush(CreateSolidBrush(ToColorRef(color)));
        if (brush)
            FillRect(dc, &rc, brush.get());
        return;
    }
    // A one-pixel premultiplied bitmap stretched by AlphaBlend blends the colour in.
    win32::DibSection pixel(1, 1, dc);
    if (!pixel)
        return;
    const DWORD a = Alpha(color);
    const DWORD r = ((color >> 16) & 0xFF) * a / 255;
    const DWORD g = ((color >> 8) & 0xFF) * a / 255;
    const DWORD b = (color & 0xFF) * a / 255;
    *pixel.pixels() = (a << 24) | (r << 16) | (g << 8) | b;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, pixel.dc(), 0, 0, 1, 1,
               blend);
}

void FillGradient(HDC dc, const RECT& rc, DWORD top, DWORD bottom) {
    if (IsRectEmpty(&rc))
        return;
    auto channel = [](DWORD color, int shift) {
        return static_cast<COLOR16>(((color >> shift) & 0xFF) << 8);
    };
    TRIVERTEX vertices[2] = {
        {rc.left, rc.top, channel(top, 16), channel(top, 8), channel(top, 0), 0xFF00},
        {rc.right, rc.bottom, channel(bottom, 16), channel(bottom, 8), channel(bottom, 0), 0xFF00},
    };
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
}

void DrawLine(HDC dc, POINT from, POINT to, int width, DWORD color, int style) {
    LOGBRUSH brush{BS_SOLID, ToColorRef(color), 0};
    const win32::UniquePen pen(
        ExtCreatePen(PS_GEOMETRIC | static_cast<DWORD>(style), width, &brush, 0, nullptr));
    const win32::SelectObjectScope selected(dc, pen.get());
    if (!selected)
        return;
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

void DrawRect(HDC dc, const RECT& rc, int width, DWORD color) {
    if (width <= 0)
        return;
    const LONG w = rc.right - rc.left;
    const LONG h = rc.bottom - rc.top;
    const LONG t = std::min<LONG>(width, std::min(w, h));
    FillColor(dc, {rc.left, rc.top, rc.right, rc.top + t}, color | 0xFF000000);
    FillColor(dc, {rc.left, rc.bottom - t, rc.right, rc.bottom}, color | 0xFF000000);
    FillColor(dc, {rc.left, rc.top + t, rc.left + t, rc.bottom - t}, color | 0xFF000000);
    FillColor(dc, {rc.right - t, rc.top + t, rc.right, rc.bottom - t}, color | 0xFF000000);
}

void DrawRoundRect(HDC dc, const RECT& rc, int width, SIZE round, DWORD color) {
    const win32::UniquePen pen(CreatePen(PS_SOLID, width, ToColorRef(color)));
    const win32::SelectObjectScope selectedPen(dc, pen.get());
    if (!selectedPen)
        return;
    const win32::SelectObjectScope hollow(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, rc.left, rc.top, rc.right - 1, rc.bottom - 1, round.cx, round.cy);
}

void DrawText(HDC dc, RECT rc, const std::wstring& text, DWORD color, HFONT font, UINT format,
              TextRenderer renderer) {
    if (text.empty())
        return;
    if (renderer == TextRenderer::Gdiplus && !(format & DT_CALCRECT) &&
        DrawTextGdiplus(dc, font, rc, text, color, format))
        return;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ToColorRef(color));
    const win32::SelectObjectScope selected(dc, font);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, format | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

ClipScope::ClipScope(HDC dc, const RECT& rc, SIZE round)
    : m_dc(dc), m_old(CreateRectRgn(0, 0, 0, 0)) {
    m_hadClip = m_old && GetClipRgn(dc, m_old.get()) == 1;
    // Clip regions are in device units, while rc is in logical ones: convert through the
    // viewport origin the painter may have moved.
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    RECT device = rc;
    OffsetRect(&device, origin.x, origin.y);
    const win32::UniqueRegion clip((round.cx > 0 || round.cy > 0)
                                       ? CreateRoundRectRgn(device.left, device.top,
                                                            device.right + 1, device.bottom + 1,
                                                            round.cx, round.cy)
                                       : CreateRectRgnIndirect(&device));
    if (!clip)
        return;
    if (m_hadClip)
        CombineRgn(clip.get(), clip.get(), m_old.get(), RGN_AND);
    SelectClipRgn(dc, clip.get());
}

ClipScope::~ClipScope() {
    SelectClipRgn(m_dc, m_hadClip ? m_old.get() : nullptr);
}

} // namespace skinui::render

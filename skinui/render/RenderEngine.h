#pragma once

#include "win32/GdiObject.h"

#include <windows.h>

#include <string>

namespace win32 {
class DibSection;
}

// GDI drawing primitives the controls paint with. Colours are 0xAARRGGBB.
namespace skinui::render {

// How text is drawn: GDI, or GDI+ for windows with per-pixel alpha (whose alpha GDI text lacks)
// or that ask for it.
enum class TextRenderer { Gdi, Gdiplus };

// Fills rc; alpha 255 is an opaque fill, a lower alpha blends, alpha 0 draws nothing.
void FillColor(HDC dc, const RECT& rc, DWORD color);
// Vertical gradient from top to bottom colour.
void FillGradient(HDC dc, const RECT& rc, DWORD top, DWORD bottom);
void DrawLine(HDC dc, POINT from, POINT to, int width, DWORD color, int style = PS_SOLID);
// Outline of width pixels drawn inside rc.
void DrawRect(HDC dc, const RECT& rc, int width, DWORD color);
void DrawRoundRect(HDC dc, const RECT& rc, int width, SIZE round, DWORD color);
// Single or multi-line text; the GDI+ renderer falls back to GDI where GDI+ cannot draw it.
void DrawText(HDC dc, RECT rc, const std::wstring& text, DWORD color, HFONT font, UINT format,
              TextRenderer renderer = TextRenderer::Gdi);
COLORREF ToColorRef(DWORD argb);
// Gives a layered window image (premultiplied alpha) as its whole content, moved to position and
// sized to the image.
bool PresentLayered(HWND window, POINT position, const win32::DibSection& image);

// Restricts drawing to a rectangle (optionally rounded) and restores the previous clip region
// when it goes away.
class ClipScope {
public:
    ClipScope(HDC dc, const RECT& rc, SIZE round = {});
    ~ClipScope();
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    HDC m_dc;
    win32::UniqueRegion m_old; // the clip region the DC had, when m_hadClip
    bool m_hadClip = false;
};

} // namespace skinui::render

#pragma once

#include "win32/GdiObject.h"

#include <windows.h>

#include <string>

namespace win32 {
class DibSection;
}

namespace skinui {

class SkinWindowManager;

// GDI drawing primitives the controls paint with. Colours are 0xAARRGGBB.
namespace render {

// Fills rc; alpha 255 is an opaque fill, a lower alpha blends, alpha 0 draws nothing.
void FillColor(HDC dc, const RECT& rc, DWORD color);
// Vertical gradient from top to bottom colour.
void FillGradient(HDC dc, const RECT& rc, DWORD top, DWORD bottom);
void DrawLine(HDC dc, POINT from, POINT to, int width, DWORD color, int style = PS_SOLID);
// Outline of width pixels drawn inside rc.
void DrawRect(HDC dc, const RECT& rc, int width, DWORD color);
void DrawRoundRect(HDC dc, const RECT& rc, int width, SIZE round, DWORD color);
// Single or multi-line text in the given font index of the manager's table; through GDI+ when
// the window asks for it (gdiplustext, or bktrans, whose per-pixel alpha GDI text lacks).
void DrawText(HDC dc, SkinWindowManager* manager, RECT rc, const std::wstring& text, DWORD color,
              int font, UINT format);
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

} // namespace render
} // namespace skinui

#pragma once

#include <windows.h>

#include <string>

namespace skinui::render {

// Draws text anti-aliased through GDI+, honouring the same DrawText format bits the GDI path
// uses (horizontal alignment, vertical alignment with DT_SINGLELINE, DT_WORDBREAK, DT_SINGLELINE,
// DT_END_ELLIPSIS). Windows painted with per-pixel alpha need it: GDI leaves the alpha channel
// of its text at 0. Returns false, drawing nothing, when GDI+ is not available, so the caller
// can fall back to GDI.
bool DrawTextGdiplus(HDC dc, HFONT font, const RECT& rc, const std::wstring& text, DWORD color,
                     UINT format);

} // namespace skinui::render

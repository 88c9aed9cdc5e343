#pragma once

#include "win32/GdiObject.h"

#include <ocidl.h>
#include <windows.h>

#include <cstdint>

namespace flashplayer {

// The off-screen pictures of a layered container window: a 32-bit top-down frame the control
// paints into and, with double rendering, a white copy, both remade whenever the window's
// rectangle changes. Present puts the frame on screen with per-pixel alpha.
class LayeredFrames {
public:
    LayeredFrames() = default;
    ~LayeredFrames();
    LayeredFrames(const LayeredFrames&) = delete;
    LayeredFrames& operator=(const LayeredFrames&) = delete;

    // Has `view` (when not null) paint the window's client area into the frame and updates the
    // layered window with it. With doubleRender the view paints over black and over white and
    // the alpha comes from the difference; on a display of fewer than 32 bits the parent's
    // picture lies under the control instead, and the frame goes on screen opaque.
    void Present(HWND window, IViewObject* view, bool doubleRender);

    // The display depth is measured with the first frame, unless set before.
    void SetBitsPerPixel(int bits) { m_bitsPerPixel = bits; }

    HBITMAP frame() const { return m_frameBitmap.get(); }
    HBITMAP white() const { return m_whiteBitmap.get(); }
    const std::uint8_t* bits() const { return m_frameBits; }

private:
    void Rebuild(HWND window, const RECT& windowRect, bool doubleRender);
    void Release();

    win32::UniqueMemoryDc m_frameDc;
    win32::UniqueBitmap m_frameBitmap;  // selected into m_frameDc
    std::uint8_t* m_frameBits{nullptr}; // its pixels: blue, green, red, alpha
    win32::UniqueMemoryDc m_whiteDc;
    win32::UniqueBitmap m_whiteBitmap; // only with double rendering
    std::uint8_t* m_whiteBits{nullptr};
    RECT m_windowRect{}; // the screen rectangle the bitmaps were made for
    int m_bitsPerPixel{0};
};

// Has `view` paint the window's client area into `dc`, or into the window's own DC when `dc` is
// null: the container that is no layered window.
void DrawOpaque(HWND window, HDC dc, IViewObject* view);

} // namespace flashplayer

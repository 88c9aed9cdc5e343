#include "flashplayer/LayeredFrames.h"

#include "flashplayer/DoubleRenderAlpha.h"

#include <cstring>

namespace flashplayer {
namespace {

// A 32-bit top-down DIB section in a new memory DC compatible with `reference`; both stay empty
// when GDI refuses.
std::uint8_t* MakeFrame(HDC reference, int width, int height, win32::UniqueMemoryDc& dc,
                        win32::UniqueBitmap& bitmap) {
    dc.reset(CreateCompatibleDC(reference));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap.reset(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return nullptr;
    SelectObject(dc.get(), bitmap.get());
    return static_cast<std::uint8_t*>(bits);
}

} // namespace

LayeredFrames::~LayeredFrames() {
    Release();
}

// The DCs go before the bitmaps they hold, the frame before the white copy.
void LayeredFrames::Release() {
    m_frameDc.reset();
    m_frameBitmap.reset();
    m_frameBits = nullptr;
    m_whiteDc.reset();
    m_whiteBitmap.reset();
    m_whiteBits = nullptr;
}

void LayeredFrames::Rebuild(HWND window, const RECT& windowRect, bool doubleRender) {
    Release();
    m_windowRect = windowRect;
    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;
    const win32::WindowDc windowDc(window);
    m_frameBits = MakeFrame(windowDc.get(), width, height, m_frameDc, m_frameBitmap);
    if (doubleRender)
        m_whiteBits = MakeFrame(windowDc.get(), width, height, m_whiteDc, m_whiteBitmap);
    if (m_bitsPerPixel == 0 && m_frameDc)
        m_bitsPerPixel = GetDeviceCaps(m_frameDc.get(), BITSPIXEL);
}

void LayeredFrames::Present(HWND window, IViewObject* view, bool doubleRender) {
    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    // Double rendering switched on after the bitmaps were made needs the white one as well.
    if (!m_frameDc || !EqualRect(&windowRect, &m_windowRect) || (doubleRender && !m_whiteDc))
        Rebuild(window, windowRect, doubleRender);
    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;
    const std::size_t frameBytes =
        static_cast<std::size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0) * 4;

    if (view && m_frameBits) {
        RECT client{};
        GetClientRect(window, &client);
        if (m_bitsPerPixel == 32 && doubleRender && m_whiteBits) {
            std::memset(m_frameBits, 0, frameBytes);
            std::memset(m_whiteBits, 255, frameBytes);
            OleDraw(view, DVASPECT_TRANSPARENT, m_frameDc.get(), &client);
            OleDraw(view, DVASPECT_TRANSPARENT, m_whiteDc.get(), &client);
            GdiFlush();
            DeriveAlphaFromDoubleRender(m_frameBits, m_whiteBits, frameBytes / 4);
        } else if (m_bitsPerPixel == 32) {
            std::memset(m_frameBits, 0, frameBytes);
            OleDraw(view, DVASPECT_TRANSPARENT, m_frameDc.get(), &client);
        } else {
            const win32::WindowDc owner(::GetParent(window), win32::DcArea::WholeWindow);
            BitBlt(m_frameDc.get(), 0, 0, client.right - client.left, client.bottom - client.top,
                   owner.get(), 0, 0, SRCCOPY);
            OleDraw(view, DVASPECT_TRANSPARENT, m_frameDc.get(), &client);
        }
    }

    POINT destination{windowRect.left, windowRect.top};
    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, nullptr, &destination, &size, m_frameDc.get(), &source, 0, &blend,
                        m_bitsPerPixel == 32 ? ULW_ALPHA : ULW_OPAQUE);
}

void DrawOpaque(HWND window, HDC dc, IViewObject* view) {
    if (!view)
        return;
    RECT client{};
    GetClientRect(window, &client);
    if (dc) {
        OleDraw(view, DVASPECT_CONTENT, dc, &client);
    } else {
        const win32::WindowDc own(window);
        OleDraw(view, DVASPECT_CONTENT, own.get(), &client);
    }
}

} // namespace flashplayer

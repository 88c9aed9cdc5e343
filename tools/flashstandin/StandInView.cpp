#include "tools/flashstandin/StandInControl.h"

#include "flashplayer/DirectDrawIds.h"
#include "tools/flashstandin/Animation.h"
#include "tools/flashstandin/ComMethod.h"
#include "win32/DibSection.h"

#include <windowsx.h>

#include <cstdint>
#include <string>

// How the control paints and where it is hit: its own picture (Animation.h) with real per-pixel
// alpha into a 32-bit DIB, the way a windowless Flash movie in transparent mode paints.
namespace flashstandin {

namespace {

constexpr std::uint32_t kBlack = 0x00000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kDefaultBackground = 0xFFFFFF;

enum class Blend {
    Opaque,     // over the background colour, alpha 255 (DVASPECT_CONTENT)
    WithAlpha,  // premultiplied source-over in all four bytes
    ColourOnly, // the same in blue, green and red; the alpha byte left as it was (Flash 8)
};

std::uint32_t Channel(std::uint32_t pixel, int shift) {
    return pixel >> shift & 0xFF;
}

std::uint32_t SourceOver(std::uint32_t source, std::uint32_t destination, Blend blend) {
    const std::uint32_t rest = 255 - Channel(source, 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t value =
            Channel(source, shift) + (Channel(destination, shift) * rest + 127) / 255;
        out |= (value > 255 ? 255 : value) << shift;
    }
    if (blend == Blend::Opaque)
        return out | 0xFF000000;
    if (blend == Blend::ColourOnly)
        return (out & 0x00FFFFFF) | (destination & 0xFF000000);
    return out;
}

const wchar_t* Describe(std::uint32_t pixel) {
    return pixel == kBlack ? L"black" : pixel == kWhite ? L"white" : L"other";
}

std::wstring RectText(const RECT& rect) {
    return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
           std::to_wstring(rect.right) + L"," + std::to_wstring(rect.bottom);
}

} // namespace

HRESULT StandInControl::InPlaceActivate(IOleClientSite* site) {
    if (m_active)
        return S_OK;
    if (!site)
        return E_INVALIDARG;
    win32::ComPtr<IOleInPlaceSiteWindowless> windowless;
    if (m_options.windowless) {
        site->QueryInterface(IID_IOleInPlaceSiteWindowless, windowless.put_void());
        if (windowless && windowless->CanWindowlessActivate() != S_OK)
            windowless.reset();
    }
    win32::ComPtr<IOleInPlaceSite> inPlace;
    site->QueryInterface(IID_IOleInPlaceSite, inPlace.put_void());
    if (!inPlace)
        return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    win32::ComPtr<IOleInPlaceSiteEx> siteEx;
    site->QueryInterface(IID_IOleInPlaceSiteEx, siteEx.put_void());
    BOOL noRedraw = FALSE;
    if (siteEx)
        siteEx->OnInPlaceActivateEx(&noRedraw, windowless ? ACTIVATE_WINDOWLESS : 0);
    else
        inPlace->OnInPlaceActivate();
    inPlace->GetWindow(&m_containerWindow);

    win32::ComPtr<IOleInPlaceFrame> frame;
    win32::ComPtr<IOleInPlaceUIWindow> document;
    RECT clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof(frameInfo);
    inPlace->GetWindowContext(frame.put(), document.put(), &m_position, &clip, &frameInfo);
    AppendLog(m_options.logPath, std::wstring(L"active ") +
                                     (windowless ? L"windowless" : L"windowed") + L" at " +
                                     RectText(m_position));

    // The real control asks its site for DirectDraw once it is active.
    win32::ComPtr<IServiceProvider> services;
    site->QueryInterface(IID_IServiceProvider, services.put_void());
    if (services) {
        win32::ComPtr<IUnknown> directDraw;
        const HRESULT result =
            services->QueryService(flashplayer::kDirectDraw3Service,
                                   flashplayer::kDirectDraw3Service, directDraw.put_void());
        AppendLog(m_options.logPath,
                  L"QueryService IDirectDraw3 -> " +
                      std::wstring(SUCCEEDED(result) && directDraw ? L"an object" : L"nothing"));
    }

    m_inPlaceSite = std::move(inPlace);
    m_windowlessSite = std::move(windowless);
    m_active = true;
    Invalidate();
    return S_OK;
}

void StandInControl::Invalidate() {
    if (!m_active)
        return;
    if (m_windowlessSite)
        m_windowlessSite->InvalidateRect(nullptr, FALSE);
    else if (m_containerWindow)
        ::InvalidateRect(m_containerWindow, nullptr, FALSE);
}

bool StandInControl::InPicture(int x, int y) const {
    const int width = m_position.right - m_position.left;
    const int height = m_position.bottom - m_position.top;
    return AnimationPixel(x - m_position.left, y - m_position.top, width, height, m_frame) >> 24 !=
           0;
}

HRESULT STDMETHODCALLTYPE StandInControl::Draw(DWORD aspect, LONG /*index*/, void* /*aspectInfo*/,
                                               DVTARGETDEVICE* /*device*/, HDC /*targetDc*/, HDC dc,
                                               LPCRECTL bounds, LPCRECTL /*windowBounds*/,
                                               BOOL(STDMETHODCALLTYPE* /*keepDrawing*/)(ULONG_PTR),
                                               ULONG_PTR /*keepDrawingArgument*/) {
    if (!dc || !bounds)
        return E_INVALIDARG;
    if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_TRANSPARENT)
        return DV_E_DVASPECT;
    const int width = bounds->right - bounds->left;
    const int height = bounds->bottom - bounds->top;
    if (width <= 0 || height <= 0)
        return S_OK;
    const Blend blend = aspect == DVASPECT_CONTENT    ? Blend::Opaque
                        : m_options.majorVersion == 8 ? Blend::ColourOnly
                                                      : Blend::WithAlpha;
    const std::uint32_t background =
        m_backgroundColor >= 0 ? static_cast<std::uint32_t>(m_backgroundColor) : kDefaultBackground;

    // Straight into the pixels when the DC holds a 32-bit DIB section, as the host's frame does.
    DIBSECTION section{};
    const auto bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    const bool direct = bitmap &&
                        GetObjectW(bitmap, sizeof(section), &section) == sizeof(section) &&
                        section.dsBm.bmBitsPixel == 32 && section.dsBm.bmBits;
    const wchar_t* target = L"dc";
    if (direct) {
        GdiFlush();
        auto* bits = static_cast<std::uint8_t*>(section.dsBm.bmBits);
        const int surfaceWidth = section.dsBm.bmWidth;
        const int surfaceHeight = section.dsBm.bmHeight;
        const bool bottomUp = section.dsBmih.biHeight > 0;
        const auto row = [&](int y) {
            const int line = bottomUp ? surfaceHeight - 1 - y : y;
            return reinterpret_cast<std::uint32_t*>(bits + static_cast<std::size_t>(line) *
                                                               section.dsBm.bmWidthBytes);
        };
        for (int y = 0; y < height; ++y) {
            const int surfaceY = bounds->top + y;
            if (surfaceY < 0 || surfaceY >= surfaceHeight)
                continue;
            std::uint32_t* line = row(surfaceY);
            for (int x = 0; x < width; ++x) {
                const int surfaceX = bounds->left + x;
                if (surfaceX < 0 || surfaceX >= surfaceWidth)
                    continue;
                if (x == 0 && y == 0)
                    target = Describe(line[surfaceX]);
                const std::uint32_t below = blend == Blend::Opaque ? background : line[surfaceX];
                line[surfaceX] =
                    SourceOver(AnimationPixel(x, y, width, height, m_frame), below, blend);
            }
        }
    } else {
        win32::DibSection picture(width, height, dc);
        if (!picture)
            return E_OUTOFMEMORY;
        RenderAnimation(picture.pixels(), width, width, height, m_frame);
        if (blend == Blend::Opaque) {
            const std::size_t count = static_cast<std::size_t>(width) * height;
            for (std::size_t i = 0; i < count; ++i)
                picture.pixels()[i] = SourceOver(picture.pixels()[i], background, Blend::Opaque);
            BitBlt(dc, bounds->left, bounds->top, width, height, picture.dc(), 0, 0, SRCCOPY);
        } else {
            const BLENDFUNCTION alpha{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            AlphaBlend(dc, bounds->left, bounds->top, width, height, picture.dc(), 0, 0, width,
                       height, alpha);
        }
    }
    return Guarded([&] {
        AppendLog(m_options.logPath, L"Draw aspect " + std::to_wstring(aspect) + L" over " +
                                         target + L" frame " + std::to_wstring(m_frame));
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::GetColorSet(DWORD /*aspect*/, LONG /*index*/,
                                                      void* /*aspectInfo*/,
                                                      DVTARGETDEVICE* /*device*/, HDC /*targetDc*/,
                                                      LOGPALETTE** colours) {
    if (colours)
        *colours = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE StandInControl::Freeze(DWORD /*aspect*/, LONG /*index*/,
                                                 void* /*aspectInfo*/, DWORD* /*freeze*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::Unfreeze(DWORD /*freeze*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetAdvise(DWORD /*aspects*/, DWORD /*flags*/,
                                                    IAdviseSink* /*sink*/) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetAdvise(DWORD* aspects, DWORD* flags,
                                                    IAdviseSink** sink) {
    if (aspects)
        *aspects = 0;
    if (flags)
        *flags = 0;
    if (sink)
        *sink = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetExtent(DWORD /*aspect*/, LONG /*index*/,
                                                    DVTARGETDEVICE* /*device*/, LPSIZEL size) {
    return Answer(size, m_extent);
}

HRESULT STDMETHODCALLTYPE StandInControl::GetRect(DWORD aspect, LPRECTL rect) {
    if (!rect)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_TRANSPARENT)
        return DV_E_DVASPECT;
    *rect = {m_position.left, m_position.top, m_position.right, m_position.bottom};
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetViewStatus(DWORD* status) {
    return Answer(status, VIEWSTATUS_DVASPECTTRANSPARENT);
}

HRESULT STDMETHODCALLTYPE StandInControl::QueryHitPoint(DWORD /*aspect*/, LPCRECT bounds,
                                                        POINT location, LONG /*closeHint*/,
                                                        DWORD* hitResult) {
    if (!bounds || !hitResult)
        return E_POINTER;
    const int width = bounds->right - bounds->left;
    const int height = bounds->bottom - bounds->top;
    const bool hit = AnimationPixel(location.x - bounds->left, location.y - bounds->top, width,
                                    height, m_frame) >>
                         24 !=
                     0;
    *hitResult = hit ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::QueryHitRect(DWORD /*aspect*/, LPCRECT /*bounds*/,
                                                       LPCRECT /*location*/, LONG /*closeHint*/,
                                                       DWORD* /*hitResult*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetNaturalExtent(DWORD /*aspect*/, LONG /*index*/,
                                                           DVTARGETDEVICE* /*device*/,
                                                           HDC /*targetDc*/,
                                                           DVEXTENTINFO* /*extentInfo*/,
                                                           LPSIZEL /*size*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetWindow(HWND* window) {
    // Windowless, and even when activated windowed the picture is painted by the host.
    if (window)
        *window = nullptr;
    return E_FAIL;
}

HRESULT STDMETHODCALLTYPE StandInControl::ContextSensitiveHelp(BOOL /*enterMode*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::InPlaceDeactivate() {
    if (!m_active)
        return S_OK;
    m_active = false;
    win32::ComPtr<IOleInPlaceSiteEx> siteEx =
        m_inPlaceSite.query<IOleInPlaceSiteEx>(IID_IOleInPlaceSiteEx);
    if (siteEx)
        siteEx->OnInPlaceDeactivateEx(TRUE);
    else
        m_inPlaceSite->OnInPlaceDeactivate();
    m_windowlessSite.reset();
    m_inPlaceSite.reset();
    m_containerWindow = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::UIDeactivate() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetObjectRects(LPCRECT position, LPCRECT /*clip*/) {
    if (!position)
        return E_POINTER;
    m_position = *position;
    // Moved even when the log cannot say so.
    const HRESULT logged = Guarded([&] { Called(L"SetObjectRects", RectText(m_position)); });
    Invalidate();
    return logged;
}

HRESULT STDMETHODCALLTYPE StandInControl::ReactivateAndUndo() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::OnWindowMessage(UINT message, WPARAM /*wParam*/,
                                                          LPARAM lParam, LRESULT* result) {
    if (!result)
        return E_POINTER;
    *result = 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return Guarded([&] {
            const int x = GET_X_LPARAM(lParam);
            const int y = GET_Y_LPARAM(lParam);
            const bool inside = InPicture(x, y);
            AppendLog(m_options.logPath,
                      std::wstring(L"OnWindowMessage ") +
                          (message == WM_LBUTTONDOWN ? L"WM_LBUTTONDOWN" : L"WM_LBUTTONUP") + L" " +
                          std::to_wstring(x) + L"," + std::to_wstring(y) +
                          (inside ? L" on the picture" : L" outside"));
            // A movie's button acts on release, like a Flash button's onRelease.
            if (message == WM_LBUTTONUP && inside)
                FireClickCommand();
        });
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        *result = TRUE;
        return S_OK;
    default:
        return S_FALSE;
    }
}

HRESULT STDMETHODCALLTYPE StandInControl::GetDropTarget(IDropTarget** target) {
    if (target)
        *target = nullptr;
    return E_NOTIMPL;
}

} // namespace flashstandin

#include "skinui/core/ShadowUI.h"

#include "skinui/render/ImagePainter.h"
#include "skinui/render/RenderEngine.h"
#include "skinui/resources/WideText.h"
#include "win32/DibSection.h"
#include "win32/GdiObject.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

namespace skinui {
namespace {

constexpr wchar_t kShadowClass[] = L"SkinShadowWindow";
constexpr UINT_PTR kSubclassId = 0x5348; // identifies our subclass on the skinned window

bool& ClassRegistered() {
    static bool registered = false;
    return registered;
}

} // namespace

CShadowUI::~CShadowUI() {
    if (m_parent && IsWindow(m_parent))
        RemoveWindowSubclass(m_parent, ParentProc, kSubclassId);
    if (m_shadow && IsWindow(m_shadow))
        DestroyWindow(m_shadow);
}

bool CShadowUI::SetSize(int size) {
    if (size < -kMaxSize || size > kMaxSize)
        return false;
    m_size = size;
    return true;
}

bool CShadowUI::SetSharpness(int sharpness) {
    if (sharpness < 0 || sharpness > kMaxSharpness)
        return false;
    m_sharpness = sharpness;
    return true;
}

bool CShadowUI::SetDarkness(int darkness) {
    if (darkness < 0 || darkness > 255)
        return false;
    m_darkness = darkness;
    return true;
}

bool CShadowUI::SetPosition(int x, int y) {
    if (x < -kMaxSize || x > kMaxSize || y < -kMaxSize || y > kMaxSize)
        return false;
    m_offset = {x, y};
    return true;
}

bool CShadowUI::SetImage(const std::wstring& image) {
    m_image = image;
    return true;
}

bool CShadowUI::SetShadowCorner(const RECT& corner) {
    if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0)
        return false;
    m_corner = corner;
    return true;
}

void CShadowUI::RegisterWindowClass(HINSTANCE instance) {
    if (ClassRegistered())
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kShadowClass;
    ClassRegistered() = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void CShadowUI::Create(HWND window, HINSTANCE instance, resources::ImageCache& images) {
    if (!m_shown || m_shadow || !window)
        return;
    RegisterWindowClass(instance);
    m_images = &images;
    m_parent = window;
    m_shadow = CreateWindowExW(
        WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kShadowClass,
        nullptr, WS_POPUPWINDOW, CW_USEDEFAULT, 0, 0, 0, m_parent, nullptr, instance, nullptr);
    if (!m_shadow)
        return;
    SetWindowSubclass(m_parent, ParentProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (IsWindowVisible(m_parent))
        Show(m_parent);
}

RECT CShadowUI::ShadowRect(const RECT& window) const {
    if (!m_image.empty())
        return RECT{window.left - m_corner.left, window.top - m_corner.top,
                    window.right + m_corner.right, window.bottom + m_corner.bottom};
    return RECT{window.left + m_offset.x - m_size, window.top + m_offset.y - m_size,
                window.right + m_offset.x + m_size, window.bottom + m_offset.y + m_size};
}

BYTE CShadowUI::KernelAlpha(double r, int size, int sharpness, int darkness) {
    const int radius = std::max(size, sharpness);
    const int solid = std::max(0, size - sharpness);
    if (r < solid)
        return static_cast<BYTE>(darkness);
    if (r > radius)
        return 0;
    const double alpha = darkness * (1.0 - (r - solid) / (sharpness + 1.0));
    return static_cast<BYTE>(std::clamp(alpha, 0.0, 255.0));
}

std::vector<DWORD> CShadowUI::RenderKernelShadow(int windowWidth, int windowHeight,
                                                 HRGN region) const {
    const int width = windowWidth + 2 * m_size;
    const int height = windowHeight + 2 * m_size;
    if (width <= 0 || height <= 0)
        return {};
    std::vector<BYTE> alpha(static_cast<size_t>(width) * height, 0);
    // The region in shadow coordinates, shrunk when the blur reaches further than the size.
    const int shrink = std::max(0, m_sharpness - m_size);
    std::vector<bool> inside(alpha.size(), false);
    for (int y = 0; y < windowHeight; ++y) {
        for (int x = 0; x < windowWidth; ++x) {
            if (region && !PtInRegion(region, x, y))
                continue;
            if (x < shrink || y < shrink || x >= windowWidth - shrink || y >= windowHeight - shrink)
                continue;
            const int sx = x + m_size;
            const int sy = y + m_size;
            if (sx >= 0 && sy >= 0 && sx < width && sy < height)
                inside[static_cast<size_t>(sy) * width + sx] = true;
        }
    }
    const int radius = std::max(m_size, m_sharpness);
    auto isInside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               inside[static_cast<size_t>(y) * width + x];
    };
    const BYTE full = KernelAlpha(0, m_size, m_sharpness, m_darkness);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!isInside(x, y))
                continue;
            BYTE& centre = alpha[static_cast<size_t>(y) * width + x];
            centre = std::max(centre, full);
            // Only the region's edge spreads: inner pixels are covered by their neighbours.
            if (isInside(x - 1, y) && isInside(x + 1, y) && isInside(x, y - 1) &&
                isInside(x, y + 1))
                continue;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int px = x + dx;
                    const int py = y + dy;
                    if (px < 0 || py < 0 || px >= width || py >= height)
                        continue;
                    const BYTE a = KernelAlpha(std::sqrt(double(dx * dx + dy * dy)), m_size,
                                               m_sharpness, m_darkness);
                    BYTE& target = alpha[static_cast<size_t>(py) * width + px];
                    target = std::max(target, a);
                }
            }
        }
    }
    // The shadow is owned by the window, and the system keeps owned windows above their owner:
    // whatever lies under the window itself must stay clear, or the shadow would cover it.
    for (int y = 0; y < windowHeight; ++y) {
        for (int x = 0; x < windowWidth; ++x) {
            if (region && !PtInRegion(region, x, y))
                continue;
            const int sx = x + m_size - m_offset.x;
            const int sy = y + m_size - m_offset.y;
            if (sx >= 0 && sy >= 0 && sx < width && sy < height)
                alpha[static_cast<size_t>(sy) * width + sx] = 0;
        }
    }
    std::vector<DWORD> pixels(alpha.size());
    const DWORD r = (m_color >> 16) & 0xFF;
    const DWORD g = (m_color >> 8) & 0xFF;
    const DWORD b = m_color & 0xFF;
    for (size_t i = 0; i < alpha.size(); ++i) {
        const DWORD a = alpha[i];
        pixels[i] = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
    }
    return pixels;
}

void CShadowUI::Update(HWND parent) {
    if (!m_shadow)
        return;
    RECT window{};
    GetWindowRect(parent, &window);
    const RECT target = ShadowRect(window);
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (width <= 0 || height <= 0)
        return;
    win32::DibSection image(width, height);
    if (!image)
        return;
    if (!m_image.empty() && m_images) {
        // The image is named, not described: its name is taken as it is.
        markup::ImageDrawSpec spec;
        spec.name = resources::ToU16(m_image);
        spec.corner = {m_corner.left, m_corner.top, m_corner.right, m_corner.bottom};
        DrawImage(image.dc(), *m_images, {0, 0, width, height}, spec);
    } else {
        const win32::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
        const bool hasRegion = region && GetWindowRgn(parent, region.get()) != ERROR;
        const auto pixels =
            RenderKernelShadow(window.right - window.left, window.bottom - window.top,
                               hasRegion ? region.get() : nullptr);
        std::copy(pixels.begin(), pixels.end(), image.pixels());
    }
    render::PresentLayered(m_shadow, {target.left, target.top}, image);
    m_lastParentSize = {window.right - window.left, window.bottom - window.top};
}

void CShadowUI::Show(HWND parent) {
    if (!m_shadow)
        return;
    if (!IsWindowVisible(parent) || IsIconic(parent) || IsZoomed(parent)) {
        ShowWindow(m_shadow, SW_HIDE);
        return;
    }
    Update(parent);
    ShowWindow(m_shadow, SW_SHOWNOACTIVATE);
    SetWindowPos(m_shadow, parent, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK CShadowUI::ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR /*id*/, DWORD_PTR data) {
    auto* self = reinterpret_cast<CShadowUI*>(data);
    if (message == WM_PAINT) {
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        self->FollowParent(hwnd, message, wParam, lParam);
        return result;
    }
    self->FollowParent(hwnd, message, wParam, lParam);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void CShadowUI::FollowParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    // Called from the window's procedure, which no exception may leave: a shadow that cannot
    // be drawn is simply not updated.
    try {
        switch (message) {
        case WM_MOVE:
            if (m_shadow && IsWindowVisible(m_shadow)) {
                RECT window{};
                GetWindowRect(hwnd, &window);
                const RECT target = ShadowRect(window);
                SetWindowPos(m_shadow, nullptr, target.left, target.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            break;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED) {
                ShowWindow(m_shadow, SW_HIDE);
            } else if (IsWindowVisible(hwnd)) {
                const LONG cx = LOWORD(lParam);
                const LONG cy = HIWORD(lParam);
                // Growing windows paint their new part first; the shadow waits for that paint.
                if (cx > m_lastParentSize.cx || cy > m_lastParentSize.cy)
                    m_updateAtPaint = true;
                else
                    Show(hwnd);
            }
            break;
        case WM_PAINT:
            if (m_updateAtPaint) {
                m_updateAtPaint = false;
                Show(hwnd);
            }
            break;
        case WM_SHOWWINDOW:
            if (wParam)
                m_updateAtPaint = true;
            else if (m_shadow)
                ShowWindow(m_shadow, SW_HIDE);
            break;
        case WM_EXITSIZEMOVE:
            Show(hwnd);
            break;
        case WM_DESTROY:
            if (m_shadow)
                DestroyWindow(m_shadow);
            m_shadow = nullptr;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ParentProc, kSubclassId);
            m_parent = nullptr;
            break;
        default:
            break;
        }
    } catch (...) {
    }
}

} // namespace skinui

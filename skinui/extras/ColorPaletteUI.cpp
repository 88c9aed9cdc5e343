#include "skinui/extras/ColorPaletteUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"

#include <algorithm>
#include <vector>

namespace skinui {
namespace {

constexpr int kHueSteps = 360;
constexpr int kPercent = 100;
constexpr LONG kBarGap = 4;

} // namespace

DWORD HsbToArgb(int hue, int saturation, int brightness) {
    hue = ((hue % kHueSteps) + kHueSteps) % kHueSteps;
    const double s = std::clamp(saturation, 0, kPercent) / double(kPercent);
    const double v = std::clamp(brightness, 0, kPercent) / double(kPercent);
    const double c = v * s;
    const double h = hue / 60.0;
    const double x = c * (1 - std::abs(h - 2 * static_cast<int>(h / 2) - 1));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h)) {
    case 0:
        r = c, g = x;
        break;
    case 1:
        r = x, g = c;
        break;
    case 2:
        g = c, b = x;
        break;
    case 3:
        g = x, b = c;
        break;
    case 4:
        r = x, b = c;
        break;
    default:
        r = c, b = x;
        break;
    }
    const double m = v - c;
    auto byte = [m](double channel) {
        return static_cast<DWORD>(std::clamp((channel + m) * 255.0 + 0.5, 0.0, 255.0));
    };
    return 0xFF000000 | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

const wchar_t* CColorPaletteUI::GetClass() const {
    return kClassName;
}

void* CColorPaletteUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UINT CColorPaletteUI::GetControlFlags() const {
    return IsEnabled() ? kFlagSetCursor : 0;
}

DWORD CColorPaletteUI::GetSelectColor() const {
    return HsbToArgb(m_hue, m_saturation, m_brightness);
}

void CColorPaletteUI::SetHsb(int hue, int saturation, int brightness) {
    m_hue = std::clamp(hue, 0, kHueSteps - 1);
    m_saturation = std::clamp(saturation, 0, kPercent);
    m_brightness = std::clamp(brightness, 0, kPercent);
    Invalidate();
}

RECT CColorPaletteUI::PaletteRect() const {
    RECT rc = m_pos;
    rc.bottom = std::min<LONG>(rc.bottom, rc.top + m_paletteHeight);
    return rc;
}

RECT CColorPaletteUI::BarRect() const {
    RECT rc = m_pos;
    rc.top = std::min<LONG>(rc.bottom, PaletteRect().bottom + kBarGap);
    rc.bottom = std::min<LONG>(rc.bottom, rc.top + m_barHeight);
    return rc;
}

bool CColorPaletteUI::PickAt(POINT pt, bool start) {
    const RECT palette = PaletteRect();
    const RECT bar = BarRect();
    if (start)
        m_drag = PtInRect(&palette, pt) ? Drag::Palette
                 : PtInRect(&bar, pt)   ? Drag::Bar
                                        : Drag::None;
    auto fraction = [](LONG at, LONG from, LONG to) {
        return to <= from ? 0.0 : std::clamp(double(at - from) / double(to - from), 0.0, 1.0);
    };
    if (m_drag == Drag::Palette) {
        SetHsb(static_cast<int>(fraction(pt.x, palette.left, palette.right) * (kHueSteps - 1)),
               kPercent - static_cast<int>(fraction(pt.y, palette.top, palette.bottom) * kPercent),
               m_brightness);
    } else if (m_drag == Drag::Bar) {
        SetHsb(m_hue, m_saturation,
               static_cast<int>(fraction(pt.x, bar.left, bar.right) * kPercent));
    } else {
        return false;
    }
    if (m_manager)
        m_manager->SendNotify(this, L"colorpalette", static_cast<WPARAM>(GetSelectColor()));
    return true;
}

void CColorPaletteUI::DoEvent(UiEvent& event) {
    if (PassMouseToParent(*this, event))
        return;
    switch (event.type) {
    case kEventButtonDown:
        if (IsEnabled())
            PickAt(event.mouse, true);
        return;
    case kEventMouseMove:
        if (m_drag != Drag::None)
            PickAt(event.mouse, false);
        return;
    case kEventButtonUp:
        m_drag = Drag::None;
        return;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

void CColorPaletteUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"palletheight")
        m_paletteHeight = std::max(0, ParseIntValue(value));
    else if (name == L"barheight")
        m_barHeight = std::max(0, ParseIntValue(value));
    else if (name == L"thumbimage")
        m_thumbImage = value;
    else
        CControlUI::SetAttribute(name, value);
}

void CColorPaletteUI::PaintBkImage(HDC dc) {
    CControlUI::PaintBkImage(dc);
    PaintGradients(dc);
    if (m_thumbImage.empty())
        return;
    // The thumb marks the brightness on the bar, centred on it.
    const RECT bar = BarRect();
    const LONG x = bar.left + (bar.right - bar.left) * m_brightness / kPercent - m_pos.left;
    const LONG side = bar.bottom - bar.top;
    DrawImageOrClear(*this, dc, m_thumbImage,
                     ImageDestination({x - side / 2, bar.top - m_pos.top, x - side / 2 + side,
                                       bar.bottom - m_pos.top}));
}

void CColorPaletteUI::PaintGradients(HDC dc) {
    const RECT palette = PaletteRect();
    const RECT bar = BarRect();
    const LONG width = m_pos.right - m_pos.left;
    const LONG height = bar.bottom - palette.top;
    if (width <= 0 || height <= 0)
        return;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const LONG paletteRows = palette.bottom - palette.top;
    for (LONG y = 0; y < paletteRows; ++y)
        for (LONG x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y * width + x)] = HsbToArgb(
                static_cast<int>(x * (kHueSteps - 1) / std::max<LONG>(1, width - 1)),
                kPercent - static_cast<int>(y * kPercent / std::max<LONG>(1, paletteRows - 1)),
                m_brightness);
    for (LONG y = bar.top - palette.top; y < height; ++y)
        for (LONG x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y * width + x)] = HsbToArgb(
                m_hue, m_saturation, static_cast<int>(x * kPercent / std::max<LONG>(1, width - 1)));
    // The gap between palette and bar keeps what is behind it.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -paletteRows;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (paletteRows > 0)
        SetDIBitsToDevice(dc, palette.left, palette.top, static_cast<DWORD>(width),
                          static_cast<DWORD>(paletteRows), 0, 0, 0, static_cast<UINT>(paletteRows),
                          pixels.data(), &info, DIB_RGB_COLORS);
    const LONG barRows = bar.bottom - bar.top;
    if (barRows > 0) {
        info.bmiHeader.biHeight = -barRows;
        SetDIBitsToDevice(dc, bar.left, bar.top, static_cast<DWORD>(width),
                          static_cast<DWORD>(barRows), 0, 0, 0, static_cast<UINT>(barRows),
                          pixels.data() + static_cast<size_t>((bar.top - palette.top) * width),
                          &info, DIB_RGB_COLORS);
    }
}

} // namespace skinui

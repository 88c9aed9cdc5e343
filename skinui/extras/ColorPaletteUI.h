#pragma once

#include "skinui/core/ControlUI.h"

namespace skinui {

// A colour picker: a palette of hue across and saturation down, above a bar of brightness.
// Picking in either sends "colorpalette" with the chosen colour (0xAARRGGBB) as wParam.
class CColorPaletteUI : public CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"ColorPaletteUI";
    static constexpr const wchar_t* kInterfaceName = L"ColorPalette";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintBkImage(HDC dc) override;

    DWORD GetSelectColor() const;
    // Hue 0-359, saturation and brightness 0-100.
    void SetHsb(int hue, int saturation, int brightness);

private:
    RECT PaletteRect() const;
    RECT BarRect() const;
    // Picks from the point of a press or drag; false when it is in neither part.
    bool PickAt(POINT pt, bool start);
    void PaintGradients(HDC dc);

    int m_paletteHeight = 200;
    int m_barHeight = 10;
    std::wstring m_thumbImage;
    int m_hue = 0;
    int m_saturation = 100;
    int m_brightness = 100;
    enum class Drag { None, Palette, Bar } m_drag = Drag::None;
};

// Converts hue (0-359), saturation and brightness (0-100) to an opaque 0xAARRGGBB colour.
DWORD HsbToArgb(int hue, int saturation, int brightness);

} // namespace skinui

#pragma once

#include "skinui/controls/ProgressUI.h"

namespace skinui {

// A progress bar with a thumb the user drags, clicks to or wheels along the range. Reports
// "valuechanged" when a press ends or the wheel moves it, and with sendmove also
// "movevaluechanged" while the thumb is dragged.
class CSliderUI : public CProgressUI {
public:
    static constexpr const wchar_t* kClassName = L"SliderUI";
    static constexpr const wchar_t* kInterfaceName = L"Slider";

    CSliderUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;

    int GetChangeStep() const { return m_step; }
    void SetChangeStep(int step) { m_step = step; }
    SIZE GetThumbSize() const { return m_thumbSize; }
    void SetThumbSize(SIZE size);
    // The thumb centred on the filled part's end, in window coordinates.
    RECT GetThumbRect() const;

private:
    // The value under pt, clamped to the range.
    int ValueAt(POINT pt) const;
    void MoveTo(int value);

    int m_step = 1;
    SIZE m_thumbSize{10, 10};
    bool m_sendMove = false;
    UINT m_thumbState = 0; // hot, pushed and captured bits of the thumb
    std::wstring m_thumbImage;
    std::wstring m_thumbHotImage;
    std::wstring m_thumbPushedImage;
};

} // namespace skinui

#pragma once

#include "LabelUI.h"

namespace skinui {

// A label that sends "click" when pressed and released inside, or on Space/Enter while focused.
class CButtonUI : public CLabelUI {
public:
    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;

protected:
    bool m_pushed = false; // pressed inside and not yet released
    bool m_hot = false;    // mouse over the button
    std::wstring m_normalImage;
    std::wstring m_hotImage;
    std::wstring m_pushedImage;
    std::wstring m_focusedImage;
    std::wstring m_disabledImage;
    DWORD m_hotTextColor = 0;
    DWORD m_pushedTextColor = 0;
};

} // namespace skinui

#pragma once

#include "skinui/controls/LabelUI.h"

namespace skinui {

// A label with state images that sends "click" when pressed and released inside, or on
// Space/Enter, and may then select a page of a bound tab layout.
class CButtonUI : public CLabelUI {
public:
    static constexpr const wchar_t* kClassName = L"ButtonUI";
    static constexpr const wchar_t* kInterfaceName = L"Button";

    CButtonUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    UINT GetButtonState() const { return m_buttonState; }
    void SetNormalImage(const std::wstring& descriptor);
    void SetHotImage(const std::wstring& descriptor);
    void SetPushedImage(const std::wstring& descriptor);
    void SetFocusedImage(const std::wstring& descriptor);
    void SetDisabledImage(const std::wstring& descriptor);
    void SetForeImage(const std::wstring& descriptor);
    void SetHotForeImage(const std::wstring& descriptor);
    const std::wstring& GetNormalImage() const { return m_normalImage; }
    const std::wstring& GetHotImage() const { return m_hotImage; }
    void SetHotBkColor(DWORD color) { m_hotBkColor = color; }
    void SetHotTextColor(DWORD color) { m_hotTextColor = color; }
    void SetPushedTextColor(DWORD color) { m_pushedTextColor = color; }
    void SetFocusedTextColor(DWORD color) { m_focusedTextColor = color; }
    void BindTabLayout(const std::wstring& layoutName, int index);

protected:
    // Draws the button's state image by the first rule that applies and returns the fore
    // image that belongs on top of it (null when nothing more is drawn).
    std::wstring* PaintButtonState(HDC dc);
    // Draws a descriptor; one that cannot be drawn is cleared so it is not tried again.
    // False when it is empty or was cleared.
    bool DrawOrClear(HDC dc, std::wstring& descriptor);
    bool IsPushedNow() const { return (m_buttonState & kStatePushed) != 0; }
    bool IsHotNow() const { return (m_buttonState & kStateHot) != 0; }

    UINT m_buttonState = 0;
    std::wstring m_normalImage;
    std::wstring m_hotImage;
    std::wstring m_hotForeImage;
    std::wstring m_pushedImage;
    std::wstring m_pushedForeImage;
    std::wstring m_focusedImage;
    std::wstring m_disabledImage;
    std::wstring m_foreImage;
    DWORD m_hotBkColor = 0;
    DWORD m_hotTextColor = 0;
    DWORD m_pushedTextColor = 0;
    DWORD m_focusedTextColor = 0;
    std::wstring m_bindTabLayoutName;
    int m_bindTabIndex = -1; // -1 = no tab binding
};

} // namespace skinui

#pragma once

#include "skinui/controls/LabelUI.h"
#include "skinui/extras/DateTimeWnd.h"

namespace skinui {

// A label showing a date as "YYYY-MM-DD", today's date until one is set. A click opens the
// system date picker over it; when the picker closes with another date, the text follows and
// "textchanged" is sent (as an edit does for its text).
class CDateTimeUI : public CLabelUI, private IDatePickerOwner {
public:
    static constexpr const wchar_t* kClassName = L"DateTimeUI";
    static constexpr const wchar_t* kInterfaceName = L"DateTime";

    CDateTimeUI();
    ~CDateTimeUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void DoEvent(UiEvent& event) override;
    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;

    const SYSTEMTIME& GetTime() const override { return m_time; }
    void SetTime(const SYSTEMTIME& time);
    // Opens the picker; false when it is open already or cannot be made.
    bool OpenPicker();
    bool IsPickerOpen() const { return m_picker != nullptr; }
    // The picker's window while it is open.
    HWND GetPickerWindow() const;

private:
    CControlUI* PickerOwnerControl() override { return this; }
    int PickerFont() const override { return m_font; }
    void OnPickerClosed(CDateTimeWnd* picker, const SYSTEMTIME* time) override;
    void ClosePicker();

    SYSTEMTIME m_time{};
    CDateTimeWnd* m_picker = nullptr;
};

} // namespace skinui

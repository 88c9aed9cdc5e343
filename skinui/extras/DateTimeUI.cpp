#include "skinui/extras/DateTimeUI.h"

#include "skinui/core/SkinWindowManager.h"
#include "skinui/extras/DateTimeWnd.h"

#include <cwchar>

namespace skinui {

CDateTimeUI::CDateTimeUI() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    SetTime(now);
}

CDateTimeUI::~CDateTimeUI() {
    ClosePicker();
}

const wchar_t* CDateTimeUI::GetClass() const {
    return kClassName;
}

void* CDateTimeUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CDateTimeUI::GetControlFlags() const {
    return IsEnabled() ? kFlagSetCursor : 0;
}

void CDateTimeUI::SetTime(const SYSTEMTIME& time) {
    m_time = time;
    wchar_t text[32];
    swprintf(text, 32, L"%4d-%02d-%02d", m_time.wYear, m_time.wMonth, m_time.wDay);
    SetText(text);
}

bool CDateTimeUI::OpenPicker() {
    if (m_picker || !IsEnabled() || !IsVisible())
        return false;
    m_picker = CDateTimeWnd::Open(*this);
    return m_picker != nullptr;
}

HWND CDateTimeUI::GetPickerWindow() const {
    return m_picker ? m_picker->GetHWND() : nullptr;
}

void CDateTimeUI::ClosePicker() {
    if (CDateTimeWnd* picker = m_picker) {
        m_picker = nullptr;
        picker->Abandon();
    }
}

void CDateTimeUI::OnPickerClosed(CDateTimeWnd* picker, const SYSTEMTIME* time) {
    if (picker != m_picker)
        return;
    m_picker = nullptr;
    Invalidate();
    if (!time ||
        (time->wYear == m_time.wYear && time->wMonth == m_time.wMonth && time->wDay == m_time.wDay))
        return;
    SetTime(*time);
    if (m_manager)
        m_manager->SendNotify(this, L"textchanged");
}

void CDateTimeUI::DoEvent(UiEvent& event) {
    if (event.type == kEventSetCursor && IsEnabled()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    }
    if ((event.type == kEventButtonDown || event.type == kEventDblClick) && IsEnabled()) {
        OpenPicker();
        return;
    }
    CLabelUI::DoEvent(event);
}

void CDateTimeUI::SetPos(RECT rc) {
    CLabelUI::SetPos(rc);
    if (m_picker)
        m_picker->Place();
}

void CDateTimeUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    if (!visible)
        ClosePicker();
}

void CDateTimeUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!enabled)
        ClosePicker();
}

} // namespace skinui

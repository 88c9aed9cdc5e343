#include "skinui/extras/DateTimeUI.h"

#include <cwchar>

namespace skinui {

CDateTimeUI::CDateTimeUI() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    SetTime(now);
}

const wchar_t* CDateTimeUI::GetClass() const {
    return kClassName;
}

void* CDateTimeUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

void CDateTimeUI::SetTime(const SYSTEMTIME& time) {
    m_time = time;
    wchar_t text[32];
    swprintf(text, 32, L"%4d-%02d-%02d", m_time.wYear, m_time.wMonth, m_time.wDay);
    SetText(text);
}

} // namespace skinui

#include "skinui/extras/OptionExUI.h"

namespace skinui {

const wchar_t* COptionExUI::GetClass() const {
    return kClassName;
}

void* COptionExUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return COptionUI::GetInterface(name);
}

void COptionExUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"forenormalimage")
        m_foreNormalImage = value;
    else if (name == L"forehotimage")
        m_foreHotImage = value;
    else if (name == L"forepushedimage")
        m_forePushedImage = value;
    else if (name == L"foredisabledimage")
        m_foreDisabledImage = value;
    else {
        COptionUI::SetAttribute(name, value);
        return;
    }
    Invalidate();
}

void COptionExUI::PaintStatusImage(HDC dc) {
    COptionUI::PaintStatusImage(dc);
    if (!IsEnabled() && DrawOrClear(dc, m_foreDisabledImage))
        return;
    if (IsEnabled() && IsPushedNow() && DrawOrClear(dc, m_forePushedImage))
        return;
    if (IsEnabled() && IsHotNow() && DrawOrClear(dc, m_foreHotImage))
        return;
    DrawOrClear(dc, m_foreNormalImage);
}

} // namespace skinui

#include "skinui/layouts/VerticalLayoutUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/layouts/BoxLayout.h"

namespace skinui {

const wchar_t* CVerticalLayoutUI::GetClass() const {
    return kClassName;
}

void* CVerticalLayoutUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CVerticalLayoutUI::GetControlFlags() const {
    return (IsEnabled() && m_separator.GetSize() != 0) ? kFlagSetCursor : 0;
}

void CVerticalLayoutUI::DoEvent(UiEvent& event) {
    if (m_separator.HandleEvent(*this, event))
        return;
    CContainerUI::DoEvent(event);
}

void CVerticalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"sepheight")
        m_separator.SetSize(ParseIntValue(value));
    else if (name == L"sepimm")
        m_separator.SetImmediate(ParseBoolValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CVerticalLayoutUI::DoPostPaint(HDC dc, const RECT& /*paint*/) {
    m_separator.PaintPreview(dc);
}

void CVerticalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const RECT content = ContentRect();
    const BoxNeeds needs = LayOutBox(*this, content, Axis::Vertical);
    ProcessScrollBar(content, needs.width, needs.height);
}

} // namespace skinui

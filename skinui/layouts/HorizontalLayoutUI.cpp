#include "skinui/layouts/HorizontalLayoutUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/layouts/BoxLayout.h"

namespace skinui {

const wchar_t* CHorizontalLayoutUI::GetClass() const {
    return kClassName;
}

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CHorizontalLayoutUI::GetControlFlags() const {
    return (IsEnabled() && m_separator.GetSize() != 0) ? kFlagSetCursor : 0;
}

void CHorizontalLayoutUI::DoEvent(UiEvent& event) {
    if (m_separator.HandleEvent(*this, event))
        return;
    CContainerUI::DoEvent(event);
}

void CHorizontalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"sepwidth")
        m_separator.SetSize(ParseIntValue(value));
    else if (name == L"sepimm")
        m_separator.SetImmediate(ParseBoolValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CHorizontalLayoutUI::DoPostPaint(HDC dc, const RECT& /*paint*/) {
    m_separator.PaintPreview(dc);
}

void CHorizontalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const RECT content = ContentRect();
    const BoxNeeds needs = LayOutBox(*this, content, Axis::Horizontal);
    ProcessScrollBar(content, needs.width, needs.height);
}

} // namespace skinui

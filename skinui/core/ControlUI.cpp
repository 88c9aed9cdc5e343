#include "skinui/core/ControlUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/ImagePainter.h"
#include "skinui/render/RenderEngine.h"

#include <algorithm>

namespace skinui {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    for (auto& handler : OnDestroy)
        handler(*this);
    if (m_manager)
        m_manager->ReapObjects(this);
}

std::wstring CControlUI::GetName() const {
    return m_name;
}

void CControlUI::SetName(const std::wstring& name) {
    m_name = name;
}

const wchar_t* CControlUI::GetClass() const {
    return kClassName;
}

void* CControlUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return nullptr;
}

UINT CControlUI::GetControlFlags() const {
    return 0;
}

bool CControlUI::Activate() {
    return IsVisible() && IsEnabled();
}

SkinWindowManager* CControlUI::GetManager() const {
    return m_manager;
}

void CControlUI::SetManager(SkinWindowManager* manager, CControlUI* parent, bool init) {
    m_manager = manager;
    m_parent = parent;
    if (init)
        DoInit();
}

CControlUI* CControlUI::GetParent() const {
    return m_parent;
}

std::wstring CControlUI::GetText() const {
    return m_text;
}

void CControlUI::SetText(const std::wstring& text) {
    if (m_text == text)
        return;
    m_text = text;
    Invalidate();
    if (m_manager)
        m_manager->NotifyAccessibility(EVENT_OBJECT_NAMECHANGE, this);
}

void CControlUI::SetAccName(const std::wstring& name) {
    if (m_accName == name)
        return;
    m_accName = name;
    if (m_manager)
        m_manager->NotifyAccessibility(EVENT_OBJECT_NAMECHANGE, this);
}

const RECT& CControlUI::GetPos() const {
    return m_pos;
}

void CControlUI::SetPos(RECT rc) {
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    RECT old = m_pos;
    m_pos = rc;
    m_updateNeeded = false;
    for (auto& handler : OnSize)
        handler(*this);
    if (m_float && m_relativePos.enabled && m_parent) {
        const RECT& parent = m_parent->GetPos();
        m_relativeParentSize = {parent.right - parent.left, parent.bottom - parent.top};
    }
    if (m_manager) {
        m_manager->Invalidate(old);
        m_manager->Invalidate(m_pos);
    }
}

RECT CControlUI::GetPadding() const {
    return m_padding;
}

void CControlUI::SetPadding(RECT padding) {
    m_padding = padding;
    m_float ? NeedUpdate() : NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const {
    return m_fixedXY;
}

void CControlUI::SetFixedXY(SIZE xy) {
    m_fixedXY = xy;
    if (m_float)
        NeedUpdate();
    else
        NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const {
    return m_fixedWidth;
}

void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0)
        return;
    m_fixedWidth = cx;
    m_float ? NeedUpdate() : NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const {
    return m_fixedHeight;
}

void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0)
        return;
    m_fixedHeight = cy;
    m_float ? NeedUpdate() : NeedParentUpdate();
}

int CControlUI::GetMinWidth() const {
    return m_minWidth;
}

void CControlUI::SetMinWidth(int cx) {
    if (cx < 0 || m_minWidth == cx)
        return;
    m_minWidth = cx;
    m_float ? NeedUpdate() : NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const {
    return m_maxWidth;
}

void CControlUI::SetMaxWidth(int cx) {
    if (cx < 0 || m_maxWidth == cx)
        return;
    m_maxWidth = cx;
    m_float ? NeedUpdate() : NeedParentUpdate();
}

int CControlUI::GetMinHeight() const {
    return m_minHeight;
}

void CControlUI::SetMinHeight(int cy) {
    if (cy < 0 || m_minHeight == cy)
        return;
    m_minHeight = cy;
    m_float ? NeedUpdate() : NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const {
    return m_maxHeight;
}

void CControlUI::SetMaxHeight(int cy) {
    if (cy < 0 || m_maxHeight == cy)
        return;
    m_maxHeight = cy;
    m_float ? NeedUpdate() : NeedParentUpdate();
}

void CControlUI::SetRelativePos(SIZE move, SIZE zoom) {
    m_relativePos.enabled = true;
    m_relativePos.moveXPercent = move.cx;
    m_relativePos.moveYPercent = move.cy;
    m_relativePos.zoomXPercent = zoom.cx;
    m_relativePos.zoomYPercent = zoom.cy;
}

void CControlUI::SetToolTip(const std::wstring& text) {
    m_tooltip = text;
}

void CControlUI::SetShortcut(wchar_t ch) {
    m_shortcut = ch;
}

void CControlUI::SetContextMenuUsed(bool used) {
    m_menuUsed = used;
}

void CControlUI::SetUserData(const std::wstring& text) {
    m_userData = text;
}

bool CControlUI::IsVisible() const {
    return m_visible;
}

void CControlUI::SetVisible(bool visible) {
    if (m_visible == visible)
        return;
    const bool hadFocus = m_focused;
    m_visible = visible;
    if (hadFocus && !visible && m_manager)
        m_manager->SetFocus(nullptr);
    NeedParentUpdate();
    if (m_manager)
        m_manager->NotifyAccessibility(visible ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, this);
}

bool CControlUI::IsEnabled() const {
    return m_enabled;
}

void CControlUI::SetEnabled(bool enabled) {
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Invalidate();
    if (m_manager)
        m_manager->NotifyAccessibility(EVENT_OBJECT_STATECHANGE, this);
}

bool CControlUI::IsMouseEnabled() const {
    return m_mouseEnabled;
}

void CControlUI::SetMouseEnabled(bool enabled) {
    m_mouseEnabled = enabled;
}

bool CControlUI::IsKeyboardEnabled() const {
    return m_keyboardEnabled;
}

void CControlUI::SetKeyboardEnabled(bool enabled) {
    m_keyboardEnabled = enabled;
}

bool CControlUI::IsFocused() const {
    return m_focused;
}

void CControlUI::SetFocus() {
    if (m_manager)
        m_manager->SetFocus(this);
}

bool CControlUI::IsFloat() const {
    return m_float;
}

void CControlUI::SetFloat(bool isFloat) {
    if (m_float == isFloat)
        return;
    m_float = isFloat;
    NeedParentUpdate();
}

CControlUI* CControlUI::FindControl(const FindControlProc& proc, void* data, UINT flags) {
    if ((flags & kFindVisible) && !IsVisible())
        return nullptr;
    if ((flags & kFindEnabled) && !IsEnabled())
        return nullptr;
    if ((flags & kFindHitTest) &&
        (!IsMouseEnabled() || !PtInRect(&m_pos, *static_cast<const POINT*>(data))))
        return nullptr;
    return proc(this, data);
}

void CControlUI::DoInit() {
    for (auto& handler : OnInit)
        handler(*this);
}

void CControlUI::Event(UiEvent& event) {
    bool proceed = true;
    for (auto& handler : OnEvent)
        proceed = handler(event) && proceed;
    if (proceed)
        DoEvent(event);
}

void CControlUI::DoEvent(UiEvent& event) {
    switch (event.type) {
    case kEventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return;
    case kEventSetFocus:
        m_focused = true;
        Invalidate();
        return;
    case kEventKillFocus:
        m_focused = false;
        Invalidate();
        return;
    case kEventTimer:
        if (m_manager)
            m_manager->SendNotify(this, L"timer", event.wParam, event.lParam);
        return;
    case kEventContextMenu:
        if (m_menuUsed && m_manager)
            m_manager->SendNotify(this, L"menu", event.wParam, event.lParam);
        return;
    default:
        break;
    }
    if (m_parent)
        m_parent->DoEvent(event);
}

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"pos") {
        const RECT rc = ParseRectValue(value);
        SIZE xy{rc.left >= 0 ? rc.left : rc.right, rc.top >= 0 ? rc.top : rc.bottom};
        SetFixedXY(xy);
        SetFixedWidth(rc.right - rc.left);
        SetFixedHeight(rc.bottom - rc.top);
    } else if (name == L"relativepos") {
        const RECT rc = ParseRectValue(value);
        SetRelativePos({rc.left, rc.top}, {rc.right, rc.bottom});
    } else if (name == L"padding") {
        SetPadding(ParseRectValue(value));
    } else if (name == L"bkcolor" || name == L"bkcolor1") {
        SetBkColor(ParseColorValue(value));
    } else if (name == L"bkcolor2") {
        m_bkColor2 = ParseColorValue(value);
        Invalidate();
    } else if (name == L"bkcolor3") {
        m_bkColor3 = ParseColorValue(value);
        Invalidate();
    } else if (name == L"bordercolor") {
        SetBorderColor(ParseColorValue(value));
    } else if (name == L"focusbordercolor") {
        m_focusBorderColor = ParseColorValue(value);
        Invalidate();
    } else if (name == L"colorhsl") {
        m_colorHsl = ParseBoolValue(value);
    } else if (name == L"bordersize") {
        if (value.find(L',') == std::wstring::npos) {
            SetBorderSize(ParseIntValue(value));
            m_sideBorderSize = {};
        } else {
            m_sideBorderSize = ParseRectValue(value);
            Invalidate();
        }
    } else if (name == L"leftbordersize") {
        m_sideBorderSize.left = ParseIntValue(value);
    } else if (name == L"topbordersize") {
        m_sideBorderSize.top = ParseIntValue(value);
    } else if (name == L"rightbordersize") {
        m_sideBorderSize.right = ParseIntValue(value);
    } else if (name == L"bottombordersize") {
        m_sideBorderSize.bottom = ParseIntValue(value);
    } else if (name == L"borderstyle") {
        m_borderStyle = ParseIntValue(value);
    } else if (name == L"borderround") {
        m_borderRound = ParseSizeValue(value);
    } else if (name == L"bkimage") {
        SetBkImage(value);
    } else if (name == L"width") {
        SetFixedWidth(ParseIntValue(value));
    } else if (name == L"height") {
        SetFixedHeight(ParseIntValue(value));
    } else if (name == L"minwidth") {
        SetMinWidth(ParseIntValue(value));
    } else if (name == L"minheight") {
        SetMinHeight(ParseIntValue(value));
    } else if (name == L"maxwidth") {
        SetMaxWidth(ParseIntValue(value));
    } else if (name == L"maxheight") {
        SetMaxHeight(ParseIntValue(value));
    } else if (name == L"name") {
        SetName(value);
    } else if (name == L"text") {
        SetText(value);
    } else if (name == L"tooltip") {
        SetToolTip(value);
    } else if (name == L"accname") {
        SetAccName(value);
    } else if (name == L"accrole") {
        SetAccRole(value);
    } else if (name == L"userdata") {
        SetUserData(value);
    } else if (name == L"enabled") {
        SetEnabled(ParseBoolValue(value));
    } else if (name == L"mouse") {
        SetMouseEnabled(ParseBoolValue(value));
    } else if (name == L"keyboard") {
        SetKeyboardEnabled(ParseBoolValue(value));
    } else if (name == L"visible") {
        SetVisible(ParseBoolValue(value));
    } else if (name == L"float") {
        SetFloat(ParseBoolValue(value));
    } else if (name == L"menu") {
        SetContextMenuUsed(ParseBoolValue(value));
    } else if (name == L"shortcut") {
        SetShortcut(value.empty() ? 0 : value[0]);
    } else if (name == L"virtualwnd") {
        SetVirtualWnd(value);
    }
}

SIZE CControlUI::EstimateSize(SIZE /*available*/) {
    return SIZE{m_fixedWidth, m_fixedHeight};
}

void CControlUI::DoPaint(HDC dc, const RECT& paint) {
    RECT visible;
    if (!IntersectRect(&visible, &paint, &m_pos))
        return;
    if (m_borderRound.cx > 0 || m_borderRound.cy > 0) {
        render::ClipScope clip(dc, m_pos, m_borderRound);
        PaintBkColor(dc);
        PaintBkImage(dc);
        PaintStatusImage(dc);
        PaintText(dc);
        PaintBorder(dc);
        return;
    }
    PaintBkColor(dc);
    PaintBkImage(dc);
    PaintStatusImage(dc);
    PaintText(dc);
    PaintBorder(dc);
}

void CControlUI::PaintBkColor(HDC dc) {
    if (m_bkColor == 0)
        return;
    const DWORD color = GetAdjustColor(m_bkColor);
    if (m_bkColor2 == 0) {
        render::FillColor(dc, m_pos, color);
        return;
    }
    const DWORD color2 = GetAdjustColor(m_bkColor2);
    if (m_bkColor3 == 0) {
        render::FillGradient(dc, m_pos, color, color2);
        return;
    }
    const LONG middle = m_pos.top + (m_pos.bottom - m_pos.top) / 2;
    render::FillGradient(dc, {m_pos.left, m_pos.top, m_pos.right, middle}, color, color2);
    render::FillGradient(dc, {m_pos.left, middle, m_pos.right, m_pos.bottom}, color2,
                         GetAdjustColor(m_bkColor3));
}

void CControlUI::PaintBkImage(HDC dc) {
    if (m_bkImage.empty())
        return;
    if (!DrawImage(dc, m_bkImage))
        m_bkImage.clear();
}

void CControlUI::PaintStatusImage(HDC /*dc*/) {}

void CControlUI::PaintText(HDC /*dc*/) {}

void CControlUI::PaintBorder(HDC dc) {
    if (m_borderColor == 0 && m_focusBorderColor == 0)
        return;
    const DWORD borderColor = GetAdjustColor(m_borderColor);
    const DWORD focusBorderColor = GetAdjustColor(m_focusBorderColor);
    if (m_borderSize > 0 && (m_borderRound.cx > 0 || m_borderRound.cy > 0)) {
        const DWORD color = (m_focused && m_focusBorderColor != 0) ? focusBorderColor : borderColor;
        render::DrawRoundRect(dc, m_pos, m_borderSize, m_borderRound, color);
        return;
    }
    if (m_focused && m_focusBorderColor != 0 && m_borderSize > 0) {
        render::DrawRect(dc, m_pos, m_borderSize, focusBorderColor);
        return;
    }
    const RECT& side = m_sideBorderSize;
    if (side.left == 0 && side.top == 0 && side.right == 0 && side.bottom == 0) {
        if (m_borderSize > 0)
            render::DrawRect(dc, m_pos, m_borderSize, borderColor);
        return;
    }
    const RECT& rc = m_pos;
    if (side.left > 0)
        render::DrawLine(dc, {rc.left + side.left / 2, rc.top},
                         {rc.left + side.left / 2, rc.bottom}, side.left, borderColor,
                         m_borderStyle);
    if (side.top > 0)
        render::DrawLine(dc, {rc.left, rc.top + side.top / 2}, {rc.right, rc.top + side.top / 2},
                         side.top, borderColor, m_borderStyle);
    if (side.right > 0)
        render::DrawLine(dc, {rc.right - (side.right + 1) / 2, rc.top},
                         {rc.right - (side.right + 1) / 2, rc.bottom}, side.right, borderColor,
                         m_borderStyle);
    if (side.bottom > 0)
        render::DrawLine(dc, {rc.left, rc.bottom - (side.bottom + 1) / 2},
                         {rc.right, rc.bottom - (side.bottom + 1) / 2}, side.bottom, borderColor,
                         m_borderStyle);
}

DWORD CControlUI::GetAdjustColor(DWORD color) const {
    if (!m_colorHsl || !m_manager)
        return color;
    return markup::AdjustColor(color, m_manager->GetHslAdjustment());
}

void CControlUI::DoPostPaint(HDC /*dc*/, const RECT& /*paint*/) {}

void CControlUI::ApplyAttributeList(const std::wstring& list) {
    for (const auto& [name, value] : ParseAttributeListValue(list))
        SetAttribute(name, value);
}

void CControlUI::Invalidate() {
    if (m_manager && IsVisible())
        m_manager->Invalidate(m_pos);
}

void CControlUI::NeedUpdate() {
    if (!IsVisible())
        return;
    m_updateNeeded = true;
    Invalidate();
    if (m_manager)
        m_manager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    if (m_parent) {
        m_parent->NeedUpdate();
        m_parent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_manager)
        m_manager->NeedUpdate();
}

bool CControlUI::DrawImage(HDC dc, const std::wstring& descriptor,
                           const markup::ImageOverride& override) {
    return m_manager && DrawImageDescriptor(dc, m_manager->Images(), m_pos, descriptor, override);
}

std::wstring CControlUI::GetVirtualWnd() const {
    if (!m_virtualWnd.empty() || !m_parent)
        return m_virtualWnd;
    return m_parent->GetVirtualWnd();
}

void CControlUI::SetBkColor(DWORD color) {
    if (m_bkColor == color)
        return;
    m_bkColor = color;
    Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& descriptor) {
    if (m_bkImage == descriptor)
        return;
    m_bkImage = descriptor;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
    if (m_borderColor == color)
        return;
    m_borderColor = color;
    Invalidate();
}

void CControlUI::SetBorderSize(int size) {
    if (m_borderSize == size)
        return;
    m_borderSize = size;
    Invalidate();
}

} // namespace skinui

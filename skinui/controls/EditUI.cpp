#include "skinui/controls/EditUI.h"

#include "skinui/controls/EditWnd.h"
#include "skinui/core/AttributeValues.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

namespace skinui {
namespace {

constexpr int kDefaultMaxChar = 255;
constexpr DWORD kDefaultEditBkColor = 0xFFFFFFFF;
constexpr RECT kDefaultEditTextPadding{4, 3, 4, 3};

} // namespace

CEditUI::CEditUI() : m_maxChar(kDefaultMaxChar), m_tipValueColor(kDefaultTipValueColor) {
    m_textPadding = kDefaultEditTextPadding;
    m_bkColor = kDefaultEditBkColor;
}

CEditUI::~CEditUI() {
    if (m_window)
        m_window->Abandon();
}

const wchar_t* CEditUI::GetClass() const {
    return kClassName;
}

void* CEditUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const {
    return IsEnabled() ? (kFlagTabStop | kFlagSetCursor) : 0;
}

HWND CEditUI::GetNativeWindow() const {
    return m_window ? m_window->GetHWND() : nullptr;
}

void CEditUI::SetText(const std::wstring& text) {
    m_text = text;
    if (HWND edit = GetNativeWindow())
        SetWindowTextW(edit, m_text.c_str());
    Invalidate();
}

void CEditUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_hot = false;
    if (HWND edit = GetNativeWindow())
        EnableWindow(edit, IsEnabled());
}

void CEditUI::SetVisible(bool visible) {
    CLabelUI::SetVisible(visible);
    if (!IsVisible())
        CloseNativeEdit();
}

void CEditUI::SetPos(RECT rc) {
    CLabelUI::SetPos(rc);
    if (HWND edit = GetNativeWindow()) {
        RECT place = NativeEditRect();
        if (m_manager && m_manager->IsLayered())
            MapWindowPoints(m_manager->GetPaintWindow(), nullptr, reinterpret_cast<POINT*>(&place),
                            2);
        SetWindowPos(edit, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CEditUI::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    if (HWND edit = GetNativeWindow())
        SendMessageW(edit, EM_SETREADONLY, m_readOnly, 0);
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly) {
    m_numberOnly = numberOnly;
    if (HWND edit = GetNativeWindow()) {
        const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
        SetWindowLongPtrW(edit, GWL_STYLE, numberOnly ? (style | ES_NUMBER) : (style & ~ES_NUMBER));
    }
}

void CEditUI::SetPasswordMode(bool password) {
    if (m_password == password)
        return;
    m_password = password;
    Invalidate();
}

void CEditUI::SetPasswordChar(wchar_t ch) {
    if (m_passwordChar == ch)
        return;
    m_passwordChar = ch;
    if (HWND edit = GetNativeWindow())
        SendMessageW(edit, EM_SETPASSWORDCHAR, m_passwordChar, 0);
    Invalidate();
}

void CEditUI::SetMaxChar(int maxChar) {
    m_maxChar = maxChar;
    if (HWND edit = GetNativeWindow())
        SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(m_maxChar), 0);
}

void CEditUI::SetTipValue(const std::wstring& text) {
    m_tipValue = text;
    Invalidate();
}

RECT CEditUI::NativeEditRect() const {
    RECT rc = TextRect();
    if (m_manager) {
        const LONG fontHeight = m_manager->GetFontInfo(m_font).metrics.tmHeight;
        if (fontHeight > 0 && rc.bottom - rc.top > fontHeight) {
            rc.top += (rc.bottom - rc.top - fontHeight) / 2;
            rc.bottom = rc.top + fontHeight;
        }
    }
    return rc;
}

void CEditUI::OpenNativeEdit() {
    if (m_window && m_window->IsClosing()) {
        // Focus left the edit a moment ago and came back before the close was processed.
        m_window->Abandon();
        m_window = nullptr;
    }
    if (m_window || !m_manager || !m_manager->GetPaintWindow())
        return;
    m_window = new CEditWnd(*this);
    if (!m_window->Open()) {
        // The window never existed, so nothing else will free it.
        delete m_window;
        m_window = nullptr;
    }
    Invalidate();
}

void CEditUI::CloseNativeEdit() {
    if (m_window)
        m_window->CloseSoon();
}

void CEditUI::DoEvent(UiEvent& event) {
    if (PassMouseToParentOrLabel(event))
        return;
    switch (event.type) {
    case kEventSetCursor:
        if (IsEnabled()) {
            ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
            return;
        }
        break;
    case kEventWindowSize:
        if (m_window && m_manager)
            m_manager->SetFocusNeeded(this);
        return;
    case kEventScrollWheel:
        if (m_window)
            return;
        break;
    case kEventSetFocus:
        m_focused = true;
        if (IsEnabled())
            OpenNativeEdit();
        Invalidate();
        return;
    case kEventKillFocus:
        m_focused = false;
        CloseNativeEdit();
        Invalidate();
        return;
    case kEventButtonDown:
    case kEventDblClick:
    case kEventRButtonDown:
        if (IsFocused() && IsEnabled() && (!m_window || m_window->IsClosing())) {
            OpenNativeEdit();
            if (!PtInRect(&m_pos, event.mouse))
                return;
        }
        if (HWND edit = GetNativeWindow())
            SendMessageW(edit, EM_SETSEL, 0, -1);
        return;
    case kEventMouseEnter:
        if (IsEnabled()) {
            m_hot = true;
            Invalidate();
        }
        return;
    case kEventMouseLeave:
        if (IsEnabled()) {
            m_hot = false;
            Invalidate();
        }
        return;
    case kEventMouseMove:
    case kEventButtonUp:
    case kEventContextMenu:
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (m_stateImages.SetAttribute(name, value))
        return;
    if (name == L"readonly")
        SetReadOnly(ParseBoolValue(value));
    else if (name == L"numberonly")
        SetNumberOnly(ParseBoolValue(value));
    else if (name == L"password")
        SetPasswordMode(ParseBoolValue(value));
    else if (name == L"passwordchar")
        SetPasswordChar(value.empty() ? L'*' : value[0]);
    else if (name == L"maxchar")
        SetMaxChar(ParseIntValue(value));
    else if (name == L"tipvalue")
        SetTipValue(value);
    else if (name == L"tipvaluecolor")
        m_tipValueColor = ParseColorValue(value);
    else if (name == L"nativetextcolor")
        m_nativeTextColor = ParseColorValue(value);
    else if (name == L"nativebkcolor")
        m_nativeBkColor = ParseColorValue(value);
    else
        CLabelUI::SetAttribute(name, value);
}

void CEditUI::PaintStatusImage(HDC dc) {
    m_stateImages.Paint(*this, dc, m_hot);
}

void CEditUI::PaintText(HDC dc) {
    if (!m_manager)
        return;
    const RECT rc = TextRect();
    const UINT style = (m_textStyle & ~DT_WORDBREAK) | DT_SINGLELINE | DT_NOPREFIX;
    if (m_text.empty() || m_text == m_tipValue) {
        if (!m_tipValue.empty())
            DrawSkinText(dc, m_manager, rc, m_tipValue, m_tipValueColor, m_font, style);
        return;
    }
    const std::wstring shown = m_password ? std::wstring(m_text.size(), m_passwordChar) : m_text;
    DWORD color = m_textColor ? m_textColor : m_manager->GetDefaultFontColor();
    if (!IsEnabled())
        color = m_disabledTextColor ? m_disabledTextColor : m_manager->GetDisabledColor();
    DrawSkinText(dc, m_manager, rc, shown, color, m_font, style);
}

} // namespace skinui

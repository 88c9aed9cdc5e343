#include "skinui/controls/EditWnd.h"

#include "skinui/controls/EditUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/core/UiProcess.h"
#include "skinui/render/RenderEngine.h"

namespace skinui {

CEditWnd::CEditWnd(CEditUI& owner) : m_owner(&owner) {}

CEditWnd::~CEditWnd() = default;

const wchar_t* CEditWnd::WindowClassName() const {
    return L"SkinUiEditWnd";
}

const wchar_t* CEditWnd::SuperClassName() const {
    return L"EDIT";
}

bool CEditWnd::Open() {
    SkinWindowManager* manager = m_owner->GetManager();
    if (!manager || !manager->GetPaintWindow())
        return false;
    HWND host = manager->GetPaintWindow();
    RECT rc = m_owner->NativeEditRect();
    DWORD style = ES_AUTOHSCROLL | WS_VISIBLE;
    if (m_owner->IsPasswordMode())
        style |= ES_PASSWORD;
    if (m_owner->IsNumberOnly())
        style |= ES_NUMBER;
    if (manager->IsLayered()) {
        // A layered window cannot show child windows, so the edit floats above it.
        MapWindowPoints(host, nullptr, reinterpret_cast<POINT*>(&rc), 2);
        style |= WS_POPUP;
    } else {
        style |= WS_CHILD;
    }
    m_opening = true;
    if (!Create(host, nullptr, style & ~WS_VISIBLE, manager->IsLayered() ? WS_EX_TOOLWINDOW : 0,
                rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top)) {
        m_opening = false;
        return false;
    }
    manager->AddMessageFilter(this);
    HFONT font = manager->GetFont(m_owner->m_font);
    ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageW(m_hwnd, EM_LIMITTEXT, static_cast<WPARAM>(m_owner->GetMaxChar()), 0);
    if (m_owner->IsPasswordMode())
        ::SendMessageW(m_hwnd, EM_SETPASSWORDCHAR, m_owner->GetPasswordChar(), 0);
    SetWindowTextW(m_hwnd, m_owner->GetText().c_str());
    ::SendMessageW(m_hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    EnableWindow(m_hwnd, m_owner->IsEnabled());
    ::SendMessageW(m_hwnd, EM_SETREADONLY, m_owner->IsReadOnly(), 0);
    if (m_owner->GetNativeBkColor() != 0)
        m_bkBrush.reset(CreateSolidBrush(render::ToColorRef(m_owner->GetNativeBkColor())));
    ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hwnd);
    m_opening = false;
    return true;
}

void CEditWnd::Abandon() {
    if (m_owner && m_owner->GetManager())
        m_owner->GetManager()->RemoveMessageFilter(this);
    m_owner = nullptr;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

void CEditWnd::CloseSoon() {
    if (m_hwnd && !m_closing) {
        m_closing = true;
        PostMessage(WM_CLOSE);
    }
}

LRESULT CEditWnd::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (!m_hwnd || reinterpret_cast<HWND>(lParam) != m_hwnd)
        return 0;
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        handled = true;
        OnTextChanged();
        return 0;
    }
    if ((message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) && m_bkBrush && m_owner) {
        handled = true;
        HDC dc = reinterpret_cast<HDC>(wParam);
        DWORD textColor = m_owner->GetNativeTextColor();
        SetTextColor(dc, render::ToColorRef(
                             textColor ? textColor : m_owner->GetManager()->GetDefaultFontColor()));
        SetBkColor(dc, render::ToColorRef(m_owner->GetNativeBkColor()));
        return reinterpret_cast<LRESULT>(m_bkBrush.get());
    }
    return 0;
}

void CEditWnd::OnTextChanged() {
    if (m_opening || !m_owner)
        return;
    const int length = GetWindowTextLengthW(m_hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(m_hwnd, text.data(), length + 1)));
    // The edit also reports refused input (beyond the maximum length) as a change.
    if (text == m_owner->m_text)
        return;
    m_owner->m_text = text;
    m_owner->Invalidate();
    if (SkinWindowManager* manager = m_owner->GetManager())
        manager->SendNotify(m_owner, L"textchanged");
}

LRESULT CEditWnd::RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KILLFOCUS: {
        const LRESULT result = CallPreviousProc(message, wParam, lParam);
        CloseSoon();
        return result;
    }
    case WM_CLOSE:
        DestroyWindow(m_hwnd);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN && m_owner) {
            if (SkinWindowManager* manager = m_owner->GetManager())
                manager->SendNotify(m_owner, L"return");
            return 0;
        }
        if (wParam == VK_TAB && m_owner && m_owner->GetManager() &&
            !UiProcess::IsMessageLoopRunning()) {
            MSG msg{m_hwnd, message, wParam, lParam, 0, {}};
            if (UiProcess::TranslateMessage(&msg))
                return 0;
        }
        break;
    case WM_CHAR:
        // The edit would beep at the Enter and Tab characters a single line cannot take.
        if (wParam == VK_RETURN || wParam == VK_TAB)
            return 0;
        break;
    default:
        break;
    }
    return CallPreviousProc(message, wParam, lParam);
}

void CEditWnd::OnLastMessage(HWND /*hwnd*/) {
    if (m_owner) {
        if (SkinWindowManager* manager = m_owner->GetManager())
            manager->RemoveMessageFilter(this);
        m_owner->m_window = nullptr;
        m_owner->Invalidate();
    }
    delete this;
}

} // namespace skinui

#include "skinui/controls/RichEditUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

#include <algorithm>

namespace skinui {
namespace {

constexpr int kDefaultRichEditMaxChar = 32767;
constexpr int kWheelLines = 3;

bool IsMouseMessage(UINT message) {
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL;
}

bool IsKeyboardMessage(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_KEYLAST) ||
           (message >= WM_IME_SETCONTEXT && message <= WM_IME_KEYUP);
}

} // namespace

CRichEditUI::CRichEditUI() : m_tipValueColor(kDefaultTipValueColor) {
    m_settings.maxLength = kDefaultRichEditMaxChar;
}

CRichEditUI::~CRichEditUI() {
    if (m_manager) {
        if (m_filterRegistered)
            m_manager->RemoveMessageFilter(this);
        m_manager->KillTimer(this);
    }
    if (m_host)
        m_host->Shutdown();
}

const wchar_t* CRichEditUI::GetClass() const {
    return kClassName;
}

void* CRichEditUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const {
    if (!IsEnabled())
        return 0;
    return kFlagTabStop | kFlagSetCursor | (m_wantTab ? kFlagWantTab : 0);
}

LRESULT CRichEditUI::SendEngineMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    LRESULT result = 0;
    if (m_host && m_host->Services())
        m_host->Services()->TxSendMessage(message, wParam, lParam, &result);
    return result;
}

std::wstring CRichEditUI::GetText() const {
    if (!m_host)
        return m_text;
    const auto length = static_cast<size_t>(SendEngineMessage(WM_GETTEXTLENGTH));
    std::wstring text(length + 1, L'\0');
    const auto copied = static_cast<size_t>(
        SendEngineMessage(WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

void CRichEditUI::SetText(const std::wstring& text) {
    m_text = text;
    if (m_host) {
        m_host->Services()->TxSetText(m_text.c_str());
        SyncScrollBar();
    }
    Invalidate();
}

void CRichEditUI::SetEnabled(bool enabled) {
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_hot = false;
}

void CRichEditUI::SetReadOnly(bool readOnly) {
    m_settings.readOnly = readOnly;
    if (m_host)
        m_host->SetReadOnly(readOnly);
}

void CRichEditUI::SetFont(int index) {
    m_font = index;
    if (m_host && m_manager)
        m_host->SetFont(m_manager->GetFont(m_font));
    Invalidate();
}

void CRichEditUI::SetTextColor(DWORD color) {
    m_textColor = color;
    if (m_host)
        m_host->SetTextColor(render::ToColorRef(color));
    Invalidate();
}

void CRichEditUI::SetMaxChar(int maxChar) {
    m_settings.maxLength = std::max(0, maxChar);
    if (m_host)
        m_host->SetMaxLength(m_settings.maxLength);
}

RECT CRichEditUI::TextRect() const {
    RECT rc = PadRect(ContentRect(), m_textPadding);
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    return rc;
}

void CRichEditUI::DoInit() {
    CContainerUI::DoInit();
    if (!m_host)
        CreateEngine();
}

void CRichEditUI::CreateEngine() {
    if (!m_manager || !m_manager->GetPaintWindow())
        return;
    TextHostSettings settings = m_settings;
    settings.font = m_manager->GetFont(m_font);
    settings.textColor =
        render::ToColorRef(m_textColor ? m_textColor : m_manager->GetDefaultFontColor());
    settings.wordWrap = !m_settings.hScroll;
    m_host = CTxtWinHost::Create(*this, settings);
    if (!m_host)
        return;
    m_host->SetClientRect(TextRect());
    if (!m_text.empty())
        m_host->Services()->TxSetText(m_text.c_str());
    m_manager->AddMessageFilter(this);
    m_filterRegistered = true;
    NeedUpdate();
}

void CRichEditUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const RECT content = ContentRect();
    if (CScrollBarUI* bar = GetVerticalScrollBar(); bar && bar->IsVisible())
        bar->SetPos(
            {content.right, content.top, content.right + bar->GetFixedWidth(), content.bottom});
    if (CScrollBarUI* bar = GetHorizontalScrollBar(); bar && bar->IsVisible())
        bar->SetPos(
            {content.left, content.bottom, content.right, content.bottom + bar->GetFixedHeight()});
    if (!m_host)
        return;
    m_host->SetClientRect(TextRect());
    // The bar taking or giving back its width re-wraps the text once more.
    if (SyncScrollBar() && !m_laidOutAgain) {
        m_laidOutAgain = true;
        SetPos(m_pos);
        m_laidOutAgain = false;
    }
}

namespace {

// The engine reports the text's extent as the range; what can scroll is the part beyond the
// view. True when the bar appeared or vanished.
bool SyncBar(CScrollBarUI* bar, LONG minimum, LONG maximum, LONG position, LONG page,
             LONG viewLength) {
    if (!bar)
        return false;
    const LONG range = std::max<LONG>(0, maximum - minimum - std::max<LONG>(page, viewLength));
    const bool show = range > 0;
    const bool changed = show != bar->IsVisible();
    bar->SetVisible(show);
    bar->SetScrollRange(static_cast<int>(range));
    bar->SetScrollPos(static_cast<int>(position - minimum));
    return changed;
}

} // namespace

bool CRichEditUI::SyncScrollBar() {
    if (!m_host)
        return false;
    const RECT view = TextRect();
    LONG minimum = 0, maximum = 0, position = 0, page = 0;
    BOOL enabled = FALSE;
    m_host->Services()->TxGetVScroll(&minimum, &maximum, &position, &page, &enabled);
    bool changed =
        SyncBar(GetVerticalScrollBar(), minimum, maximum, position, page, view.bottom - view.top);
    minimum = maximum = position = page = 0;
    m_host->Services()->TxGetHScroll(&minimum, &maximum, &position, &page, &enabled);
    changed = SyncBar(GetHorizontalScrollBar(), minimum, maximum, position, page,
                      view.right - view.left) ||
              changed;
    return changed;
}

void CRichEditUI::OnEngineScrollChanged() {
    // The engine calls this from inside its own processing, so the layout waits for the next
    // paint instead of re-wrapping the text now.
    if (SyncScrollBar())
        NeedUpdate();
    Invalidate();
}

void CRichEditUI::ScrollEngine(WORD action) {
    if (!m_host)
        return;
    SendEngineMessage(WM_VSCROLL, MAKEWPARAM(action, 0), 0);
    SyncScrollBar();
    Invalidate();
}

void CRichEditUI::ScrollEngineAcross(WORD action) {
    if (!m_host)
        return;
    SendEngineMessage(WM_HSCROLL, MAKEWPARAM(action, 0), 0);
    SyncScrollBar();
    Invalidate();
}

void CRichEditUI::LineLeft() {
    ScrollEngineAcross(SB_LINELEFT);
}

void CRichEditUI::LineRight() {
    ScrollEngineAcross(SB_LINERIGHT);
}

void CRichEditUI::PageLeft() {
    ScrollEngineAcross(SB_PAGELEFT);
}

void CRichEditUI::PageRight() {
    ScrollEngineAcross(SB_PAGERIGHT);
}

void CRichEditUI::SetScrollPos(SIZE position) {
    if (!m_host)
        return;
    POINT pt{std::max<LONG>(0, position.cx), std::max<LONG>(0, position.cy)};
    SendEngineMessage(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pt));
    SyncScrollBar();
    Invalidate();
}

void CRichEditUI::LineUp() {
    ScrollEngine(SB_LINEUP);
}

void CRichEditUI::LineDown() {
    ScrollEngine(SB_LINEDOWN);
}

void CRichEditUI::PageUp() {
    ScrollEngine(SB_PAGEUP);
}

void CRichEditUI::PageDown() {
    ScrollEngine(SB_PAGEDOWN);
}

bool CRichEditUI::IsEngineMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (IsKeyboardMessage(message))
        return m_manager->GetFocus() == this;
    if (!IsMouseMessage(message))
        return false;
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const RECT text = TextRect();
    if (PtInRect(&text, pt) && IsVisible() && IsEnabled())
        return m_manager->FindControl(pt) == this;
    // A selection drag goes on outside the text while the button is held.
    return m_manager->GetFocus() == this &&
           ((message == WM_MOUSEMOVE && (wParam & MK_LBUTTON)) || message == WM_LBUTTONUP);
}

LRESULT CRichEditUI::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (!m_host || !m_manager || !IsEngineMessage(message, wParam, lParam))
        return 0;
    if (message == WM_KEYDOWN || message == WM_CHAR) {
        if (wParam == VK_TAB && !m_wantTab)
            return 0;
        if (wParam == VK_RETURN) {
            const bool control = GetKeyState(VK_CONTROL) < 0;
            if (!(control ? m_wantCtrlReturn : m_wantReturn)) {
                if (message == WM_KEYDOWN)
                    m_manager->SendNotify(this, L"return");
                handled = true;
                return 0;
            }
        }
    }
    LRESULT result = 0;
    const HRESULT hr = m_host->Services()->TxSendMessage(message, wParam, lParam, &result);
    // Mouse messages go on to the window as well, so focus and hot tracking keep working.
    if (IsKeyboardMessage(message))
        handled = hr != S_FALSE && hr != S_MSG_KEY_IGNORED;
    return result;
}

void CRichEditUI::DoEvent(UiEvent& event) {
    if (IsMouseEventForParent(*this, event)) {
        CContainerUI::DoEvent(event);
        return;
    }
    if (TrackHot(*this, event, m_hot))
        return;
    switch (event.type) {
    case kEventSetCursor: {
        const RECT text = TextRect();
        if (m_host && PtInRect(&text, event.mouse)) {
            ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
            return;
        }
        break;
    }
    case kEventSetFocus:
        m_focused = true;
        if (m_host) {
            m_host->Services()->OnTxUIActivate();
            SendEngineMessage(WM_SETFOCUS);
        }
        Invalidate();
        return;
    case kEventKillFocus:
        m_focused = false;
        if (m_host) {
            SendEngineMessage(WM_KILLFOCUS);
            m_host->Services()->OnTxUIDeactivate();
        }
        Invalidate();
        return;
    case kEventTimer:
        SendEngineMessage(WM_TIMER, event.wParam, event.lParam);
        return;
    case kEventScrollWheel:
        if (m_host) {
            for (int i = 0; i < kWheelLines; ++i)
                LOWORD(event.wParam) == SB_LINEUP ? LineUp() : LineDown();
            return;
        }
        break;
    case kEventButtonDown:
    case kEventButtonUp:
    case kEventDblClick:
    case kEventRButtonDown:
    case kEventMouseMove:
        return;
    default:
        break;
    }
    CContainerUI::DoEvent(event);
}

void CRichEditUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (m_stateImages.SetAttribute(name, value))
        return;
    if (name == L"vscrollbar") {
        m_settings.vScroll = ParseBoolValue(value);
        EnableScrollBar(m_settings.vScroll, GetHorizontalScrollBar() != nullptr);
    } else if (name == L"autovscroll") {
        m_settings.autoVScroll = ParseBoolValue(value);
    } else if (name == L"hscrollbar") {
        m_settings.hScroll = ParseBoolValue(value);
        EnableScrollBar(GetVerticalScrollBar() != nullptr, m_settings.hScroll);
    } else if (name == L"autohscroll") {
        m_settings.autoHScroll = ParseBoolValue(value);
    } else if (name == L"wanttab") {
        m_wantTab = ParseBoolValue(value);
    } else if (name == L"wantreturn") {
        m_wantReturn = ParseBoolValue(value);
    } else if (name == L"wantctrlreturn") {
        m_wantCtrlReturn = ParseBoolValue(value);
    } else if (name == L"rich") {
        m_settings.richText = ParseBoolValue(value);
    } else if (name == L"multiline") {
        if (value == L"false")
            m_settings.multiLine = false;
    } else if (name == L"readonly") {
        SetReadOnly(ParseBoolValue(value));
    } else if (name == L"password") {
        if (value == L"true")
            m_settings.password = true;
    } else if (name == L"align") {
        if (value.find(L"left") != std::wstring::npos)
            m_settings.align = PFA_LEFT;
        else if (value.find(L"center") != std::wstring::npos)
            m_settings.align = PFA_CENTER;
        else if (value.find(L"right") != std::wstring::npos)
            m_settings.align = PFA_RIGHT;
    } else if (name == L"font") {
        SetFont(ParseIntValue(value));
    } else if (name == L"textcolor") {
        SetTextColor(ParseColorValue(value));
    } else if (name == L"maxchar") {
        SetMaxChar(ParseIntValue(value));
    } else if (name == L"textpadding") {
        m_textPadding = ParseRectValue(value);
        NeedUpdate();
    } else if (name == L"tipvalue") {
        m_tipValue = value;
    } else if (name == L"tipvaluecolor") {
        m_tipValueColor = ParseColorValue(value);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

void CRichEditUI::PaintStatusImage(HDC dc) {
    m_stateImages.Paint(*this, dc, m_hot);
}

void CRichEditUI::PaintText(HDC dc) {
    if (!m_host || !m_manager)
        return;
    const RECT text = TextRect();
    if (IsRectEmpty(&text))
        return;
    if (!m_tipValue.empty() && !IsFocused() && SendEngineMessage(WM_GETTEXTLENGTH) == 0) {
        DrawSkinText(dc, m_manager, text, m_tipValue, m_tipValueColor, m_font,
                     DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    render::ClipScope clip(dc, text);
    RECTL bounds{text.left, text.top, text.right, text.bottom};
    m_host->Services()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, dc, nullptr, &bounds, nullptr,
                               nullptr, nullptr, 0, TXTVIEW_ACTIVE);
}

} // namespace skinui

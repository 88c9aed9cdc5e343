#include "skinui/extras/ComboWnd.h"

#include "skinui/extras/ListInfo.h"
#include "skinui/layouts/VerticalLayoutUI.h"

#include <algorithm>

namespace skinui {
namespace {

constexpr UINT kCloseMessage = WM_APP + 0x31;
constexpr DWORD kStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

} // namespace

// The drop-down's root: a vertical layout that shows items it does not own.
class CComboBodyUI : public CVerticalLayoutUI {
public:
    ~CComboBodyUI() override { m_items.clear(); }

    void Lend(const std::vector<CControlUI*>& items) {
        m_items = items;
        for (CControlUI* item : m_items)
            item->SetManager(m_manager, this, false);
        NeedUpdate();
    }

    void GiveBack(SkinWindowManager* manager, CControlUI* owner) {
        for (CControlUI* item : m_items)
            item->SetManager(manager, owner, false);
        m_items.clear();
    }

    // The sum of the items' heights as they would be laid out at width, with the inset.
    LONG NeededHeight(LONG width) {
        LONG height = m_inset.top + m_inset.bottom;
        for (CControlUI* item : m_items) {
            if (!item->IsVisible())
                continue;
            const SIZE size = item->EstimateSize({width, 0});
            height += std::max<LONG>(size.cy, item->GetFixedHeight()) + m_childPadding;
        }
        return std::max<LONG>(height - (m_items.empty() ? 0 : m_childPadding), 1);
    }

    void SetPos(RECT rc) override {
        CVerticalLayoutUI::SetPos(rc);
        if (m_scrollToSelection >= 0) {
            const int index = m_scrollToSelection;
            m_scrollToSelection = -1;
            ScrollTo(index);
        }
    }

    void ShowItem(int index) {
        m_scrollToSelection = index;
        NeedUpdate();
    }

private:
    void ScrollTo(int index) {
        if (index < 0 || index >= GetCount() || !m_verticalScrollBar ||
            !m_verticalScrollBar->IsVisible())
            return;
        const RECT view = ContentRect();
        const RECT item = GetItemAt(index)->GetPos();
        SIZE position = GetScrollPos();
        if (item.top < view.top)
            position.cy -= view.top - item.top;
        else if (item.bottom > view.bottom)
            position.cy += item.bottom - view.bottom;
        else
            return;
        SetScrollPos(position);
    }

    int m_scrollToSelection = -1;
};

CComboWnd* CComboWnd::Open(IComboDropOwner& combo) {
    SkinWindowManager* owner = combo.DropOwnerControl()->GetManager();
    if (!owner || !owner->GetPaintWindow())
        return nullptr;
    auto* wnd = new CComboWnd(combo);
    if (!wnd->Create(owner->GetPaintWindow(), L"", kStyle, kExStyle, 0, 0, 1, 1)) {
        delete wnd;
        return nullptr;
    }
    return wnd;
}

RECT CComboWnd::PlaceBelowOrAbove() const {
    const RECT pos = m_combo->DropOwnerControl()->GetPos();
    POINT topLeft{pos.left, pos.top};
    POINT bottomRight{pos.right, pos.bottom};
    HWND ownerWindow = m_combo->DropOwnerControl()->GetManager()->GetPaintWindow();
    ClientToScreen(ownerWindow, &topLeft);
    ClientToScreen(ownerWindow, &bottomRight);
    const SIZE box = m_combo->GetDropBoxSize();
    const LONG width = box.cx > 0 ? box.cx : bottomRight.x - topLeft.x;
    LONG height = m_body->NeededHeight(width);
    if (box.cy > 0)
        height = std::min<LONG>(height, box.cy);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(ownerWindow, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& screen = monitor.rcWork;
    RECT rc{topLeft.x, bottomRight.y, topLeft.x + width, bottomRight.y + height};
    if (rc.bottom > screen.bottom && topLeft.y - height >= screen.top)
        rc = {topLeft.x, topLeft.y - height, topLeft.x + width, topLeft.y};
    if (rc.right > screen.right)
        OffsetRect(&rc, std::max<LONG>(screen.left - rc.left, screen.right - rc.right), 0);
    return rc;
}

LRESULT CComboWnd::RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        m_manager.Init(m_hwnd);
        m_manager.CopySkinResources(*m_combo->DropOwnerControl()->GetManager());
        m_body = new CComboBodyUI;
        m_body->SetManager(&m_manager, nullptr, false);
        m_body->EnableScrollBar(true, false);
        const std::wstring dropbox = m_combo->GetDropBoxAttributeList();
        if (!dropbox.empty())
            m_body->ApplyAttributeList(dropbox);
        m_body->Lend(m_combo->Items());
        m_manager.AttachDialog(m_body);
        const RECT rc = PlaceBelowOrAbove();
        SetWindowPos(m_hwnd, HWND_TOPMOST, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_SHOWWINDOW);
        SetActiveWindow(m_hwnd);
        ::SetFocus(m_hwnd);
        ShowSelection();
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            CloseSoon();
        break;
    case WM_KILLFOCUS:
        // Focus going to a window of another thread or to nothing ends the drop-down as well.
        if (!wParam || (GetWindowThreadProcessId(reinterpret_cast<HWND>(wParam), nullptr) !=
                        GetCurrentThreadId()))
            CloseSoon();
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (OnKey(wParam))
            return 0;
        break;
    case kCloseMessage:
        CloseDropDown();
        return 0;
    default:
        break;
    }
    LRESULT result = 0;
    if (m_manager.MessageHandler(message, wParam, lParam, result))
        return result;
    return CallPreviousProc(message, wParam, lParam);
}

bool CComboWnd::OnKey(WPARAM key) {
    if (!m_combo)
        return false;
    const bool alt = GetKeyState(VK_MENU) < 0;
    switch (key) {
    case VK_ESCAPE:
    case VK_RETURN:
    case VK_F4:
        CloseSoon();
        return true;
    case VK_UP:
    case VK_DOWN:
        if (alt) {
            CloseSoon();
            return true;
        }
        m_combo->SelectItem(StepSelection(m_combo->GetCurSel(),
                                          static_cast<int>(m_combo->Items().size()), key == VK_UP));
        ShowSelection();
        return true;
    case VK_HOME:
    case VK_END:
        m_combo->SelectItem(key == VK_HOME ? 0 : static_cast<int>(m_combo->Items().size()) - 1);
        ShowSelection();
        return true;
    default:
        return false;
    }
}

void CComboWnd::ShowSelection() {
    if (m_body && m_combo)
        m_body->ShowItem(m_combo->GetCurSel());
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CComboWnd::CloseSoon() {
    if (!m_closing && m_hwnd) {
        m_closing = true;
        ::PostMessageW(m_hwnd, kCloseMessage, 0, 0);
    }
}

void CComboWnd::ReturnItems() {
    if (!m_combo)
        return;
    IComboDropOwner* combo = m_combo;
    m_combo = nullptr;
    if (m_body)
        m_body->GiveBack(combo->DropOwnerControl()->GetManager(), combo->DropOwnerControl());
    combo->OnDropDownClosed(this);
}

void CComboWnd::CloseDropDown() {
    ReturnItems();
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

void CComboWnd::OnLastMessage(HWND /*hwnd*/) {
    ReturnItems();
    m_manager.DetachWindow();
    delete this;
}

} // namespace skinui

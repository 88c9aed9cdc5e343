#include "skinui/core/ContainerUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

#include <algorithm>
#include <cassert>

namespace skinui {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    // Delayed destruction only matters for removals during the container's life.
    m_delayedDestroy = false;
    RemoveAll();
}

const wchar_t* CContainerUI::GetClass() const {
    return kClassName;
}

void* CContainerUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, IContainerUI::kInterfaceName) == 0)
        return static_cast<IContainerUI*>(this);
    if (name && wcscmp(name, kInterfaceName) == 0)
        return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i] == control)
            return static_cast<int>(i);
    return -1;
}

int CContainerUI::GetCount() const {
    return static_cast<int>(m_items.size());
}

bool CContainerUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (!control || index < 0 || index > GetCount())
        return false;
    if (m_manager)
        m_manager->InitControls(control, this);
    else
        control->SetManager(nullptr, this, false);
    m_items.insert(m_items.begin() + index, control);
    if (IsVisible())
        NeedUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* control) {
    return RemoveAt(GetItemIndex(control));
}

bool CContainerUI::RemoveAt(int index) {
    if (index < 0 || index >= GetCount())
        return false;
    CControlUI* control = m_items[static_cast<size_t>(index)];
    m_items.erase(m_items.begin() + index);
    DestroyChild(control);
    NeedUpdate();
    return true;
}

void CContainerUI::RemoveAll() {
    std::vector<CControlUI*> items;
    items.swap(m_items);
    for (CControlUI* control : items)
        DestroyChild(control);
    if (!items.empty())
        NeedUpdate();
}

void CContainerUI::DestroyChild(CControlUI* control) {
    if (m_delayedDestroy && m_manager)
        m_manager->AddDelayedCleanup(control);
    else
        delete control;
}

void CContainerUI::DoEvent(UiEvent& event) {
    // Without mouse-child only the children lose the mouse (hit testing sees to that); the
    // container keeps its own wheel and menu handling.
    if (PassMouseToParent(*this, event))
        return;
    if (event.type == kEventScrollWheel && m_verticalScrollBar &&
        m_verticalScrollBar->IsVisible() && m_verticalScrollBar->IsEnabled()) {
        if (LOWORD(event.wParam) == SB_LINEUP)
            LineUp();
        else
            LineDown();
        return;
    }
    CControlUI::DoEvent(event);
}

void CContainerUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (m_verticalScrollBar)
        m_verticalScrollBar->SetEnabled(enabled);
    if (m_horizontalScrollBar)
        m_horizontalScrollBar->SetEnabled(enabled);
}

void CContainerUI::SetVisible(bool visible) {
    if (m_visible == visible)
        return;
    CControlUI::SetVisible(visible);
    if (!visible && m_manager) {
        CControlUI* focus = m_manager->GetFocus();
        for (CControlUI* walk = focus; walk; walk = walk->GetParent())
            if (walk == this) {
                m_manager->SetFocus(nullptr);
                break;
            }
    }
}

RECT CContainerUI::ContentRect() const {
    RECT rc = m_pos;
    rc.left += m_inset.left;
    rc.top += m_inset.top;
    rc.right -= m_inset.right;
    rc.bottom -= m_inset.bottom;
    if (m_verticalScrollBar && m_verticalScrollBar->IsVisible())
        rc.right -= m_verticalScrollBar->GetFixedWidth();
    if (m_horizontalScrollBar && m_horizontalScrollBar->IsVisible())
        rc.bottom -= m_horizontalScrollBar->GetFixedHeight();
    return rc;
}

void CContainerUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const RECT content = ContentRect();
    ProcessScrollBar(content, -1, -1);
    if (m_items.empty())
        return;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = m_items[static_cast<size_t>(i)];
        if (!child->IsVisible())
            continue;
        if (child->IsFloat())
            SetFloatPos(i);
        else
            child->SetPos(content);
    }
}

void CContainerUI::SetFloatPos(int index) {
    assert(index >= 0 && index < GetCount());
    CControlUI* child = GetItemAt(index);
    if (!child || !child->IsVisible() || !child->IsFloat())
        return;
    const SIZE xy = child->GetFixedXY();
    const int width = child->GetFixedWidth();
    const int height = child->GetFixedHeight();
    RECT rc{};
    if (xy.cx >= 0) {
        rc.left = m_pos.left + xy.cx;
        rc.right = rc.left + width;
    } else {
        rc.right = m_pos.right + xy.cx;
        rc.left = rc.right - width;
    }
    if (xy.cy >= 0) {
        rc.top = m_pos.top + xy.cy;
        rc.bottom = rc.top + height;
    } else {
        rc.bottom = m_pos.bottom + xy.cy;
        rc.top = rc.bottom - height;
    }
    if (child->IsRelativePos()) {
        SIZE& remembered = child->RelativeParentSize();
        const SIZE now{m_pos.right - m_pos.left, m_pos.bottom - m_pos.top};
        if (remembered.cx != 0 || remembered.cy != 0) {
            // Relative children follow the parent's change since they were last placed, so
            // they keep their own current rectangle as the starting point.
            const RelativePos relative = child->GetRelativePos();
            const LONG dx = now.cx - remembered.cx;
            const LONG dy = now.cy - remembered.cy;
            rc = child->GetPos();
            const LONG width = (rc.right - rc.left) + dx * relative.zoomXPercent / 100;
            const LONG height = (rc.bottom - rc.top) + dy * relative.zoomYPercent / 100;
            rc.left += dx * relative.moveXPercent / 100;
            rc.top += dy * relative.moveYPercent / 100;
            rc.right = rc.left + width;
            rc.bottom = rc.top + height;
        }
        remembered = now;
    }
    child->SetPos(rc);
}

void CContainerUI::DoPaint(HDC dc, const RECT& paint) {
    RECT dirty;
    if (!IntersectRect(&dirty, &paint, &m_pos))
        return;
    {
        render::ClipScope clip(dc, dirty);
        CControlUI::DoPaint(dc, dirty);
    }
    if (m_items.empty()) {
        PaintScrollBars(dc, dirty);
        return;
    }
    const RECT content = ContentRect();
    for (CControlUI* child : m_items) {
        if (!child->IsVisible())
            continue;
        const RECT& childPos = child->GetPos();
        RECT tmp;
        if (!IntersectRect(&tmp, &dirty, &childPos))
            continue;
        if (child->IsFloat()) {
            if (!IntersectRect(&tmp, &m_pos, &childPos))
                continue;
            render::ClipScope clip(dc, m_pos);
            child->DoPaint(dc, dirty);
        } else {
            if (!IntersectRect(&tmp, &content, &childPos))
                continue;
            RECT inner;
            IntersectRect(&inner, &content, &dirty);
            render::ClipScope clip(dc, inner);
            child->DoPaint(dc, dirty);
        }
    }
    PaintScrollBars(dc, dirty);
}

void CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"inset")
        SetInset(ParseRectValue(value));
    else if (name == L"childpadding")
        SetChildPadding(ParseIntValue(value));
    else if (name == L"mousechild")
        SetMouseChildEnabled(ParseBoolValue(value));
    else if (name == L"scrollstepsize")
        m_scrollStepSize = ParseIntValue(value);
    else if (name == L"vscrollbar")
        EnableScrollBar(ParseBoolValue(value), m_horizontalScrollBar != nullptr);
    else if (name == L"hscrollbar")
        EnableScrollBar(m_verticalScrollBar != nullptr, ParseBoolValue(value));
    else if (name == L"vscrollbarstyle") {
        EnableScrollBar(true, m_horizontalScrollBar != nullptr);
        m_verticalScrollBar->ApplyAttributeList(value);
    } else if (name == L"hscrollbarstyle") {
        EnableScrollBar(m_verticalScrollBar != nullptr, true);
        m_horizontalScrollBar->ApplyAttributeList(value);
    } else
        CControlUI::SetAttribute(name, value);
}

void CContainerUI::SetManager(SkinWindowManager* manager, CControlUI* parent, bool init) {
    if (m_verticalScrollBar)
        m_verticalScrollBar->SetManager(manager, this, init);
    if (m_horizontalScrollBar)
        m_horizontalScrollBar->SetManager(manager, this, init);
    for (CControlUI* child : m_items)
        child->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

CControlUI* CContainerUI::FindControl(const FindControlProc& proc, void* data, UINT flags) {
    if ((flags & kFindVisible) && !IsVisible())
        return nullptr;
    if ((flags & kFindEnabled) && !IsEnabled())
        return nullptr;
    if ((flags & kFindHitTest)) {
        const POINT pt = *static_cast<const POINT*>(data);
        if (!PtInRect(&m_pos, pt))
            return nullptr;
        if (!m_mouseChildEnabled) {
            for (CScrollBarUI* bar : {m_verticalScrollBar.get(), m_horizontalScrollBar.get()})
                if (bar)
                    if (CControlUI* found = bar->FindControl(proc, data, flags))
                        return found;
            return CControlUI::FindControl(proc, data, flags);
        }
    }
    if (flags & kFindMeFirst) {
        if (CControlUI* found = CControlUI::FindControl(proc, data, flags))
            return found;
    }
    for (CScrollBarUI* bar : {m_verticalScrollBar.get(), m_horizontalScrollBar.get()})
        if (bar)
            if (CControlUI* found = bar->FindControl(proc, data, flags))
                return found;
    const RECT content = ContentRect();
    auto visit = [&](CControlUI* child) -> CControlUI* {
        CControlUI* found = child->FindControl(proc, data, flags);
        if (!found)
            return nullptr;
        if ((flags & kFindHitTest) && !child->IsFloat() &&
            !PtInRect(&content, *static_cast<const POINT*>(data)))
            return nullptr;
        return found;
    };
    if (flags & kFindTopFirst) {
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
            if (CControlUI* found = visit(*it))
                return found;
    } else {
        for (CControlUI* child : m_items)
            if (CControlUI* found = visit(child))
                return found;
    }
    if (flags & kFindMeFirst)
        return nullptr;
    return CControlUI::FindControl(proc, data, flags);
}

void CContainerUI::SetInset(RECT inset) {
    m_inset = inset;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
    m_childPadding = padding;
    NeedUpdate();
}

void CContainerUI::PaintScrollBars(HDC dc, const RECT& dirty) {
    for (CScrollBarUI* bar : {m_verticalScrollBar.get(), m_horizontalScrollBar.get()}) {
        if (!bar || !bar->IsVisible())
            continue;
        render::ClipScope clip(dc, dirty);
        bar->DoPaint(dc, dirty);
    }
}

std::unique_ptr<CScrollBarUI> CContainerUI::MakeScrollBar(bool horizontal) {
    auto bar = std::make_unique<CScrollBarUI>();
    bar->SetHorizontal(horizontal);
    bar->SetOwner(this);
    // Hidden until a layout finds content beyond the view.
    bar->SetVisible(false);
    bar->SetManager(m_manager, this, false);
    if (m_manager) {
        const std::wstring defaults =
            m_manager->GetDefaultAttributeList(horizontal ? L"HScrollBar" : L"VScrollBar");
        if (!defaults.empty())
            bar->ApplyAttributeList(defaults);
    }
    return bar;
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
    if (vertical && !m_verticalScrollBar)
        m_verticalScrollBar = MakeScrollBar(false);
    else if (!vertical && m_verticalScrollBar)
        m_verticalScrollBar.reset();
    if (horizontal && !m_horizontalScrollBar)
        m_horizontalScrollBar = MakeScrollBar(true);
    else if (!horizontal && m_horizontalScrollBar)
        m_horizontalScrollBar.reset();
    NeedUpdate();
}

SIZE CContainerUI::GetScrollPos() const {
    SIZE pos{};
    if (m_verticalScrollBar && m_verticalScrollBar->IsVisible())
        pos.cy = m_verticalScrollBar->GetScrollPos();
    if (m_horizontalScrollBar && m_horizontalScrollBar->IsVisible())
        pos.cx = m_horizontalScrollBar->GetScrollPos();
    return pos;
}

SIZE CContainerUI::GetScrollRange() const {
    SIZE range{};
    if (m_verticalScrollBar && m_verticalScrollBar->IsVisible())
        range.cy = m_verticalScrollBar->GetScrollRange();
    if (m_horizontalScrollBar && m_horizontalScrollBar->IsVisible())
        range.cx = m_horizontalScrollBar->GetScrollRange();
    return range;
}

void CContainerUI::SetScrollPos(SIZE position) {
    const SIZE old = GetScrollPos();
    if (m_verticalScrollBar && m_verticalScrollBar->IsVisible())
        m_verticalScrollBar->SetScrollPos(position.cy);
    if (m_horizontalScrollBar && m_horizontalScrollBar->IsVisible())
        m_horizontalScrollBar->SetScrollPos(position.cx);
    const SIZE now = GetScrollPos();
    if (now.cx == old.cx && now.cy == old.cy)
        return;
    SetPos(m_pos);
    Invalidate();
}

void CContainerUI::ScrollStep(Axis axis, bool page, int direction) {
    const bool horizontal = axis == Axis::Horizontal;
    LONG step = 0;
    if (page) {
        const RECT content = ContentRect();
        step = std::max<LONG>(1, horizontal ? content.right - content.left
                                            : content.bottom - content.top);
    } else if (m_scrollStepSize > 0) {
        step = m_scrollStepSize;
    } else {
        const CScrollBarUI* bar =
            horizontal ? m_horizontalScrollBar.get() : m_verticalScrollBar.get();
        step = bar ? bar->GetLineSize() : 8;
    }
    SIZE pos = GetScrollPos();
    (horizontal ? pos.cx : pos.cy) += direction * step;
    SetScrollPos(pos);
}

void CContainerUI::LineUp() {
    ScrollStep(Axis::Vertical, false, -1);
}

void CContainerUI::LineDown() {
    ScrollStep(Axis::Vertical, false, 1);
}

void CContainerUI::PageUp() {
    ScrollStep(Axis::Vertical, true, -1);
}

void CContainerUI::PageDown() {
    ScrollStep(Axis::Vertical, true, 1);
}

void CContainerUI::LineLeft() {
    ScrollStep(Axis::Horizontal, false, -1);
}

void CContainerUI::LineRight() {
    ScrollStep(Axis::Horizontal, false, 1);
}

void CContainerUI::PageLeft() {
    ScrollStep(Axis::Horizontal, true, -1);
}

void CContainerUI::PageRight() {
    ScrollStep(Axis::Horizontal, true, 1);
}

void CContainerUI::ProcessScrollBar(const RECT& content, long neededWidth, long neededHeight) {
    bool relayout = false;
    auto update = [&relayout](CScrollBarUI& bar, long excess) {
        if (excess > 0) {
            if (!bar.IsVisible()) {
                bar.SetVisible(true);
                bar.SetScrollPos(0);
                relayout = true;
            }
            const int before = bar.GetScrollPos();
            bar.SetScrollRange(static_cast<int>(excess));
            if (bar.GetScrollPos() != before)
                relayout = true;
        } else if (bar.IsVisible()) {
            bar.SetVisible(false);
            bar.SetScrollPos(0);
            bar.SetScrollRange(0);
            relayout = true;
        }
    };
    if (m_horizontalScrollBar) {
        if (neededWidth >= 0)
            update(*m_horizontalScrollBar, neededWidth - (content.right - content.left));
        if (m_horizontalScrollBar->IsVisible())
            m_horizontalScrollBar->SetPos(
                {content.left, content.bottom, content.right,
                 content.bottom + m_horizontalScrollBar->GetFixedHeight()});
    }
    if (m_verticalScrollBar) {
        if (neededHeight >= 0)
            update(*m_verticalScrollBar, neededHeight - (content.bottom - content.top));
        if (m_verticalScrollBar->IsVisible())
            m_verticalScrollBar->SetPos({content.right, content.top,
                                         content.right + m_verticalScrollBar->GetFixedWidth(),
                                         content.bottom});
    }
    if (relayout && !m_relayingOut) {
        m_relayingOut = true;
        SetPos(m_pos);
        m_relayingOut = false;
    }
}

} // namespace skinui

#include "skinui/layouts/LayoutSeparator.h"

#include "skinui/core/ControlParts.h"
#include "skinui/core/ControlUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

#include <algorithm>

namespace skinui {
namespace {

constexpr DWORD kPreviewColor = 0xAA000000;

} // namespace

RECT LayoutSeparator::Band(const RECT& pos) const {
    RECT band = pos;
    if (m_vertical) {
        if (m_size >= 0)
            band.top = pos.bottom - m_size;
        else
            band.bottom = pos.top - m_size;
    } else {
        if (m_size >= 0)
            band.left = pos.right - m_size;
        else
            band.right = pos.left - m_size;
    }
    return band;
}

bool LayoutSeparator::HandleEvent(CControlUI& owner, const UiEvent& event) {
    if (m_size == 0 || !owner.IsEnabled())
        return false;
    SkinWindowManager* manager = owner.GetManager();
    switch (event.type) {
    case kEventButtonDown:
    case kEventDblClick: {
        const RECT band = Band(owner.GetPos());
        if (!PtInRect(&band, event.mouse))
            return false;
        m_dragging = true;
        m_last = event.mouse;
        m_preview = owner.GetPos();
        if (!m_immediate && manager)
            manager->AddPostPaint(&owner);
        return true;
    }
    case kEventMouseMove: {
        if (!m_dragging)
            return false;
        const LONG delta = m_vertical ? event.mouse.y - m_last.y : event.mouse.x - m_last.x;
        m_last = event.mouse;
        RECT rc = m_preview;
        const bool movesFarEdge = m_size >= 0;
        LONG& edge =
            m_vertical ? (movesFarEdge ? rc.bottom : rc.top) : (movesFarEdge ? rc.right : rc.left);
        const LONG oldExtent = m_vertical ? rc.bottom - rc.top : rc.right - rc.left;
        const int low = m_vertical ? owner.GetMinHeight() : owner.GetMinWidth();
        const int high = m_vertical ? owner.GetMaxHeight() : owner.GetMaxWidth();
        // A fast drag past a limit stops the edge at the limit rather than short of it.
        const LONG extent = ClampExtent(oldExtent + (movesFarEdge ? delta : -delta), low, high);
        edge += movesFarEdge ? extent - oldExtent : oldExtent - extent;
        if (extent == oldExtent)
            return true;
        m_preview = rc;
        if (m_immediate) {
            if (m_vertical)
                owner.SetFixedHeight(extent);
            else
                owner.SetFixedWidth(extent);
        } else if (manager) {
            RECT dirty;
            UnionRect(&dirty, &m_preview, &owner.GetPos());
            manager->Invalidate(dirty);
        }
        return true;
    }
    case kEventButtonUp: {
        if (!m_dragging)
            return false;
        m_dragging = false;
        if (!m_immediate) {
            if (manager)
                manager->RemovePostPaint(&owner);
            if (m_vertical)
                owner.SetFixedHeight(m_preview.bottom - m_preview.top);
            else
                owner.SetFixedWidth(m_preview.right - m_preview.left);
        }
        return true;
    }
    case kEventSetCursor: {
        const RECT band = Band(owner.GetPos());
        if (!PtInRect(&band, event.mouse))
            return false;
        ::SetCursor(LoadCursorW(nullptr, m_vertical ? IDC_SIZENS : IDC_SIZEWE));
        return true;
    }
    default:
        return false;
    }
}

void LayoutSeparator::PaintPreview(HDC dc) const {
    if (m_dragging && !m_immediate)
        render::FillColor(dc, m_preview, kPreviewColor);
}

} // namespace skinui

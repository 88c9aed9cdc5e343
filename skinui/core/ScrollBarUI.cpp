#include "skinui/core/ScrollBarUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

#include <algorithm>

namespace skinui {
namespace {

// Thickness of a bar until a skin sets it (the skins' "VScrollBar" default does).
constexpr int kDefaultScrollBarSize = 16;
constexpr UINT kRepeatTimerKey = 10;
constexpr UINT kRepeatIntervalMs = 50;
// A held press starts repeating after this many timer ticks.
constexpr int kRepeatDelayTicks = 5;

bool IsEmpty(const RECT& rc) {
    return rc.right <= rc.left || rc.bottom <= rc.top;
}

} // namespace

CScrollBarUI::CScrollBarUI() {
    m_fixedWidth = kDefaultScrollBarSize;
}

CScrollBarUI::~CScrollBarUI() = default;

const wchar_t* CScrollBarUI::GetClass() const {
    return kClassName;
}

void* CScrollBarUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CScrollBarUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!enabled)
        StopTracking();
}

void CScrollBarUI::SetHorizontal(bool horizontal) {
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    if (horizontal && m_fixedWidth == kDefaultScrollBarSize && m_fixedHeight == 0) {
        m_fixedWidth = 0;
        m_fixedHeight = kDefaultScrollBarSize;
    } else if (!horizontal && m_fixedHeight == kDefaultScrollBarSize && m_fixedWidth == 0) {
        m_fixedHeight = 0;
        m_fixedWidth = kDefaultScrollBarSize;
    }
    LayoutParts();
    Invalidate();
}

void CScrollBarUI::SetScrollRange(int range) {
    range = std::max(0, range);
    if (m_range == range)
        return;
    m_range = range;
    m_position = std::min(m_position, m_range);
    LayoutParts();
    Invalidate();
}

void CScrollBarUI::SetScrollPos(int position) {
    position = std::clamp(position, 0, m_range);
    if (m_position == position)
        return;
    m_position = position;
    LayoutParts();
    Invalidate();
}

void CScrollBarUI::SetLineSize(int size) {
    m_lineSize = std::max(1, size);
}

void CScrollBarUI::SetShowButton1(bool show) {
    m_showButton1 = show;
    LayoutParts();
    Invalidate();
}

void CScrollBarUI::SetShowButton2(bool show) {
    m_showButton2 = show;
    LayoutParts();
    Invalidate();
}

void CScrollBarUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    LayoutParts();
}

int CScrollBarUI::CrossSize() const {
    const int fixed = m_horizontal ? m_fixedHeight : m_fixedWidth;
    if (fixed > 0)
        return fixed;
    return m_horizontal ? m_pos.bottom - m_pos.top : m_pos.right - m_pos.left;
}

int CScrollBarUI::Length() const {
    return m_horizontal ? m_pos.right - m_pos.left : m_pos.bottom - m_pos.top;
}

// Computed along the bar's axis as offsets from its start, then mapped onto the rectangle.
void CScrollBarUI::LayoutParts() {
    const int w = CrossSize();
    const int length = Length();
    const int shown = (m_showButton1 ? 1 : 0) + (m_showButton2 ? 1 : 0);
    int button1End = 0;
    int button2Start = length;
    int thumbStart = 0;
    int thumbEnd = 0;
    const int rail = length - shown * w;
    if (w >= rail) {
        const int button = shown > 0 ? std::min(w, length / 2) : 0;
        button1End = m_showButton1 ? button : 0;
        button2Start = m_showButton2 ? length - button : length;
    } else {
        button1End = m_showButton1 ? w : 0;
        button2Start = m_showButton2 ? length - w : length;
        if (m_range <= 0) {
            thumbStart = button1End;
            thumbEnd = button2Start;
        } else {
            const long long thumb =
                std::max<long long>(w, static_cast<long long>(length) * rail /
                                           (static_cast<long long>(length) + m_range));
            thumbStart = button1End + static_cast<int>((rail - thumb) * m_position / m_range);
            thumbStart = std::min<int>(thumbStart, button2Start - static_cast<int>(thumb));
            thumbEnd = thumbStart + static_cast<int>(thumb);
        }
    }
    auto span = [this](int from, int to) {
        if (to <= from)
            return RECT{};
        if (m_horizontal)
            return RECT{m_pos.left + from, m_pos.top, m_pos.left + to, m_pos.bottom};
        return RECT{m_pos.left, m_pos.top + from, m_pos.right, m_pos.top + to};
    };
    m_button1 = m_showButton1 ? span(0, button1End) : RECT{};
    m_button2 = m_showButton2 ? span(button2Start, length) : RECT{};
    m_thumb = span(thumbStart, thumbEnd);
}

CScrollBarUI::Part CScrollBarUI::PartAt(POINT pt) const {
    if (!PtInRect(&m_pos, pt))
        return Part::None;
    if (PtInRect(&m_button1, pt))
        return Part::Button1;
    if (PtInRect(&m_button2, pt))
        return Part::Button2;
    if (PtInRect(&m_thumb, pt))
        return Part::Thumb;
    if (IsEmpty(m_thumb))
        return Part::None;
    const bool before = m_horizontal ? pt.x < m_thumb.left : pt.y < m_thumb.top;
    return before ? Part::RailBefore : Part::RailAfter;
}

void CScrollBarUI::LineBack() {
    if (m_owner)
        m_horizontal ? m_owner->LineLeft() : m_owner->LineUp();
    else
        SetScrollPos(m_position - m_lineSize);
}

void CScrollBarUI::LineForward() {
    if (m_owner)
        m_horizontal ? m_owner->LineRight() : m_owner->LineDown();
    else
        SetScrollPos(m_position + m_lineSize);
}

void CScrollBarUI::PageBack() {
    if (m_owner)
        m_horizontal ? m_owner->PageLeft() : m_owner->PageUp();
    else
        SetScrollPos(m_position - Length());
}

void CScrollBarUI::PageForward() {
    if (m_owner)
        m_horizontal ? m_owner->PageRight() : m_owner->PageDown();
    else
        SetScrollPos(m_position + Length());
}

void CScrollBarUI::Step(Part part) {
    switch (part) {
    case Part::Button1:
        LineBack();
        break;
    case Part::Button2:
        LineForward();
        break;
    case Part::RailBefore:
        PageBack();
        break;
    case Part::RailAfter:
        PageForward();
        break;
    default:
        return;
    }
    NotifyScroll();
}

void CScrollBarUI::NotifyScroll() {
    if (m_owner && m_manager)
        m_manager->SendNotify(this, L"scroll");
}

void CScrollBarUI::MoveThumb(POINT mouse) {
    const int thumb = m_horizontal ? m_thumb.right - m_thumb.left : m_thumb.bottom - m_thumb.top;
    const int button1 =
        m_horizontal ? m_button1.right - m_button1.left : m_button1.bottom - m_button1.top;
    const int button2 =
        m_horizontal ? m_button2.right - m_button2.left : m_button2.bottom - m_button2.top;
    const int free = Length() - button1 - button2 - thumb;
    if (free <= 0 || m_range <= 0)
        return;
    const long long moved = m_horizontal ? mouse.x - m_dragStart.x : mouse.y - m_dragStart.y;
    const int position = static_cast<int>(
        std::clamp<long long>(m_dragStartPosition + moved * m_range / free, 0, m_range));
    if (position == m_position)
        return;
    if (m_owner) {
        SIZE scroll = m_owner->GetScrollPos();
        (m_horizontal ? scroll.cx : scroll.cy) = position;
        m_owner->SetScrollPos(scroll);
    } else {
        SetScrollPos(position);
    }
    NotifyScroll();
}

void CScrollBarUI::StopTracking() {
    if (m_manager)
        m_manager->KillTimer(this, kRepeatTimerKey);
    m_pressed = Part::None;
    m_ticks = 0;
}

void CScrollBarUI::DoEvent(UiEvent& event) {
    if (IsMouseEventForParent(*this, event)) {
        if (!m_owner)
            CControlUI::DoEvent(event);
        else if (m_parent)
            m_parent->DoEvent(event);
        return;
    }
    switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
        return;
    case kEventButtonDown:
    case kEventDblClick: {
        if (!IsEnabled())
            return;
        m_lastMouse = event.mouse;
        m_pressed = PartAt(event.mouse);
        m_ticks = 0;
        if (m_pressed == Part::None)
            return;
        if (m_manager)
            m_manager->SetTimer(this, kRepeatTimerKey, kRepeatIntervalMs);
        if (m_pressed == Part::Thumb) {
            m_dragStart = event.mouse;
            m_dragStartPosition = m_position;
            NotifyScroll();
        } else {
            Step(m_pressed);
        }
        Invalidate();
        return;
    }
    case kEventButtonUp:
        if (m_pressed != Part::None) {
            StopTracking();
            Invalidate();
        }
        return;
    case kEventMouseMove: {
        m_lastMouse = event.mouse;
        if (m_pressed == Part::Thumb) {
            MoveThumb(event.mouse);
            return;
        }
        const Part hot = IsEnabled() ? PartAt(event.mouse) : Part::None;
        if (hot != m_hot) {
            m_hot = hot;
            Invalidate();
        }
        return;
    }
    case kEventMouseEnter:
        if (IsEnabled()) {
            m_barHot = true;
            m_hot = PartAt(event.mouse);
            Invalidate();
        }
        return;
    case kEventMouseLeave:
        m_barHot = false;
        m_hot = Part::None;
        Invalidate();
        return;
    case kEventTimer:
        if (event.wParam != kRepeatTimerKey)
            break;
        if (m_pressed == Part::None || m_pressed == Part::Thumb)
            return;
        if (++m_ticks <= kRepeatDelayTicks)
            return;
        // A rail press pages only while the thumb has not yet reached the mouse; a button
        // repeats for as long as it is held.
        if ((m_pressed != Part::RailBefore && m_pressed != Part::RailAfter) ||
            PartAt(m_lastMouse) == m_pressed)
            Step(m_pressed);
        return;
    case kEventScrollWheel:
        if (m_owner) {
            if (m_parent)
                m_parent->DoEvent(event);
            return;
        }
        LOWORD(event.wParam) == SB_LINEUP ? LineBack() : LineForward();
        return;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

void CScrollBarUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    struct Slot {
        const wchar_t* prefix;
        PartImages CScrollBarUI::*images;
    };
    static const Slot slots[] = {{L"button1", &CScrollBarUI::m_button1Images},
                                 {L"button2", &CScrollBarUI::m_button2Images},
                                 {L"thumb", &CScrollBarUI::m_thumbImages},
                                 {L"rail", &CScrollBarUI::m_railImages},
                                 {L"bk", &CScrollBarUI::m_bkImages}};
    for (const Slot& slot : slots) {
        const size_t prefix = wcslen(slot.prefix);
        if (name.compare(0, prefix, slot.prefix) != 0)
            continue;
        const std::wstring state = name.substr(prefix);
        PartImages& images = this->*slot.images;
        std::wstring* target = state == L"normalimage"     ? &images.normal
                               : state == L"hotimage"      ? &images.hot
                               : state == L"pushedimage"   ? &images.pushed
                               : state == L"disabledimage" ? &images.disabled
                                                           : nullptr;
        if (target) {
            *target = value;
            Invalidate();
            return;
        }
    }
    if (name == L"hor")
        SetHorizontal(ParseBoolValue(value));
    else if (name == L"linesize")
        SetLineSize(ParseIntValue(value));
    else if (name == L"range")
        SetScrollRange(ParseIntValue(value));
    else if (name == L"value")
        SetScrollPos(ParseIntValue(value));
    else if (name == L"showbutton1")
        SetShowButton1(ParseBoolValue(value));
    else if (name == L"showbutton2")
        SetShowButton2(ParseBoolValue(value));
    else
        CControlUI::SetAttribute(name, value);
}

UINT CScrollBarUI::PartState(Part part) const {
    if (!IsEnabled())
        return kStateDisabled;
    if (part == Part::None)
        return m_pressed != Part::None ? kStatePushed : (m_barHot ? kStateHot : 0);
    if (m_pressed == part)
        return kStatePushed;
    return m_hot == part ? kStateHot : 0;
}

void CScrollBarUI::PaintPart(HDC dc, PartImages& images, const RECT& rc, UINT state) {
    if (IsEmpty(rc))
        return;
    std::wstring* chosen = &images.normal;
    if ((state & kStateDisabled) && !images.disabled.empty())
        chosen = &images.disabled;
    else if ((state & kStatePushed) && !images.pushed.empty())
        chosen = &images.pushed;
    else if ((state & kStateHot) && !images.hot.empty())
        chosen = &images.hot;
    if (chosen->empty())
        return;
    const RECT relative{rc.left - m_pos.left, rc.top - m_pos.top, rc.right - m_pos.left,
                        rc.bottom - m_pos.top};
    if (!DrawImageOrClear(*this, dc, *chosen, ImageDestination(relative)) &&
        chosen != &images.normal)
        PaintPart(dc, images, rc, 0);
}

void CScrollBarUI::DoPaint(HDC dc, const RECT& paint) {
    RECT dirty;
    if (!IntersectRect(&dirty, &paint, &m_pos))
        return;
    CControlUI::DoPaint(dc, paint);
    PaintPart(dc, m_bkImages, m_pos, PartState(Part::None));
    RECT rail = m_pos;
    if (m_horizontal) {
        rail.left = IsEmpty(m_button1) ? m_pos.left : m_button1.right;
        rail.right = IsEmpty(m_button2) ? m_pos.right : m_button2.left;
    } else {
        rail.top = IsEmpty(m_button1) ? m_pos.top : m_button1.bottom;
        rail.bottom = IsEmpty(m_button2) ? m_pos.bottom : m_button2.top;
    }
    const UINT railState =
        (m_pressed == Part::RailBefore || m_pressed == Part::RailAfter)
            ? kStatePushed
            : ((m_hot == Part::RailBefore || m_hot == Part::RailAfter) ? kStateHot : 0);
    PaintPart(dc, m_railImages, rail, IsEnabled() ? railState : kStateDisabled);
    PaintPart(dc, m_button1Images, m_button1, PartState(Part::Button1));
    PaintPart(dc, m_button2Images, m_button2, PartState(Part::Button2));
    PaintPart(dc, m_thumbImages, m_thumb, PartState(Part::Thumb));
}

} // namespace skinui

#include "skinui/extras/SliderUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"

#include <algorithm>

namespace skinui {

CSliderUI::CSliderUI() {
    m_textStyle = kTextSingleLine | kTextCenter;
}

const wchar_t* CSliderUI::GetClass() const {
    return kClassName;
}

void* CSliderUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetControlFlags() const {
    return IsEnabled() ? kFlagSetCursor : 0;
}

void CSliderUI::SetEnabled(bool enabled) {
    CProgressUI::SetEnabled(enabled);
    if (!enabled)
        m_thumbState = 0;
}

void CSliderUI::SetThumbSize(SIZE size) {
    m_thumbSize = {std::max<LONG>(0, size.cx), std::max<LONG>(0, size.cy)};
    Invalidate();
}

RECT CSliderUI::GetThumbRect() const {
    const RECT filled = FilledRect();
    if (m_horizontal) {
        const LONG x = m_pos.left + filled.right - m_thumbSize.cx / 2;
        const LONG y = (m_pos.top + m_pos.bottom - m_thumbSize.cy) / 2;
        return {x, y, x + m_thumbSize.cx, y + m_thumbSize.cy};
    }
    const LONG x = (m_pos.left + m_pos.right - m_thumbSize.cx) / 2;
    const LONG y = m_pos.top + filled.top - m_thumbSize.cy / 2;
    return {x, y, x + m_thumbSize.cx, y + m_thumbSize.cy};
}

int CSliderUI::ValueAt(POINT pt) const {
    if (m_max <= m_min)
        return m_min;
    const long long range = static_cast<long long>(m_max) - m_min;
    long long offset = 0;
    long long length = 0;
    if (m_horizontal) {
        offset = pt.x - m_pos.left;
        length = m_pos.right - m_pos.left;
    } else {
        offset = m_pos.bottom - pt.y;
        length = m_pos.bottom - m_pos.top;
    }
    if (length <= 0)
        return m_min;
    offset = std::clamp<long long>(offset, 0, length);
    return static_cast<int>(m_min + (offset * range + length / 2) / length);
}

void CSliderUI::MoveTo(int value) {
    SetValue(std::clamp(value, m_min, std::max(m_min, m_max)));
}

void CSliderUI::DoEvent(UiEvent& event) {
    if (IsMouseEventForParent(*this, event)) {
        CProgressUI::DoEvent(event);
        return;
    }
    switch (event.type) {
    case kEventButtonDown:
    case kEventDblClick:
        if (IsEnabled() && PtInRect(&m_pos, event.mouse)) {
            m_thumbState |= kStateCaptured | kStatePushed;
            const RECT thumb = GetThumbRect();
            if (!PtInRect(&thumb, event.mouse))
                MoveTo(ValueAt(event.mouse));
            Invalidate();
            return;
        }
        break;
    case kEventMouseMove:
        if (m_thumbState & kStateCaptured) {
            const int before = m_value;
            MoveTo(ValueAt(event.mouse));
            if (m_sendMove && m_value != before && m_manager)
                m_manager->SendNotify(this, L"movevaluechanged");
            return;
        }
        break;
    case kEventButtonUp:
        if (m_thumbState & kStateCaptured) {
            m_thumbState &= ~(kStateCaptured | kStatePushed);
            MoveTo(ValueAt(event.mouse));
            Invalidate();
            if (m_manager)
                m_manager->SendNotify(this, L"valuechanged");
            return;
        }
        break;
    case kEventScrollWheel:
        if (IsEnabled()) {
            const bool up = LOWORD(event.wParam) == SB_LINEUP;
            MoveTo(m_value + (up ? m_step : -m_step));
            if (m_manager)
                m_manager->SendNotify(this, L"valuechanged");
            return;
        }
        break;
    case kEventMouseEnter:
        if (IsEnabled()) {
            m_thumbState |= kStateHot;
            Invalidate();
            return;
        }
        break;
    case kEventMouseLeave:
        m_thumbState &= ~kStateHot;
        Invalidate();
        return;
    case kEventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    default:
        break;
    }
    CProgressUI::DoEvent(event);
}

void CSliderUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"thumbimage")
        m_thumbImage = value;
    else if (name == L"thumbhotimage")
        m_thumbHotImage = value;
    else if (name == L"thumbpushedimage")
        m_thumbPushedImage = value;
    else if (name == L"thumbsize")
        SetThumbSize(ParseSizeValue(value));
    else if (name == L"step")
        SetChangeStep(ParseIntValue(value));
    else if (name == L"sendmove")
        m_sendMove = ParseBoolValue(value);
    else
        CProgressUI::SetAttribute(name, value);
}

void CSliderUI::PaintStatusImage(HDC dc) {
    CProgressUI::PaintStatusImage(dc);
    const RECT thumb = GetThumbRect();
    const markup::ImageOverride place =
        ImageDestination({thumb.left - m_pos.left, thumb.top - m_pos.top, thumb.right - m_pos.left,
                          thumb.bottom - m_pos.top});
    if ((m_thumbState & kStatePushed) && DrawImageOrClear(*this, dc, m_thumbPushedImage, place))
        return;
    if ((m_thumbState & kStateHot) && DrawImageOrClear(*this, dc, m_thumbHotImage, place))
        return;
    DrawImageOrClear(*this, dc, m_thumbImage, place);
}

} // namespace skinui

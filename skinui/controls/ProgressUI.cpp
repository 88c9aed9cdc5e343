#include "skinui/controls/ProgressUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"

#include <algorithm>

namespace skinui {
namespace {

constexpr int kDefaultProgressHeight = 12;

} // namespace

CProgressUI::CProgressUI() {
    m_textStyle = kTextSingleLine | kTextCenter;
    m_fixedHeight = kDefaultProgressHeight;
}

const wchar_t* CProgressUI::GetClass() const {
    return kClassName;
}

void* CProgressUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetStretchForeImage(bool stretch) {
    if (m_stretchForeImage == stretch)
        return;
    m_stretchForeImage = stretch;
    Invalidate();
}

void CProgressUI::SetMinValue(int min) {
    m_min = min;
    Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
    m_max = max;
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    if (value == m_value || value < m_min || value > m_max)
        return;
    m_value = value;
    Invalidate();
    if (m_manager)
        m_manager->NotifyAccessibility(EVENT_OBJECT_VALUECHANGE, this);
}

void CProgressUI::SetForeImage(const std::wstring& descriptor) {
    if (m_foreImage == descriptor)
        return;
    m_foreImage = descriptor;
    Invalidate();
}

void CProgressUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"foreimage")
        SetForeImage(value);
    else if (name == L"hor")
        SetHorizontal(ParseBoolValue(value));
    else if (name == L"min")
        SetMinValue(ParseIntValue(value));
    else if (name == L"max")
        SetMaxValue(ParseIntValue(value));
    else if (name == L"value")
        SetValue(ParseIntValue(value));
    else if (name == L"isstretchfore")
        SetStretchForeImage(ParseBoolValue(value));
    else
        CLabelUI::SetAttribute(name, value);
}

RECT CProgressUI::FilledRect() const {
    // Wide arithmetic: a large range times a wide control overflows 32 bits.
    const long long min = m_min;
    const long long max = m_max <= m_min ? min + 1 : m_max;
    const long long value = std::clamp<long long>(m_value, min, max);
    const long long width = m_pos.right - m_pos.left;
    const long long height = m_pos.bottom - m_pos.top;
    if (m_horizontal)
        return {0, 0, static_cast<LONG>(width * (value - min) / (max - min)),
                static_cast<LONG>(height)};
    return {0, static_cast<LONG>(height * (max - value) / (max - min)), static_cast<LONG>(width),
            static_cast<LONG>(height)};
}

void CProgressUI::PaintStatusImage(HDC dc) {
    if (m_foreImage.empty())
        return;
    // Stretched, the whole image fits the filled part; otherwise only its matching part shows.
    const RECT filled = FilledRect();
    markup::ImageOverride override = ImageDestination(filled);
    if (!m_stretchForeImage)
        override.source = override.dest;
    DrawImageOrClear(*this, dc, m_foreImage, override);
}

} // namespace skinui

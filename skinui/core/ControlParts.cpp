#include "skinui/core/ControlParts.h"

#include "skinui/core/ControlUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

#include <algorithm>

namespace skinui {

RECT PadRect(RECT rc, const RECT& padding) {
    rc.left += padding.left;
    rc.top += padding.top;
    rc.right -= padding.right;
    rc.bottom -= padding.bottom;
    return rc;
}

long ClampExtent(long value, int minimum, int maximum) {
    return std::clamp<long>(value, minimum, std::max(minimum, maximum));
}

bool DrawImageOrClear(CControlUI& control, HDC dc, std::wstring& descriptor,
                      const markup::ImageOverride& override) {
    if (descriptor.empty())
        return false;
    if (control.DrawImage(dc, descriptor, override))
        return true;
    descriptor.clear();
    return false;
}

void DrawSkinText(HDC dc, const SkinWindowManager* manager, const RECT& rc,
                  const std::wstring& text, DWORD color, int font, UINT format) {
    if (!manager)
        return;
    render::DrawText(dc, rc, text, color, manager->GetFont(font), format,
                     manager->IsUseGdiplusText() ? render::TextRenderer::Gdiplus
                                                 : render::TextRenderer::Gdi);
}

markup::ImageOverride ImageDestination(const RECT& rc) {
    markup::ImageOverride override;
    override.dest = markup::MarkupRect{rc.left, rc.top, rc.right, rc.bottom};
    return override;
}

bool IsMouseEventForParent(const CControlUI& control, const UiEvent& event) {
    return !control.IsMouseEnabled() && event.type >= kFirstMouseEvent &&
           event.type <= kLastMouseEvent;
}

bool PassMouseToParent(CControlUI& control, UiEvent& event) {
    if (!IsMouseEventForParent(control, event))
        return false;
    if (CControlUI* parent = control.GetParent())
        parent->DoEvent(event);
    return true;
}

bool TrackHot(CControlUI& control, const UiEvent& event, bool& hot) {
    if (event.type == kEventMouseEnter) {
        if (control.IsEnabled()) {
            hot = true;
            control.Invalidate();
        }
        return true;
    }
    if (event.type == kEventMouseLeave) {
        hot = false;
        control.Invalidate();
        return true;
    }
    return false;
}

bool FieldStateImages::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"normalimage")
        normal = value;
    else if (name == L"hotimage")
        hot = value;
    else if (name == L"focusedimage")
        focused = value;
    else if (name == L"disabledimage")
        disabled = value;
    else
        return false;
    return true;
}

void FieldStateImages::Paint(CControlUI& control, HDC dc, bool isHot) {
    if (!control.IsEnabled() && DrawImageOrClear(control, dc, disabled))
        return;
    if (control.IsFocused() && DrawImageOrClear(control, dc, focused))
        return;
    if (isHot && DrawImageOrClear(control, dc, hot))
        return;
    DrawImageOrClear(control, dc, normal);
}

} // namespace skinui

// The window manager's layout and painting: the tree is laid out when it needs it and painted
// through an off-screen image, or into a 32-bit image with per-pixel alpha on a layered window.
#include "skinui/core/SkinWindowManager.h"

#include "skinui/core/ControlUI.h"
#include "skinui/render/RenderEngine.h"
#include "win32/DibSection.h"
#include "win32/GdiObject.h"

#include <algorithm>
#include <cstdint>

namespace skinui {

void SkinWindowManager::LayoutIfNeeded(const RECT& client) {
    if (m_updateNeeded && m_root && !IsRectEmpty(&client)) {
        m_updateNeeded = false;
        if (m_root->IsUpdateNeeded()) {
            m_root->SetPos(client);
        } else {
            std::vector<CControlUI*> pending;
            m_root->FindControl(
                [&](CControlUI* control, void*) -> CControlUI* {
                    if (control->IsUpdateNeeded())
                        pending.push_back(control);
                    return nullptr;
                },
                nullptr, kFindVisible | kFindMeFirst);
            for (CControlUI* control : pending) {
                if (!control->IsUpdateNeeded())
                    continue;
                // A floating control's rectangle comes from its fixed position and size, so
                // after a change to those the parent's float rule places it again.
                auto* parent = control->IsFloat()
                                   ? InterfaceCast<IContainerUI>(control->GetParent())
                                   : nullptr;
                if (parent)
                    parent->SetFloatPos(parent->GetItemIndex(control));
                else
                    control->SetPos(control->GetPos());
            }
        }
        if (m_firstLayout) {
            m_firstLayout = false;
            SendNotify(m_root.get(), L"windowinit");
        }
    }
    if (m_focusNeeded)
        SetNextTabControl();
}

void SkinWindowManager::LayoutAndPaint(HDC dc, const RECT& client, const RECT& paint) {
    LayoutIfNeeded(client);
    if (!m_root)
        return;
    m_root->DoPaint(dc, paint);
    const std::vector<CControlUI*> postPaint = m_postPaint;
    for (CControlUI* control : postPaint)
        control->DoPostPaint(dc, paint);
    if (m_access && m_window)
        m_access->PaintFocusMark(dc);
    if (m_showUpdateRect)
        render::DrawRect(dc, paint, 1, 0xFFFF0000);
}

void SkinWindowManager::Paint() {
    RECT client{};
    GetClientRect(m_window, &client);
    if (!m_root) {
        PAINTSTRUCT ps;
        BeginPaint(m_window, &ps);
        EndPaint(m_window, &ps);
        return;
    }
    // Layout first: "windowinit" must reach the window before anything is drawn.
    LayoutIfNeeded(client);
    if (m_layered) {
        PAINTSTRUCT ps;
        BeginPaint(m_window, &ps);
        EndPaint(m_window, &ps);
        PaintLayered(client);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_window, &ps);
    if (!IsRectEmpty(&client)) {
        const RECT& dirty = ps.rcPaint;
        const int width = dirty.right - dirty.left;
        const int height = dirty.bottom - dirty.top;
        const win32::MemoryDc buffer(dc);
        const win32::UniqueBitmap bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right),
                                                                std::max<LONG>(1, client.bottom)));
        const win32::SelectObjectScope selected(buffer.get(), bitmap.get());
        if (selected) {
            BitBlt(buffer.get(), dirty.left, dirty.top, width, height, dc, dirty.left, dirty.top,
                   SRCCOPY);
            LayoutAndPaint(buffer.get(), client, dirty);
            BitBlt(dc, dirty.left, dirty.top, width, height, buffer.get(), dirty.left, dirty.top,
                   SRCCOPY);
        } else {
            // Without memory for the off-screen image the tree paints straight to the window:
            // it may flicker, but it shows.
            LayoutAndPaint(dc, client, dirty);
        }
    }
    EndPaint(m_window, &ps);
}

void SkinWindowManager::PaintLayered(const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    const LONG_PTR exStyle = GetWindowLongPtrW(m_window, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED))
        SetWindowLongPtrW(m_window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    win32::DibSection image(width, height);
    if (!image)
        return;
    LayoutAndPaint(image.dc(), client, client);
    GdiFlush();
    // GDI leaves the alpha byte of what it draws at 0, while blended images carry their own
    // alpha: a pixel with colour but no alpha was drawn opaque by GDI.
    std::uint32_t* pixels = image.pixels();
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        if ((pixels[i] & 0xFF000000) == 0 && (pixels[i] & 0x00FFFFFF) != 0)
            pixels[i] |= 0xFF000000;
    RECT window{};
    GetWindowRect(m_window, &window);
    render::PresentLayered(m_window, {window.left, window.top}, image);
}

} // namespace skinui

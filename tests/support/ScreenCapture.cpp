#include "tests/support/ScreenCapture.h"

#include "SkinShot.h"
#include "tests/support/SkinShotReference.h"
#include "win32/DibSection.h"
#include "win32/GdiObject.h"

namespace testsupport {

bool KeepScreenArea(const RECT& area, const std::string& name) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const win32::WindowDc screen(nullptr);
    win32::DibSection image(width, height, screen.get());
    if (!screen || !image ||
        !BitBlt(image.dc(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY))
        return false;
    GdiFlush();
    skinshot::SkinShot shot;
    shot.width = width;
    shot.height = height;
    shot.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t pixel = image.pixels()[i];
        shot.rgba[i * 4 + 0] = static_cast<std::uint8_t>(pixel >> 16);
        shot.rgba[i * 4 + 1] = static_cast<std::uint8_t>(pixel >> 8);
        shot.rgba[i * 4 + 2] = static_cast<std::uint8_t>(pixel);
        shot.rgba[i * 4 + 3] = 255;
    }
    return KeepArtifact(shot, name);
}

RECT AroundWindow(HWND window, int margin) {
    RECT rc{};
    GetWindowRect(window, &rc);
    InflateRect(&rc, margin, margin);
    return rc;
}

} // namespace testsupport

#include "tests/skinui/support/ControlsFixture.h"

#include "skinui/core/SkinWindowManager.h"
#include "skinui/resources/SkinResources.h"
#include "tests/support/TestSupport.h"

#include <algorithm>

using skintest::PumpUntil;
using skintest::PumpUntilIdle;
using skintest::TestWindow;

namespace controlstest {

Canvas::Canvas(skinui::CControlUI& control, int width, int height) : m_image(width, height) {
    if (!m_image) {
        ADD_FAILURE() << "cannot create a " << width << "x" << height << " bitmap";
        return;
    }
    std::fill_n(m_image.pixels(), width * height, 0xFFFFFF);
    const RECT all{0, 0, width, height};
    control.DoPaint(m_image.dc(), all);
    GdiFlush();
}

std::uint32_t Canvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return 0xFFFFFFFF;
    return m_image.pixels()[y * m_image.width() + x] & 0xFFFFFF;
}

std::pair<int, int> Canvas::DarkRows(const RECT& rc) const {
    int first = -1;
    int last = -1;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            const std::uint32_t c = At(x, y);
            if ((c & 0xFF) < 0x80 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    return {first, last};
}

void ControlsWindow::SetUp() {
    const auto folder = testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" / "skinui" /
                        "controls" / "skins" / "controls";
    skinui::resources::SetResourcePath(folder.wstring());
}

void ControlsWindow::Open(const wchar_t* markup) {
    window = std::make_unique<TestWindow>(markup);
    hwnd = window->Open();
    ASSERT_TRUE(hwnd);
    ASSERT_TRUE(PumpUntil("windowinit", [this] { return window->Count(L"windowinit") > 0; }));
}

void ControlsWindow::TearDown() {
    if (hwnd && IsWindow(hwnd))
        DestroyWindow(hwnd);
    EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
}

skinui::CControlUI* ControlsWindow::Find(const wchar_t* name) {
    return window->Manager().FindControl(name);
}

void ControlsWindow::MoveTo(POINT pt, WPARAM keys) {
    PostMessageW(hwnd, WM_MOUSEMOVE, keys, MAKELPARAM(pt.x, pt.y));
    EXPECT_TRUE(PumpUntilIdle()) << "moving the pointer to " << pt.x << "," << pt.y;
}

void ControlsWindow::Press(POINT pt) {
    MoveTo(pt);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    EXPECT_TRUE(PumpUntilIdle()) << "pressing at " << pt.x << "," << pt.y;
}

void ControlsWindow::Release(POINT pt) {
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_TRUE(PumpUntilIdle()) << "releasing at " << pt.x << "," << pt.y;
}

void ControlsWindow::Click(POINT pt) {
    Press(pt);
    Release(pt);
}

void ControlsWindow::Wheel(POINT pt, bool down) {
    POINT screen = pt;
    ClientToScreen(hwnd, &screen);
    PostMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, down ? -WHEEL_DELTA : WHEEL_DELTA),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_TRUE(PumpUntilIdle()) << "turning the wheel at " << pt.x << "," << pt.y;
}

std::vector<std::wstring> ControlsWindow::Trail() const {
    std::vector<std::wstring> trail;
    for (const auto& n : window->notifications)
        if (n.type != L"windowinit" && n.type != L"timer" && n.type != L"setfocus" &&
            n.type != L"killfocus")
            trail.push_back(n.type + L":" + (n.sender ? n.sender->GetName() : L"?"));
    return trail;
}

} // namespace controlstest

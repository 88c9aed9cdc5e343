#pragma once

#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/ControlUI.h"
#include "win32/DibSection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace controlstest {

// A control painted alone into a white 32-bit bitmap of the window's client size.
class Canvas {
public:
    Canvas(skinui::CControlUI& control, int width, int height);

    // 0xRRGGBB at client coordinates.
    std::uint32_t At(int x, int y) const;
    // Rows between first and last (inclusive) of the rectangle holding a pixel darker than
    // 0x80 in every channel; -1,-1 when there is none.
    std::pair<int, int> DarkRows(const RECT& rc) const;

private:
    win32::DibSection m_image;
};

// A window built from markup whose images come from the test skin folder.
class ControlsWindow : public ::testing::Test {
protected:
    void SetUp() override;
    void Open(const wchar_t* markup);
    void TearDown() override;

    skinui::CControlUI* Find(const wchar_t* name);
    template <typename T> T* FindAs(const wchar_t* name) {
        return skinui::InterfaceCast<T>(Find(name));
    }
    // Mouse input as the system would post it, then the queue pumped.
    void MoveTo(POINT pt, WPARAM keys = 0);
    void Press(POINT pt);
    void Release(POINT pt);
    void Click(POINT pt);
    void Wheel(POINT pt, bool down);
    // The notifications received so far as "type:sender", without the window's own and focus
    // changes.
    std::vector<std::wstring> Trail() const;

    std::unique_ptr<skintest::TestWindow> window;
    HWND hwnd = nullptr;
};

} // namespace controlstest

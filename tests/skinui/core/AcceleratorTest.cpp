#include "tests/skinui/support/TestWindow.h"

#include "skinui/core/SkinWindowManager.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

using namespace skinui;
using skintest::PumpUntil;
using skintest::PumpUntilIdle;
using skintest::TestWindow;

namespace {

constexpr wchar_t kMarkup[] = LR"(<Window size="200,100"><VerticalLayout /></Window>)";

// Records the keys it sees and consumes one of them.
class Accelerators : public ITranslateAccelerator {
public:
    explicit Accelerators(WPARAM consumed) : m_consumed(consumed) {}
    bool TranslateAccelerator(MSG* msg) override {
        if (msg->message != WM_KEYDOWN)
            return false;
        seen.push_back(msg->wParam);
        return msg->wParam == m_consumed;
    }
    std::vector<WPARAM> seen;

private:
    WPARAM m_consumed;
};

class KeyFilter : public IMessageFilterUI {
public:
    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/,
                          bool& /*handled*/) override {
        if (message == WM_KEYDOWN)
            seen.push_back(wParam);
        return 0;
    }
    std::vector<WPARAM> seen;
};

TEST(AcceleratorTranslators, SeeKeysBeforeThePreMessageFiltersAndMayConsumeThem) {
    TestWindow window(kMarkup);
    HWND hwnd = window.Open();
    ASSERT_NE(hwnd, nullptr);
    Accelerators accelerators(VK_F5);
    KeyFilter filter;
    window.Manager().AddTranslateAccelerator(&accelerators);
    window.Manager().AddPreMessageFilter(&filter);

    PostMessageW(hwnd, WM_KEYDOWN, VK_F5, 0);
    PostMessageW(hwnd, WM_KEYDOWN, VK_F6, 0);
    ASSERT_TRUE(
        PumpUntil("both keys at the translator", [&] { return accelerators.seen.size() == 2; }));
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_EQ(accelerators.seen, (std::vector<WPARAM>{VK_F5, VK_F6}));
    EXPECT_EQ(filter.seen, (std::vector<WPARAM>{VK_F6})) << "a consumed key went on";

    window.Manager().RemoveTranslateAccelerator(&accelerators);
    PostMessageW(hwnd, WM_KEYDOWN, VK_F5, 0);
    ASSERT_TRUE(PumpUntil("the key at the filter", [&] { return filter.seen.size() == 2; }));
    EXPECT_EQ(accelerators.seen.size(), 2u);

    window.Manager().RemovePreMessageFilter(&filter);
    DestroyWindow(hwnd);
    EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
}

} // namespace

#include "tests/skinui/access/AccessFixture.h"

#include "skinui/controls/OptionUI.h"
#include "skinui/layouts/TabLayoutUI.h"

using namespace skintest;

namespace {

bool IsSelected(skinui::CControlUI* control) {
    auto* option = skinui::InterfaceCast<skinui::COptionUI>(control);
    return option && option->IsSelected();
}

void SetShift(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

TEST_F(AccessWindow, TabVisitsThePageRadioGroupAsOneStopAndTheCloseButtonLast) {
    // The window opens with the focus on the first control of its page.
    EXPECT_EQ(Focus(), Find(L"red"));
    const wchar_t* order[] = {L"agree", L"folder", L"next", L"licence", L"closebtn", L"red"};
    for (const wchar_t* name : order) {
        Key(VK_TAB);
        EXPECT_EQ(Focus(), Find(name)) << "after Tab: " << name;
    }
    SetShift(true);
    Key(VK_TAB);
    SetShift(false);
    EXPECT_EQ(Focus(), Find(L"closebtn")) << "Shift+Tab goes back";
}

TEST_F(AccessWindow, ArrowsSelectWithinTheRadioGroupAndSpaceToggles) {
    ASSERT_EQ(Focus(), Find(L"red"));
    Key(VK_RIGHT);
    EXPECT_EQ(Focus(), Find(L"green"));
    EXPECT_TRUE(IsSelected(Find(L"green")));
    EXPECT_FALSE(IsSelected(Find(L"red")));
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(Focus(), Find(L"red")) << "the arrows wrap around the group";
    Key(VK_LEFT);
    EXPECT_TRUE(IsSelected(Find(L"blue")));
    // The group is one stop, entered at its selected member.
    Key(VK_TAB);
    SetShift(true);
    Key(VK_TAB);
    SetShift(false);
    EXPECT_EQ(Focus(), Find(L"blue"));

    Key(VK_TAB);
    ASSERT_EQ(Focus(), Find(L"agree"));
    Key(VK_SPACE);
    EXPECT_TRUE(IsSelected(Find(L"agree")));
    Key(VK_RETURN);
    EXPECT_FALSE(IsSelected(Find(L"agree")));
    Key(VK_RIGHT);
    EXPECT_EQ(Focus(), Find(L"agree")) << "arrows do nothing outside a radio group";
}

TEST_F(AccessWindow, EnterPressesAndEscapeIsTheCloseButton) {
    Find(L"next")->SetFocus();
    Key(VK_RETURN);
    EXPECT_EQ(window->Count(L"click", L"next"), 1);
    Key(VK_ESCAPE);
    EXPECT_EQ(window->Count(L"click", L"closebtn"), 1);
    EXPECT_EQ(window->closeCodes.size(), 1u);
    Find(L"closebtn")->SetVisible(false);
    EXPECT_TRUE(PumpUntilIdle());
    Key(VK_ESCAPE);
    EXPECT_EQ(window->Count(L"click", L"closebtn"), 1) << "no close button, no closing";
}

TEST_F(AccessWindow, KeysNeverActOnAControlWhosePageWentAway) {
    Find(L"next")->SetFocus();
    Find(L"first")->SetVisible(false);
    EXPECT_TRUE(PumpUntilIdle());
    Key(VK_RETURN);
    Key(VK_SPACE);
    EXPECT_EQ(window->Count(L"click", L"next"), 0);
    Key(VK_TAB);
    EXPECT_EQ(Focus(), Find(L"closebtn")) << "the only control left";
}

TEST_F(AccessWindow, APageSwitchFocusesATextFieldOnlyForTheKeyboard) {
    auto* pages = skinui::InterfaceCast<skinui::CTabLayoutUI>(Find(L"pages"));
    ASSERT_TRUE(pages);
    pages->SelectItem(2);
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_EQ(Focus(), Find(L"done")) << "no caret the pointer user did not ask for";
    pages->SelectItem(0);
    Key(VK_SHIFT);
    pages->SelectItem(2);
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_EQ(Focus(), Find(L"notes")) << "the keyboard user starts at the page's first control";
}

TEST_F(AccessWindow, TheKeyboardFocusIsMarkedUntilThePointerIsUsed) {
    auto& access = window->Manager();
    ASSERT_TRUE(access.GetAccessibilityBridge());
    const auto cue = [&] {
        return static_cast<skinui::access::WindowAccessibility*>(access.GetAccessibilityBridge())
            ->IsKeyboardCueShown();
    };
    EXPECT_FALSE(cue());
    Key(VK_TAB);
    EXPECT_TRUE(cue());
    // The mark is drawn just inside the focused control's rectangle.
    const RECT pos = Find(L"agree")->GetPos();
    const auto markedPixelsAfterPaint = [&] {
        RECT client{};
        GetClientRect(hwnd, &client);
        HDC screen = GetDC(hwnd);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, client.right, client.bottom, WHITENESS);
        window->Manager().LayoutAndPaint(dc, client, client);
        int marked = 0;
        for (LONG x = pos.left + 1; x < pos.right - 1; ++x)
            if (GetPixel(dc, x, pos.top + 1) != RGB(255, 255, 255))
                ++marked;
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(hwnd, screen);
        return marked;
    };
    EXPECT_GT(markedPixelsAfterPaint(), (pos.right - pos.left) / 4);
    const POINT inside{pos.left + 5, pos.top + 5};
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_FALSE(cue());
    EXPECT_EQ(markedPixelsAfterPaint(), 0);
}

} // namespace

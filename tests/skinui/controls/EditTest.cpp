#include "tests/skinui/support/TestWindow.h"

#include "skinui/controls/EditUI.h"
#include "skinui/core/SkinWindowManager.h"

#include <gtest/gtest.h>

#include <memory>

using namespace skintest;
using skinui::CEditUI;

namespace {

constexpr wchar_t kEditSkin[] = LR"(<Window size="300,150">
  <Font name="Tahoma" size="12" default="true" />
  <VerticalLayout>
    <Edit name="plain" height="30" text="abc" maxchar="5" />
    <Edit name="locked" height="30" text="licence" readonly="true" />
    <Edit name="secret" height="30" text="pw" password="true" passwordchar="#" />
    <Edit name="digits" height="30" numberonly="true" nativebkcolor="#FF102030" />
    <Control />
  </VerticalLayout>
</Window>)";

struct EditWindow : ::testing::Test {
    void SetUp() override {
        window = std::make_unique<TestWindow>(kEditSkin);
        hwnd = window->Open();
        ASSERT_NE(hwnd, nullptr);
        ASSERT_TRUE(PumpUntilIdle()) << "opening the window";
    }
    void TearDown() override {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
    }
    CEditUI* Edit(const wchar_t* name) {
        return static_cast<CEditUI*>(window->Manager().FindControl(name));
    }
    void Press(int x, int y) {
        PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        EXPECT_TRUE(PumpUntilIdle()) << "pressing";
    }
    void Type(HWND edit, const wchar_t* text) {
        for (; *text; ++text)
            PostMessageW(edit, WM_CHAR, *text, 1);
        EXPECT_TRUE(PumpUntilIdle()) << "typing";
    }

    std::unique_ptr<TestWindow> window;
    HWND hwnd = nullptr;
};

TEST_F(EditWindow, ReadOnlyEditOpensSelectsAllAndNeverReportsChanges) {
    CEditUI* edit = Edit(L"locked");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetNativeWindow(), nullptr);
    Press(100, 45);
    HWND native = edit->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(GetFocus(), native);
    EXPECT_TRUE(GetWindowLongPtrW(native, GWL_STYLE) & ES_READONLY);
    DWORD start = 1, end = 0;
    SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u);
    Type(native, L"xyz");
    PostMessageW(native, WM_KEYDOWN, VK_BACK, 1);
    ASSERT_TRUE(PumpUntilIdle()) << "after Backspace";
    EXPECT_EQ(edit->GetText(), L"licence");
    EXPECT_EQ(window->Count(L"textchanged"), 0);
}

TEST_F(EditWindow, TypingCopiesTextReportsEachChangeAndHonoursMaxChar) {
    CEditUI* edit = Edit(L"plain");
    Press(100, 15);
    HWND native = edit->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    // Opening puts the text in without a report.
    EXPECT_EQ(window->Count(L"textchanged"), 0);
    PostMessageW(native, WM_KEYDOWN, VK_END, 1);
    Type(native, L"defg");
    EXPECT_EQ(edit->GetText(), L"abcde");
    EXPECT_EQ(window->Count(L"textchanged", L"plain"), 2);

    PostMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(native, WM_CHAR, VK_RETURN, 1);
    ASSERT_TRUE(PumpUntilIdle()) << "after Enter";
    EXPECT_EQ(window->Count(L"return", L"plain"), 1);
    EXPECT_EQ(edit->GetText(), L"abcde");
}

TEST_F(EditWindow, LosingFocusClosesTheNativeEditAndAnotherOpens) {
    CEditUI* plain = Edit(L"plain");
    CEditUI* secret = Edit(L"secret");
    Press(100, 15);
    ASSERT_NE(plain->GetNativeWindow(), nullptr);
    Press(100, 75);
    EXPECT_EQ(plain->GetNativeWindow(), nullptr);
    HWND native = secret->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(native, GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'#');
    Press(100, 110);
    EXPECT_EQ(secret->GetNativeWindow(), nullptr);
}

TEST_F(EditWindow, CodeChangesReachTheOpenEditWithoutReports) {
    CEditUI* edit = Edit(L"digits");
    Press(100, 105);
    HWND native = edit->GetNativeWindow();
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(native, GWL_STYLE) & ES_NUMBER);
    edit->SetText(L"42");
    ASSERT_TRUE(PumpUntilIdle()) << "after the text was set";
    wchar_t shown[16]{};
    GetWindowTextW(native, shown, 16);
    EXPECT_STREQ(shown, L"42");
    EXPECT_EQ(window->Count(L"textchanged"), 0);
    edit->SetReadOnly(true);
    EXPECT_TRUE(GetWindowLongPtrW(native, GWL_STYLE) & ES_READONLY);
    // Disabling closes nothing by itself but the edit follows the control's state.
    edit->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(native));
}

TEST_F(EditWindow, DestroyingTheWindowWhileEditingLeavesNothingBehind) {
    Press(100, 15);
    ASSERT_NE(Edit(L"plain")->GetNativeWindow(), nullptr);
    DestroyWindow(hwnd);
    ASSERT_TRUE(PumpUntilIdle()) << "after the window was destroyed";
    EXPECT_FALSE(IsWindow(hwnd));
}

} // namespace

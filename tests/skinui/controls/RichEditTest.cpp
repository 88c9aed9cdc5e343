#include "tests/skinui/support/TestWindow.h"

#include "skinui/controls/RichEditUI.h"
#include "skinui/core/SkinWindowManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace skintest;
using skinui::CRichEditUI;

namespace {

constexpr wchar_t kRichEditSkin[] = LR"(<Window size="300,200">
  <Font name="Tahoma" size="12" default="true" />
  <Default name="VScrollBar" value="width=&quot;10&quot;" />
  <VerticalLayout>
    <RichEdit name="licence" height="150" vscrollbar="true" readonly="true" wantreturn="false"
              bkcolor="#FFFFFFFF" bordercolor="#FF808080" bordersize="1" inset="2,2,2,2" />
    <Button name="next" height="20" />
    <Control />
  </VerticalLayout>
</Window>)";

std::wstring LongText() {
    std::wstring text;
    for (int i = 0; i < 120; ++i)
        text += L"第" + std::to_wstring(i) + L"行 licence line\r\n";
    return text;
}

struct RichEditWindow : ::testing::Test {
    void SetUp() override {
        window = std::make_unique<TestWindow>(kRichEditSkin);
        hwnd = window->Open();
        ASSERT_NE(hwnd, nullptr);
        edit = static_cast<CRichEditUI*>(window->Manager().FindControl(L"licence"));
        ASSERT_NE(edit, nullptr);
        ASSERT_TRUE(edit->HasTextEngine());
    }
    void TearDown() override {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
    }
    void Wheel(int notches) {
        POINT pt{100, 60};
        ClientToScreen(hwnd, &pt);
        const short delta = static_cast<short>(notches > 0 ? -WHEEL_DELTA : WHEEL_DELTA);
        for (int i = 0; i < std::abs(notches); ++i)
            PostMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(pt.x, pt.y));
        EXPECT_TRUE(PumpUntilIdle()) << "turning the wheel";
    }
    skinui::CScrollBarUI* Bar() const { return edit->GetVerticalScrollBar(); }

    std::unique_ptr<TestWindow> window;
    HWND hwnd = nullptr;
    CRichEditUI* edit = nullptr;
};

TEST_F(RichEditWindow, ShortTextShowsNoBarAndLongTextScrollsWithWheelAndBar) {
    edit->SetText(L"short");
    ASSERT_TRUE(PumpUntilIdle()) << "after setting a short text";
    EXPECT_EQ(edit->GetText(), L"short");
    ASSERT_NE(Bar(), nullptr);
    EXPECT_FALSE(Bar()->IsVisible());

    const std::wstring text = LongText();
    edit->SetText(text);
    ASSERT_TRUE(PumpUntilIdle()) << "after setting a long text";
    ASSERT_TRUE(Bar()->IsVisible());
    const int range = Bar()->GetScrollRange();
    // 120 lines of a 12 pixel font in a view of about 146 pixels.
    EXPECT_GT(range, 1000);
    EXPECT_EQ(Bar()->GetScrollPos(), 0);
    // The bar sits inside the border at the right edge.
    EXPECT_EQ(Bar()->GetPos().right, edit->GetPos().right - 2);

    Wheel(2);
    const int afterWheel = Bar()->GetScrollPos();
    EXPECT_GT(afterWheel, 0);
    Wheel(-1);
    EXPECT_LT(Bar()->GetScrollPos(), afterWheel);
    EXPECT_GT(Bar()->GetScrollPos(), 0);

    // A press on the rail below the thumb pages down.
    const RECT thumb = Bar()->GetThumbRect();
    const int before = Bar()->GetScrollPos();
    const POINT rail{(thumb.left + thumb.right) / 2, thumb.bottom + 20};
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(rail.x, rail.y));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rail.x, rail.y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(rail.x, rail.y));
    ASSERT_TRUE(PumpUntilIdle()) << "after pressing on the rail";
    EXPECT_GT(Bar()->GetScrollPos(), before + 50);

    // Far past the end stops at the range.
    edit->SetScrollPos({0, range * 4});
    EXPECT_EQ(Bar()->GetScrollPos(), range);
    Wheel(3);
    EXPECT_EQ(Bar()->GetScrollPos(), range);
    EXPECT_EQ(edit->GetText().compare(0, 5, L"第0行 l"), 0);
}

TEST_F(RichEditWindow, ReadOnlyTextCanBeSelectedButNotChanged) {
    edit->SetText(L"licence text");
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 20));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(50, 20));
    ASSERT_TRUE(PumpUntilIdle()) << "after clicking into the text";
    EXPECT_EQ(window->Manager().GetFocus(), edit);
    PostMessageW(hwnd, WM_KEYDOWN, 'A', 0);
    PostMessageW(hwnd, WM_CHAR, 'x', 0);
    PostMessageW(hwnd, WM_KEYDOWN, VK_BACK, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after typing";
    EXPECT_EQ(edit->GetText(), L"licence text");
    edit->SendEngineMessage(EM_SETSEL, 0, -1);
    CHARRANGE selection{};
    edit->SendEngineMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    // The whole text, and the engine's closing paragraph mark with it.
    EXPECT_GE(selection.cpMax - selection.cpMin, 12);

    // Enter is not wanted here, so it becomes "return".
    PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after Enter";
    EXPECT_EQ(window->Count(L"return", L"licence"), 1);

    edit->SetReadOnly(false);
    edit->SendEngineMessage(EM_SETSEL, 0, -1);
    PostMessageW(hwnd, WM_CHAR, 'z', 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after typing";
    EXPECT_EQ(edit->GetText(), L"z");

    // Tab is wanted by default, so the engine takes it instead of moving the focus.
    PostMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after Tab";
    EXPECT_EQ(window->Manager().GetFocus(), edit);
    EXPECT_EQ(edit->GetText().compare(0, 2, L"z\t"), 0);
}

TEST_F(RichEditWindow, TabMovesTheFocusOnWhenTheEditDoesNotWantIt) {
    edit->SetAttribute(L"wanttab", L"false");
    edit->SetReadOnly(false);
    window->Manager().SetFocus(edit);
    PostMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(PumpUntilIdle()) << "after Tab";
    EXPECT_EQ(window->Manager().GetFocus(), window->Manager().FindControl(L"next"));
    EXPECT_EQ(edit->GetText().find(L'\t'), std::wstring::npos);
}

} // namespace

namespace {

TEST(RichEditAcross, LongLinesScrollSidewaysWithTheHorizontalBar) {
    TestWindow window(LR"(<Window size="300,200">
      <Font name="Tahoma" size="12" default="true" />
      <Default name="HScrollBar" value="height=&quot;10&quot;" />
      <VerticalLayout>
        <RichEdit name="wide" height="80" hscrollbar="true" autohscroll="true" readonly="true"
                  bkcolor="#FFFFFFFF" bordercolor="#FF808080" bordersize="1" inset="2,2,2,2" />
        <Control />
      </VerticalLayout>
    </Window>)");
    HWND hwnd = window.Open();
    ASSERT_NE(hwnd, nullptr);
    auto* edit = static_cast<CRichEditUI*>(window.Manager().FindControl(L"wide"));
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->HasTextEngine());
    skinui::CScrollBarUI* bar = edit->GetHorizontalScrollBar();
    ASSERT_NE(bar, nullptr);
    edit->SetText(L"short");
    ASSERT_TRUE(PumpUntilIdle()) << "after a short text";
    EXPECT_FALSE(bar->IsVisible());

    std::wstring line;
    for (int i = 0; i < 40; ++i)
        line += L"column" + std::to_wstring(i) + L" ";
    edit->SetText(line);
    ASSERT_TRUE(PumpUntilIdle()) << "after a long line";
    ASSERT_TRUE(bar->IsVisible()) << "the line is not wrapped but scrolls";
    EXPECT_GT(bar->GetScrollRange(), 1000);
    const RECT pos = edit->GetPos();
    EXPECT_EQ(bar->GetPos().bottom, pos.bottom - 2) << "along the bottom, inside the border";
    EXPECT_EQ(bar->GetPos().bottom - bar->GetPos().top, 10);

    const RECT thumb = bar->GetThumbRect();
    const POINT rail{thumb.right + 20, (thumb.top + thumb.bottom) / 2};
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(rail.x, rail.y));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rail.x, rail.y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(rail.x, rail.y));
    ASSERT_TRUE(PumpUntilIdle()) << "after pressing on the rail";
    EXPECT_GT(bar->GetScrollPos(), 50) << "a page to the right";
    edit->SetScrollPos({bar->GetScrollRange() * 3, 0});
    EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange());
    DestroyWindow(hwnd);
    EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
}

TEST(RichEditWithoutEngine, KeepsItsTextAndPaintsOnlyBackgroundAndBorder) {
    // Outside a window no text engine can be made, as when "msftedit.dll" is missing.
    CRichEditUI edit;
    edit.SetAttribute(L"bkcolor", L"#FF00FF00");
    edit.SetAttribute(L"bordercolor", L"#FFFF0000");
    edit.SetAttribute(L"bordersize", L"1");
    edit.SetAttribute(L"vscrollbar", L"true");
    edit.DoInit();
    edit.SetText(L"text");
    EXPECT_FALSE(edit.HasTextEngine());
    EXPECT_EQ(edit.GetText(), L"text");
    edit.LineDown();
    edit.SetScrollPos({0, 100});
    EXPECT_EQ(edit.SendEngineMessage(WM_GETTEXTLENGTH), 0);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT rc{0, 0, 20, 20};
    edit.SetPos(rc);
    edit.DoPaint(dc, rc);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 0, 10), RGB(255, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace

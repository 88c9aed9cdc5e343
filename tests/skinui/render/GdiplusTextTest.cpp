#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"
#include "win32/DibSection.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

using namespace skinui;

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 60;
constexpr DWORD kBlack = 0xFF000000;
// Columns at the end of a trimmed line that the ellipsis alone covers.
constexpr int kEllipsisWidth = 6;

// A white 32-bit top-down bitmap selected into a memory DC, with its ink (non-white pixels)
// measured after drawing.
class Canvas {
public:
    Canvas() : m_image(kWidth, kHeight) {
        if (m_image)
            std::fill_n(m_image.pixels(), kWidth * kHeight, 0x00FFFFFF);
        else
            ADD_FAILURE() << "cannot create the bitmap";
    }
    HDC dc() const { return m_image.dc(); }
    bool SameAs(const Canvas& other) const {
        GdiFlush();
        for (int y = 0; y < kHeight; y++)
            for (int x = 0; x < kWidth; x++)
                if (Pixel(x, y) != other.Pixel(x, y))
                    return false;
        return true;
    }

    // Bounding box of every pixel that is no longer white; empty when nothing was drawn.
    RECT Ink() const {
        GdiFlush();
        RECT box{kWidth, kHeight, 0, 0};
        for (int y = 0; y < kHeight; y++)
            for (int x = 0; x < kWidth; x++)
                if ((Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    // Rows holding ink between columns left and right: top and bottom, or {kHeight, 0}.
    std::pair<int, int> InkRows(int left, int right) const {
        std::pair<int, int> rows{kHeight, 0};
        for (int y = 0; y < kHeight; y++)
            for (int x = std::max(left, 0); x < std::min(right, kWidth); x++)
                if ((Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                    rows.first = std::min(rows.first, y);
                    rows.second = std::max(rows.second, y + 1);
                }
        return rows;
    }
    bool HasGreyLevels() const {
        for (int y = 0; y < kHeight; y++)
            for (int x = 0; x < kWidth; x++) {
                const std::uint32_t blue = Pixel(x, y) & 0xFF;
                if (blue > 0x20 && blue < 0xE0)
                    return true;
            }
        return false;
    }

private:
    // White where the bitmap could not be made, so a failed canvas reads as blank.
    std::uint32_t Pixel(int x, int y) const {
        return m_image ? m_image.pixels()[y * kWidth + x] : 0x00FFFFFF;
    }

    win32::DibSection m_image;
};

class GdiplusText : public ::testing::Test {
protected:
    // Whether GDI+ itself ends a trimmed line with an ellipsis: Wine's draws the line exactly as
    // if it were clipped, where Windows' puts the dots in.
    bool GdiplusDrawsEllipses(const RECT& rc, const std::wstring& text) {
        Canvas trimmed, clipped;
        for (Canvas* canvas : {&trimmed, &clipped}) {
            Gdiplus::Graphics graphics(canvas->dc());
            Gdiplus::Font font(canvas->dc(), m_manager.GetFont(-1));
            Gdiplus::StringFormat layout;
            layout.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
            layout.SetTrimming(canvas == &trimmed ? Gdiplus::StringTrimmingEllipsisCharacter
                                                  : Gdiplus::StringTrimmingNone);
            const Gdiplus::SolidBrush brush(Gdiplus::Color(255, 0, 0, 0));
            const Gdiplus::RectF box(0, 0, static_cast<Gdiplus::REAL>(rc.right - rc.left),
                                     static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
            graphics.DrawString(text.c_str(), static_cast<INT>(text.size()), &font, box, &layout,
                                &brush);
        }
        return !trimmed.SameAs(clipped);
    }

    RECT Draw(Canvas& canvas, const RECT& rc, const std::wstring& text, UINT format) {
        render::DrawText(canvas.dc(), rc, text, kBlack, m_manager.GetFont(-1), format,
                         render::TextRenderer::Gdiplus);
        return canvas.Ink();
    }

    SkinWindowManager m_manager; // for its default font
};

TEST_F(GdiplusText, DrawsAntiAliasedTextInsideItsRectangle) {
    Canvas canvas;
    const RECT rc{10, 10, 190, 50};
    const RECT ink = Draw(canvas, rc, L"安装 Tamro", DT_SINGLELINE | DT_VCENTER);
    ASSERT_LT(ink.left, ink.right) << "nothing drawn";
    EXPECT_GE(ink.left, rc.left);
    EXPECT_LE(ink.right, rc.right);
    EXPECT_TRUE(canvas.HasGreyLevels()) << "text is not anti-aliased";
}

TEST_F(GdiplusText, FollowsHorizontalAndSingleLineVerticalAlignment) {
    const RECT rc{0, 0, kWidth, kHeight};
    Canvas left, centre, right;
    const RECT leftInk = Draw(left, rc, L"Tamro", DT_SINGLELINE | DT_VCENTER);
    const RECT centreInk = Draw(centre, rc, L"Tamro", DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    const RECT rightInk = Draw(right, rc, L"Tamro", DT_SINGLELINE | DT_VCENTER | DT_RIGHT);

    EXPECT_LT(leftInk.right, kWidth / 2);
    EXPECT_GT(rightInk.left, kWidth / 2);
    EXPECT_NEAR((centreInk.left + centreInk.right) / 2, kWidth / 2, 4);
    EXPECT_NEAR((leftInk.top + leftInk.bottom) / 2, kHeight / 2, 5);

    // Without single line, vertical centring has no effect, as with GDI.
    Canvas top;
    const RECT topInk = Draw(top, rc, L"Tamro", DT_VCENTER);
    EXPECT_LT(topInk.bottom, kHeight / 2 + 2);
}

TEST_F(GdiplusText, WrapsOnlyWithWordBreakAndTrimsWithEllipsis) {
    const std::wstring sentence = L"one two three four five six seven eight nine ten";
    const RECT narrow{0, 0, 80, kHeight};
    Canvas wrapped, single, ellipsis;
    const RECT wrappedInk = Draw(wrapped, narrow, sentence, DT_WORDBREAK);
    const RECT singleInk = Draw(single, narrow, sentence, DT_SINGLELINE);
    const RECT ellipsisInk = Draw(ellipsis, narrow, sentence, DT_SINGLELINE | DT_END_ELLIPSIS);

    EXPECT_GT(wrappedInk.bottom - wrappedInk.top, 2 * (singleInk.bottom - singleInk.top));
    EXPECT_LE(singleInk.right, narrow.right);
    EXPECT_LE(ellipsisInk.right, narrow.right);
    if (!GdiplusDrawsEllipses(narrow, sentence)) {
        // What such a GDI+ can show: the trimmed line stays inside like the clipped one.
        EXPECT_TRUE(ellipsis.SameAs(single));
        RecordProperty("ellipsis", "not drawn by this GDI+, not checked");
        std::printf("this GDI+ draws no ellipsis: the ellipsis is not checked\n");
        return;
    }
    // The line ends in the three dots: the last ink is low and flat, on the baseline, where the
    // plainly clipped line ends in letters as tall as the rest.
    const auto dots = ellipsis.InkRows(ellipsisInk.right - kEllipsisWidth, ellipsisInk.right);
    const auto letters = single.InkRows(singleInk.right - kEllipsisWidth, singleInk.right);
    EXPECT_LE(dots.second - dots.first, 3) << "no ellipsis at the end";
    EXPECT_NEAR(dots.second, singleInk.bottom, 4) << "the dots are not on the baseline";
    EXPECT_GT(letters.second - letters.first, 3);
}

} // namespace

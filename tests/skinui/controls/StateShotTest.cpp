#include "tests/skinui/support/ControlsFixture.h"

#include "skinui/core/SkinWindowManager.h"
#include "tests/support/SkinShotReference.h"
#include "win32/DibSection.h"

#include <algorithm>

using namespace controlstest;

namespace {

constexpr wchar_t kStatesSkin[] = LR"(<Window size="400,320">
  <Font name="微软雅黑" size="14" />
  <VerticalLayout bkcolor="#FFFFFFFF">
    <HorizontalLayout height="40"><Button name="button" width="90" text="btn" textcolor="#FFFFFFFF" hottextcolor="#FF000000" normalimage="normal.png" hotimage="hot.png" pushedimage="pushed.png" disabledimage="disabled.png" /></HorizontalLayout>
    <HorizontalLayout height="40"><Option name="option" width="90" text="opt" normalimage="normal.png" hotimage="hot.png" pushedimage="pushed.png" disabledimage="disabled.png" selectedimage="selected.png" /></HorizontalLayout>
    <HorizontalLayout height="40"><Option name="selected" width="90" text="sel" selected="true" group="g" normalimage="normal.png" selectedimage="selected.png" selectedhotimage="hot.png" selectedpushedimage="pushed.png" /></HorizontalLayout>
    <HorizontalLayout height="40"><CheckBox name="check" width="90" text="chk" normalimage="normal.png" hotimage="hot.png" disabledimage="disabled.png" /></HorizontalLayout>
    <HorizontalLayout height="40"><OptionEx name="optex" width="90" normalimage="rail.png" forenormalimage="file='normal.png' dest='0,0,20,40'" forehotimage="file='hot.png' dest='0,0,20,40'" forepushedimage="file='pushed.png' dest='0,0,20,40'" foredisabledimage="file='disabled.png' dest='0,0,20,40'" /></HorizontalLayout>
    <HorizontalLayout height="40"><Slider name="slider" width="90" height="20" value="30" bkcolor="#FFE0E0E0" foreimage="fore.png" thumbsize="10,20" thumbimage="normal.png" thumbhotimage="hot.png" thumbpushedimage="pushed.png" /></HorizontalLayout>
    <HorizontalLayout height="40"><ScrollBar name="bar" width="12" height="40" thumbnormalimage="file='thumb.png' corner='0,3,0,3'" thumbhotimage="hot.png" thumbpushedimage="pushed.png" thumbdisabledimage="disabled.png" railnormalimage="rail.png" button1normalimage="arrow.png" button2normalimage="arrow.png" button1disabledimage="disabled.png" button2disabledimage="disabled.png" /></HorizontalLayout>
    <Control />
  </VerticalLayout>
</Window>)";

constexpr int kCellWidth = 100;
constexpr int kCellHeight = 40;
constexpr int kStates = 4; // normal, hot, pushed, disabled

// Controls painted one per cell: a row per control, a column per state.
class StateGrid {
public:
    StateGrid(int rows) : m_image(kCellWidth * kStates, kCellHeight * rows) {
        if (m_image)
            std::fill_n(m_image.pixels(), m_image.width() * m_image.height(), 0xFFFFFF);
    }
    explicit operator bool() const { return static_cast<bool>(m_image); }

    void Paint(skinui::CControlUI& control, int row, int column) {
        const RECT pos = control.GetPos();
        SetViewportOrgEx(m_image.dc(), column * kCellWidth - pos.left, row * kCellHeight - pos.top,
                         nullptr);
        control.DoPaint(m_image.dc(), pos);
        SetViewportOrgEx(m_image.dc(), 0, 0, nullptr);
        GdiFlush();
    }

    skinshot::SkinShot Shot() const {
        skinshot::SkinShot shot;
        shot.width = m_image.width();
        shot.height = m_image.height();
        for (int i = 0; i < shot.width * shot.height; ++i) {
            const std::uint32_t c = m_image.pixels()[i];
            shot.rgba.insert(shot.rgba.end(),
                             {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), 255});
        }
        return shot;
    }

private:
    win32::DibSection m_image;
};

TEST_F(ControlsWindow, EachControlPaintsEachStateLikeTheReference) {
    Open(kStatesSkin);
    const wchar_t* names[] = {L"button", L"option", L"selected", L"check",
                              L"optex",  L"slider", L"bar"};
    StateGrid grid(static_cast<int>(std::size(names)));
    ASSERT_TRUE(grid);
    const POINT away{390, 310};
    for (int row = 0; row < static_cast<int>(std::size(names)); ++row) {
        skinui::CControlUI* control = Find(names[row]);
        ASSERT_TRUE(control) << row;
        const RECT pos = control->GetPos();
        const POINT centre{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
        grid.Paint(*control, row, 0);
        MoveTo(centre);
        grid.Paint(*control, row, 1);
        Press(centre);
        grid.Paint(*control, row, 2);
        // Released away from the control, so nothing is activated.
        MoveTo(away, MK_LBUTTON);
        Release(away);
        MoveTo(away);
        control->SetEnabled(false);
        grid.Paint(*control, row, 3);
    }
    const skinshot::SkinShot shot = grid.Shot();
    EXPECT_TRUE(testsupport::KeepArtifact(shot, "controls-states"));
    // A state's images can cover fewer pixels than the whole grid's allowance: each cell, the
    // whole of one control in one state, must match exactly.
    static const char* const kStateNames[kStates] = {"normal", "hot", "pushed", "disabled"};
    for (int row = 0; row < static_cast<int>(std::size(names)); ++row)
        for (int column = 0; column < kStates; ++column) {
            const testsupport::ImageArea cell{column * kCellWidth, row * kCellHeight,
                                              (column + 1) * kCellWidth, (row + 1) * kCellHeight};
            EXPECT_LE(testsupport::DifferenceFromReference(shot, "skinui/controls",
                                                           "controls-states", cell),
                      testsupport::kExactShare)
                << names[row] << " " << kStateNames[column];
        }
    EXPECT_LE(testsupport::DifferenceFromReference(shot, "skinui/controls", "controls-states"),
              testsupport::kMaxDifferentShare);
    EXPECT_EQ(window->Count(L"click"), 0);
}

} // namespace

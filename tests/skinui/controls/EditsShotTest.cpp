#include "tests/support/SkinShotReference.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <fstream>

namespace {

std::filesystem::path EditsFolder() {
    return testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" / "skinui" / "controls";
}

int CountLines(const skinshot::SkinShot& shot, const std::wstring& part) {
    return static_cast<int>(
        std::count_if(shot.layout.begin(), shot.layout.end(), [&](const std::wstring& line) {
            return line.find(part) != std::wstring::npos;
        }));
}

TEST(SkinShotEdits, EveryElementBuildsAndPaintsLikeTheReference) {
    skinshot::SkinShot shot;
    std::wstring error;
    ASSERT_TRUE(skinshot::CaptureSkin((EditsFolder() / "skins" / "all").wstring(), L"main.xml",
                                      shot, error))
        << std::string(error.begin(), error.end());
    EXPECT_TRUE(testsupport::KeepArtifact(shot, "skinshot-edits-all"));
    EXPECT_LE(testsupport::DifferenceFromReference(shot, "skinui/controls", "all"),
              testsupport::kMaxDifferentShare);
    std::wofstream dump(testsupport::ArtifactsFolder() / "skinshot-edits-all.txt");
    for (const auto& line : shot.layout)
        dump << line << L"\n";

    for (const wchar_t* className : {L" EditUI edit",
                                     L" RichEditUI richedit",
                                     L" ListUI list",
                                     L" ListHeaderUI ",
                                     L" ListHeaderItemUI col0",
                                     L" ListTextElementUI row0",
                                     L" ListLabelElementUI row2",
                                     L" ListContainerElementUI row3",
                                     L" ListContainerElementExUI row4",
                                     L" ComboUI combo",
                                     L" ComboBoxUI combobox",
                                     L" DateTimeUI datetime",
                                     L" TileLayoutUI tile",
                                     L" ChildLayoutUI child",
                                     L" AnimationTabLayoutUI animtab",
                                     L" TreeViewUI tree",
                                     L" TreeListViewUI treelist",
                                     L" TreeListViewHeadUI ",
                                     L" TreeListContainerElementUI treerow",
                                     L" ColorPaletteUI palette",
                                     L" ActiveXUI activex",
                                     L" FlashUI flash",
                                     L" WebBrowserUI browser"})
        EXPECT_EQ(CountLines(shot, className), 1)
            << std::string(className, className + wcslen(className));
    // autosize takes the 1 by 1 picture's size.
    const auto gif = std::find_if(shot.layout.begin(), shot.layout.end(), [](const auto& line) {
        return line.find(L" GifAnimUI gif ") != std::wstring::npos;
    });
    ASSERT_NE(gif, shot.layout.end());
    long left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_EQ(swscanf(gif->c_str() + gif->find(L"gif ") + 4, L"%ld,%ld,%ld,%ld", &left, &top,
                      &right, &bottom),
              4);
    EXPECT_EQ(right - left, 1);
    EXPECT_EQ(bottom - top, 1);
    // The markup that names itself stops nesting instead of recursing without end.
    const int nested = CountLines(shot, L" ChildLayoutUI again ");
    EXPECT_GE(nested, 1);
    EXPECT_LE(nested, 16);
}

} // namespace

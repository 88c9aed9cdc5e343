#include "tests/support/SkinShotReference.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

bool HasLineContaining(const skinshot::SkinShot& shot, const std::wstring& part) {
    for (const std::wstring& line : shot.layout)
        if (line.find(part) != std::wstring::npos)
            return true;
    return false;
}

TEST(ControlsShot, EveryControlPaintsItsStaticStatesLikeTheReference) {
    skinshot::SkinShot shot;
    std::wstring error;
    const auto skin = testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" / "skinui" /
                      "controls" / "skins" / "controls";
    ASSERT_TRUE(skinshot::CaptureSkin(skin.wstring(), L"main.xml", shot, error))
        << std::string(error.begin(), error.end());
    EXPECT_TRUE(KeepArtifact(shot, "skinshot-controls"));
    for (const wchar_t* kind : {L"LabelUI", L"TextUI", L"ButtonUI", L"OptionUI", L"CheckBoxUI",
                                L"OptionExUI", L"SliderUI", L"ProgressUI", L"ScrollBarUI"})
        EXPECT_TRUE(HasLineContaining(shot, kind)) << std::wstring(kind).size();
    EXPECT_LE(DifferenceFromReference(shot, "skinui/controls", "controls"), kMaxDifferentShare);
}

} // namespace

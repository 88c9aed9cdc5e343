#include "tests/support/SkinShotReference.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <sstream>

namespace {

using testsupport::kMaxDifferentShare;

std::filesystem::path SkinFolder(const char* name) {
    return testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" / "skinui" / "window" / "skins" /
           name;
}

skinshot::SkinShot Capture(const std::wstring& skin, const char* artifact) {
    skinshot::SkinShot shot;
    std::wstring error;
    EXPECT_TRUE(skinshot::CaptureSkin(skin, L"main.xml", shot, error))
        << std::string(error.begin(), error.end());
    EXPECT_TRUE(testsupport::KeepArtifact(shot, artifact));
    return shot;
}

double DifferenceFromReference(const skinshot::SkinShot& shot, const char* name) {
    return testsupport::DifferenceFromReference(shot, "skinui/window", name);
}

std::array<int, 3> PixelAt(const skinshot::SkinShot& shot, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * shot.width + x) * 4;
    return {shot.rgba[i], shot.rgba[i + 1], shot.rgba[i + 2]};
}

bool HasLine(const skinshot::SkinShot& shot, const std::wstring& line) {
    return std::find(shot.layout.begin(), shot.layout.end(), line) != shot.layout.end();
}

// The dump's lines are "depth class name rect visible": true when one names the control.
bool HasControl(const skinshot::SkinShot& shot, const std::wstring& name) {
    return std::any_of(shot.layout.begin(), shot.layout.end(), [&](const std::wstring& line) {
        std::wistringstream fields(line);
        std::wstring depth, type, named;
        fields >> depth >> type >> named;
        return named == name;
    });
}

} // namespace

TEST(SkinShot, BasicSkinMatchesItsReferenceAndDumpsTheTree) {
    const auto shot = Capture(SkinFolder("basic").wstring(), "skinshot-basic");
    ASSERT_EQ(shot.width, 530);
    ASSERT_EQ(shot.height, 356);
    EXPECT_LE(DifferenceFromReference(shot, "basic"), kMaxDifferentShare);
    ASSERT_FALSE(shot.layout.empty());
    EXPECT_EQ(shot.layout.front(), L"0 VerticalLayoutUI root 0,0,530,356 1");
    EXPECT_TRUE(HasLine(shot, L"2 ButtonUI one 110,60,215,100 1"));
    EXPECT_TRUE(HasLine(shot, L"2 VerticalLayoutUI page0 0,0,0,0 0"));
    EXPECT_TRUE(HasLine(shot, L"1 ButtonUI floater 26,320,506,350 1"));
    EXPECT_EQ(PixelAt(shot, 150, 80), (std::array<int, 3>{0x3C, 0x78, 0xD8}))
        << "the Button default list paints the button";
}

TEST(SkinShot, ImagesDrawWithNineGridFadeSourceAndHoleWhileBadPartsAreSkipped) {
    const auto shot = Capture(SkinFolder("images").wstring(), "skinshot-images");
    ASSERT_EQ(shot.width, 320);
    ASSERT_EQ(shot.height, 200);
    EXPECT_LE(DifferenceFromReference(shot, "images"), kMaxDifferentShare);
    // Nine-grid: the 10-pixel blue border stays 10 pixels wide on a 304 by 60 control.
    EXPECT_EQ(PixelAt(shot, 12, 40), (std::array<int, 3>{30, 90, 200}));
    EXPECT_EQ(PixelAt(shot, 30, 40), (std::array<int, 3>{250, 250, 250}));
    EXPECT_EQ(PixelAt(shot, 308, 40), (std::array<int, 3>{30, 90, 200}));
    EXPECT_FALSE(HasControl(shot, L"skipped")) << "an unknown element is left out";
    EXPECT_TRUE(HasControl(shot, L"odd")) << "the controls after it are built";
    EXPECT_TRUE(HasControl(shot, L"missing")) << "a control with a missing image is still built";
}

TEST(SkinShot, ZipPackageRendersLikeTheFolder) {
    const auto folder = Capture(SkinFolder("images").wstring(), "skinshot-images-folder");
    const auto zip = Capture(SKINUI_PACKED_SKIN, "skinshot-images-zip");
    ASSERT_EQ(folder.width, zip.width);
    ASSERT_EQ(folder.height, zip.height);
    EXPECT_TRUE(folder.rgba == zip.rgba);
    EXPECT_EQ(folder.layout, zip.layout);
}

TEST(SkinShot, MissingMarkupIsReportedNotFatal) {
    skinshot::SkinShot shot;
    std::wstring error;
    EXPECT_FALSE(skinshot::CaptureSkin(SkinFolder("basic").wstring(), L"nothere.xml", shot, error));
    EXPECT_FALSE(error.empty());
}

TEST(SkinShot, PackagesFromOtherZipWritersRenderLikeTheFolder) {
    const auto folder = Capture(SkinFolder("images").wstring(), "skinshot-images-folder");
    for (const wchar_t* writer : {L"infozip", L"bsdtar", L"pyzipfile", L"7zz"}) {
        SCOPED_TRACE(std::string(writer, writer + wcslen(writer)));
        const std::wstring package = std::wstring(SKINUI_WRITER_ZIPS) + L"/" + writer + L".zip";
        skinshot::SkinShot zip;
        std::wstring error;
        ASSERT_TRUE(skinshot::CaptureSkin(package, L"main.xml", zip, error))
            << std::string(error.begin(), error.end());
        ASSERT_EQ(folder.width, zip.width);
        ASSERT_EQ(folder.height, zip.height);
        EXPECT_TRUE(folder.rgba == zip.rgba);
        EXPECT_EQ(folder.layout, zip.layout);
    }
}

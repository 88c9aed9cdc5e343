#include "SkinShot.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

namespace {

// Per channel difference tolerated between a rendering and its reference: font smoothing
// differs slightly between machines.
constexpr int kChannelTolerance = 48;
// Share of pixels allowed beyond that difference (anti-aliased glyph edges).
constexpr double kMaxDifferentShare = 0.01;

std::filesystem::path TestFolder() {
    return testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" / "skinui_controls";
}

// Fraction of pixels differing from the reference by more than the tolerance; 1 when the
// reference is missing or has another size.
double DifferenceFromReference(const skinshot::SkinShot& shot, const char* name) {
    std::ifstream file(TestFolder() / "reference" / (std::string(name) + ".png"), std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &channels, 4);
    if (!pixels)
        return 1.0;
    if (width != shot.width || height != shot.height) {
        stbi_image_free(pixels);
        return 1.0;
    }
    size_t different = 0;
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c)
            if (std::abs(int(pixels[i * 4 + c]) - int(shot.rgba[i * 4 + c])) > kChannelTolerance) {
                ++different;
                break;
            }
    stbi_image_free(pixels);
    return static_cast<double>(different) / count;
}

bool HasLineStartingWith(const skinshot::SkinShot& shot, const std::wstring& start) {
    for (const std::wstring& line : shot.layout)
        if (line.find(start) != std::wstring::npos)
            return true;
    return false;
}

} // namespace

TEST(ControlsShot, EveryControlPaintsItsStateLikeTheReference) {
    skinshot::SkinShot shot;
    std::wstring error;
    ASSERT_TRUE(skinshot::CaptureSkin((TestFolder() / "skins" / "controls").wstring(), L"main.xml",
                                      shot, error))
        << std::string(error.begin(), error.end());
    EXPECT_TRUE(skinshot::WritePng(
        (testsupport::ArtifactsFolder() / "skinshot-controls.png").wstring(), shot));
    for (const wchar_t* kind : {L"LabelUI", L"TextUI", L"ButtonUI", L"OptionUI", L"CheckBoxUI",
                                L"OptionExUI", L"SliderUI", L"ProgressUI", L"ScrollBarUI"})
        EXPECT_TRUE(HasLineStartingWith(shot, kind)) << std::wstring(kind).size();
    EXPECT_LE(DifferenceFromReference(shot, "controls"), kMaxDifferentShare);
}

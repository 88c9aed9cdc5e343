#include "skinui/markup/SkinMarkup.h"
#include "skinui/resources/SkinImage.h"
#include "skinui/resources/SkinResources.h"
#include "tests/skinui/resources/ZipBuilder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

using namespace skinui::markup;
using namespace skinui::resources;

namespace {

std::wstring Wide(const char16_t* text) {
    std::u16string_view view(text);
    return std::wstring(view.begin(), view.end());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Png(const std::vector<std::uint8_t>& rgba, int width, int height) {
    std::string png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<char*>(data), size);
        },
        &png, width, height, 4, rgba.data(), width * 4);
    return png;
}

std::vector<std::uint8_t> Package() {
    ZipBuilder zip;
    zip.Add("skin/main.xml", "\xEF\xBB\xBF<Window size=\"10,10\"><Button/></Window>");
    zip.Add("\xD6\xD0.xml", "<Chinese/>"); // "中" in code page 936
    zip.Add("empty.xml", "");
    zip.Add("images/a.png", Png({200, 100, 50, 128, 255, 0, 255, 255}, 1, 2));
    return zip.Finish();
}

// Every test starts from loose files in its own folder.
class SkinResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetResourceZip(L"", false);
        SetResourcePath(m_folder.wide());
    }
    void TearDown() override {
        SetResourceZip(L"", false);
        SetResourcePath(L"");
    }
    std::wstring Error(const std::wstring& name) {
        SkinMarkup markup;
        EXPECT_FALSE(LoadMarkupFile(markup, name)) << "loaded";
        return Wide(markup.GetLastErrorMessage());
    }

    testsupport::ScratchFolder m_folder{"skinres"};
};

TEST_F(SkinResourcesTest, ResourcePathGetsOneTrailingSeparator) {
    SetResourcePath(L"C:\\skins");
    EXPECT_EQ(GetResourcePath(), L"C:\\skins\\");
    SetResourcePath(L"C:\\skins\\");
    EXPECT_EQ(GetResourcePath(), L"C:\\skins\\");
    SetResourcePath(L"C:/skins/");
    EXPECT_EQ(GetResourcePath(), L"C:/skins/");
    SetResourcePath(L"");
    EXPECT_EQ(GetResourcePath(), L"");
}

TEST_F(SkinResourcesTest, LooseFilesAndTheirErrors) {
    WriteFile(m_folder.path() / "main.xml", "<Window><Label/></Window>");
    WriteFile(m_folder.path() / "empty.xml", "");
    WriteFile(m_folder.path() / "bad.xml", "<Window></Windo>");
    SkinMarkup markup;
    ASSERT_TRUE(LoadMarkupFile(markup, L"main.xml"));
    EXPECT_EQ(Wide(markup.GetRoot().GetChild().GetName()), L"Label");
    EXPECT_EQ(Error(L"missing.xml"), L"Error opening file");
    EXPECT_EQ(Error(L"empty.xml"), L"File is empty");
    EXPECT_EQ(Error(L"bad.xml"), L"Unmatched closing tag");
}

TEST_F(SkinResourcesTest, FileOfExactlyTheLimitLoadsOneByteMoreDoesNot) {
    std::string head = "<Window>", tail = "</Window>";
    std::string text = head + std::string(kMaxSkinFileSize - head.size() - tail.size(), ' ') + tail;
    WriteFile(m_folder.path() / "exact.xml", text);
    WriteFile(m_folder.path() / "over.xml", text + " ");
    SkinMarkup markup;
    EXPECT_TRUE(LoadMarkupFile(markup, L"exact.xml"));
    EXPECT_EQ(Error(L"over.xml"), L"File too large");
}

TEST_F(SkinResourcesTest, ZipFileItemsFoundCaseInsensitivelyWithBackslashes) {
    std::vector<std::uint8_t> bytes = Package();
    WriteFile(m_folder.path() / "skin.zip", std::string(bytes.begin(), bytes.end()));
    for (bool cached : {false, true}) {
        SetResourceZip(L"skin.zip", cached);
        SkinMarkup markup;
        ASSERT_TRUE(LoadMarkupFile(markup, L"SKIN\\Main.XML")) << cached;
        EXPECT_EQ(Wide(markup.GetRoot().GetName()), L"Window");
        ASSERT_TRUE(LoadMarkupFile(markup, L"\u4E2D.XML")) << "ANSI item name";
        EXPECT_EQ(Wide(markup.GetRoot().GetName()), L"Chinese");
        EXPECT_EQ(Error(L"skin/other.xml"), L"Could not find ziped file");
        EXPECT_EQ(Error(std::wstring(300, L'a')), L"Could not find ziped file");
        EXPECT_EQ(Error(L"empty.xml"), L"File is empty");
    }
    SetResourceZip(L"absent.zip", false);
    EXPECT_EQ(Error(L"skin/main.xml"), L"Error opening zip file");
}

TEST_F(SkinResourcesTest, DamagedItemCannotBeUnzipped) {
    std::vector<std::uint8_t> bytes = Package();
    std::string text(bytes.begin(), bytes.end());
    std::size_t data = text.find("skin/main.xml") + 13;
    for (std::size_t i = data; i < data + 8; ++i)
        text[i] = static_cast<char>(text[i] ^ 0x33);
    WriteFile(m_folder.path() / "skin.zip", text);
    SetResourceZip(L"skin.zip", true);
    EXPECT_EQ(Error(L"skin/main.xml"), L"Could not unzip file");
}

TEST_F(SkinResourcesTest, MemoryPackageIsKeptAndNotReopened) {
    std::vector<std::uint8_t> bytes = Package();
    ASSERT_TRUE(OpenResourceZipFromMemory(bytes.data(), bytes.size()));
    std::fill(bytes.begin(), bytes.end(), 0); // the package holds its own copy
    EXPECT_EQ(GetResourceZip(), L"membuffer");
    EXPECT_TRUE(IsResourceZipCached());
    SkinMarkup markup;
    ASSERT_TRUE(LoadMarkupFile(markup, L"skin/main.xml"));
    // This program has no package resource: that is reported even with a package open, and
    // the open package stays.
    EXPECT_FALSE(LoadZipResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(132)));
    EXPECT_EQ(GetResourceZip(), L"membuffer");
    std::vector<std::uint8_t> read;
    EXPECT_TRUE(ReadSkinFileBytes(L"Images\\A.png", read));
    EXPECT_FALSE(ReadSkinFileBytes(L"images/none.png", read));
}

TEST_F(SkinResourcesTest, MissingZipResourceLeavesWindowWithoutSkin) {
    EXPECT_FALSE(LoadZipResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(132)));
    EXPECT_FALSE(PrepareSkinSource(SkinSource::ZipResource, L"", L"", MAKEINTRESOURCEW(132)));
    SetResourcePath(L"");
    EXPECT_TRUE(PrepareSkinSource(SkinSource::Files, L"skin", L"", nullptr));
    std::wstring path = GetResourcePath();
    EXPECT_EQ(path.substr(path.size() - 5), L"skin\\");
    EXPECT_TRUE(path.find(L":\\") != std::wstring::npos);
}

TEST_F(SkinResourcesTest, ImageFromPackageIsPremultipliedTopDownBitmap) {
    std::vector<std::uint8_t> bytes = Package();
    ASSERT_TRUE(OpenResourceZipFromMemory(bytes.data(), bytes.size()));
    std::unique_ptr<ImageRecord> image = LoadSkinImage(L"IMAGES/a.png", L"", 0xFFFF00FF);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 1);
    EXPECT_EQ(image->height, 2);
    EXPECT_TRUE(image->hasAlpha);
    EXPECT_EQ(image->mask, 0xFFFF00FFu);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(image->bitmap.get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    const auto* pixels = static_cast<const std::uint32_t*>(dib.dsBm.bmBits);
    EXPECT_EQ(pixels[0], 0x80643219u); // top row first
    EXPECT_EQ(pixels[1], 0u);          // the mask colour
    EXPECT_FALSE(LoadSkinImage(L"images/none.png", L"", 0));
    EXPECT_FALSE(LoadSkinImage(L"skin/main.xml", L"", 0));
    EXPECT_FALSE(LoadSkinImage(L"7", L"PNG", 0));

    ImageRecord moved(std::move(*image));
    EXPECT_FALSE(image->bitmap) << "the moved-from record gave up its bitmap";
    EXPECT_TRUE(moved.bitmap);
}

} // namespace

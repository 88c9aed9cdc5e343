#include "installer/FolderUtils.h"
#include "installer/TextConversion.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr UINT kChineseSimplifiedCodePage = 936;

class TextConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The harness runs Wine under zh_CN.UTF-8; anything else would silently test another
        // code page than the one the users have.
        ASSERT_EQ(GetACP(), kChineseSimplifiedCodePage) << "Wine is not running with code page 936";
    }
};

TEST_F(TextConversionTest, ChinesePathRoundTripsThroughGbk) {
    const std::wstring path = L"C:\\Program Files\\安装\\繁體測試";
    const std::string bytes = WideToAnsi(path);
    // "安" and "装" in GBK.
    EXPECT_EQ(bytes.substr(17, 4), "\xB0\xB2\xD7\xB0");
    EXPECT_EQ(AnsiToWide(bytes), path);
}

TEST_F(TextConversionTest, EmptyAndNulTerminatedInput) {
    EXPECT_EQ(AnsiToWide(""), L"");
    EXPECT_EQ(WideToAnsi(L""), "");
    EXPECT_EQ(AnsiToWide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(WideToAnsi(std::wstring(L"ab\0cd", 5)), "ab");
}

TEST_F(TextConversionTest, CharactersOutsideGbkBecomeSubstitutes) {
    const std::wstring korean = L"한국어";
    const std::wstring emoji = L"x\U0001F600y";
    EXPECT_EQ(WideToAnsi(korean), "???");
    const std::string emojiBytes = WideToAnsi(emoji);
    EXPECT_EQ(emojiBytes.front(), 'x');
    EXPECT_EQ(emojiBytes.back(), 'y');
    EXPECT_NE(emojiBytes.find('?'), std::string::npos);
    EXPECT_NE(AnsiToWide(WideToAnsi(korean)), korean);
}

TEST_F(TextConversionTest, SubstitutedPathCreatesNothingAnywhere) {
    testsupport::ScratchFolder scratch("conv");
    const std::wstring intended = scratch.wide() + L"\\한국\\데이터";
    MakeFolderChainAnsi(WideToAnsi(intended));

    EXPECT_FALSE(fs::exists(intended));
    // "?" is not a valid file name character, so the byte-string route names no folder at all.
    EXPECT_TRUE(fs::is_empty(scratch.path()));
}

TEST_F(TextConversionTest, FolderChainSkipsBackslashTrailBytes) {
    // In GBK the trail byte of "乗" and "昞" is 0x5C, the backslash.
    testsupport::ScratchFolder scratch("dbcs");
    const std::wstring tricky = scratch.wide() + L"\\a乗b\\昞";
    MakeFolderChainAnsi(WideToAnsi(tricky));

    EXPECT_TRUE(fs::is_directory(tricky));
    EXPECT_TRUE(fs::is_directory(scratch.wide() + L"\\a乗b"));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 1);
}

} // namespace

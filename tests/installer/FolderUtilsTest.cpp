#include "installer/FolderUtils.h"
#include "installer/TextConversion.h"
#include "tests/support/TestSupport.h"
#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t EntryCount(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::recursive_directory_iterator(folder),
                                                  fs::recursive_directory_iterator()));
}

TEST(MakeFolderChainAnsi, CreatesEveryLevelWithOrWithoutTrailingBackslash) {
    testsupport::ScratchFolder scratch("ansichain");
    const std::string base = WideToAnsi(scratch.wide());

    MakeFolderChainAnsi(base + "\\A\\B");
    EXPECT_TRUE(fs::is_directory(scratch.path() / "A" / "B"));

    MakeFolderChainAnsi(base + "\\C\\D\\");
    EXPECT_TRUE(fs::is_directory(scratch.path() / "C" / "D"));

    // Existing folders along the way, and a drive root at the start, do no harm.
    MakeFolderChainAnsi(base + "\\A\\B\\E");
    EXPECT_TRUE(fs::is_directory(scratch.path() / "A" / "B" / "E"));
    EXPECT_EQ(EntryCount(scratch.path()), 5u);
}

TEST(MakeFolderChainAnsi, OverLongPathCreatesNothing) {
    testsupport::ScratchFolder scratch("ansilong");
    const std::string base = WideToAnsi(scratch.wide());
    const std::string longPath = base + "\\first\\" + std::string(kMaxAnsiPathLength, 'x');
    MakeFolderChainAnsi(longPath);
    EXPECT_TRUE(fs::is_empty(scratch.path()));

    // Exactly at the limit the chain is still created.
    const std::string atLimit =
        base + "\\n\\" + std::string(kMaxAnsiPathLength - base.size() - 3, 'y');
    ASSERT_EQ(atLimit.size(), kMaxAnsiPathLength);
    MakeFolderChainAnsi(atLimit);
    EXPECT_TRUE(fs::is_directory(scratch.path() / "n"));
}

TEST(TempFolderPath, AppendsNameWithoutSeparatorAndCreatesIt) {
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    ASSERT_GT(length, 0u);
    const std::string tempFolder(temp, length);
    ASSERT_EQ(tempFolder.back(), '\\');

    EXPECT_EQ(TempFolderPath(""), tempFolder);

    testsupport::RemoveTree(fs::path(AnsiToWide(tempFolder + "Orvia")));
    const std::string staging = TempFolderPath("Orvia");
    EXPECT_EQ(staging, tempFolder + "Orvia");
    EXPECT_TRUE(fs::is_directory(AnsiToWide(staging)));
}

TEST(TempFolderPath, OverLongNameGivesEmptyAndCreatesNothing) {
    const std::string name = "orvia-long-" + std::string(kMaxAnsiPathLength, 'z');
    EXPECT_EQ(TempFolderPath(name), "");
    EXPECT_FALSE(fs::exists(AnsiToWide(TempFolderPath("") + name.substr(0, 40))));
}

TEST(WriteWholeFile, WritesAndReplacesWholeContent) {
    testsupport::ScratchFolder scratch("write");
    const fs::path file = scratch.path() / L"数据.bin";
    const std::string first(100000, 'a');
    ASSERT_EQ(WriteWholeFile(file.wstring(), first.data(), first.size()), 0);
    EXPECT_EQ(ReadFile(file), first);

    const std::string second = "short";
    ASSERT_EQ(WriteWholeFile(file.wstring(), second.data(), second.size()), 0);
    EXPECT_EQ(ReadFile(file), second);

    ASSERT_EQ(WriteWholeFile(file.wstring(), nullptr, 0), 0);
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST(WriteWholeFile, FailsForMissingFolderAndLockedFile) {
    testsupport::ScratchFolder scratch("writefail");
    const std::string data = "payload";
    EXPECT_EQ(
        WriteWholeFile((scratch.path() / "missing" / "f.bin").wstring(), data.data(), data.size()),
        1);
    EXPECT_TRUE(fs::is_empty(scratch.path()));

    const fs::path locked = scratch.path() / "locked.bin";
    ASSERT_EQ(WriteWholeFile(locked.wstring(), data.data(), data.size()), 0);
    {
        win32::UniqueFileHandle holder(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(WriteWholeFile(locked.wstring(), "x", 1), 1);
    }
    EXPECT_EQ(ReadFile(locked), data);
}

TEST(FolderExists, ExistingEmptyMissingAndFile) {
    testsupport::ScratchFolder scratch("exists");
    EXPECT_TRUE(FolderExists(scratch.wide()));
    EXPECT_TRUE(FolderExists(scratch.wide() + L"\\"));
    EXPECT_FALSE(FolderExists(scratch.wide() + L"\\missing"));

    const fs::path file = scratch.path() / "file.txt";
    ASSERT_EQ(WriteWholeFile(file.wstring(), "x", 1), 0);
    EXPECT_FALSE(FolderExists(file.wstring()));
    EXPECT_FALSE(FolderExists(L""));
}

TEST(MakeFolderChain, CreatesChainAndReportsOnlyNewLastFolder) {
    testsupport::ScratchFolder scratch("chain");
    const std::wstring target = scratch.wide() + L"\\Tolma\\Orvia\\tamro";
    EXPECT_TRUE(MakeFolderChain(target));
    EXPECT_TRUE(fs::is_directory(target));

    // Already there: false although nothing is wrong.
    EXPECT_FALSE(MakeFolderChain(target));
    EXPECT_FALSE(MakeFolderChain(target + L"\\"));

    EXPECT_TRUE(MakeFolderChain(scratch.wide() + L"\\新建\\文件夹\\"));
    EXPECT_TRUE(fs::is_directory(scratch.wide() + L"\\新建\\文件夹"));
    EXPECT_FALSE(MakeFolderChain(L""));
}

TEST(MakeFolderChain, OverLongPathCreatesNothing) {
    testsupport::ScratchFolder scratch("chainlong");
    const std::wstring target = scratch.wide() + L"\\first\\" + std::wstring(kMaxPathLength, L'x');
    EXPECT_FALSE(MakeFolderChain(target));
    EXPECT_TRUE(fs::is_empty(scratch.path()));
}

} // namespace

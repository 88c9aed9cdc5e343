#include "installer/StagingFile.h"
#include "installer/TextConversion.h"
#include "tests/support/TestSupport.h"
#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr char kPayload[] = "7z payload bytes";

win32::UniqueFileHandle OpenAsOther(const fs::path& path, DWORD access) {
    return win32::UniqueFileHandle(CreateFileW(path.c_str(), access, kShareAll, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string ReadThrough(HANDLE file) {
    LARGE_INTEGER start{};
    SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
    char buffer[64] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof(buffer), &read, nullptr);
    return std::string(buffer, read);
}

TEST(StagingFile, DefaultPathIsOrvInstall7zInTheOrviaFolderOfTemp) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    EXPECT_EQ(StagingFile::DefaultPath(), std::wstring(temp) + L"Orvia\\orvInstall.7z");
    EXPECT_TRUE(fs::is_directory(fs::path(temp) / "Orvia"));
}

TEST(StagingFile, OthersCanNeitherWriteNorReplaceNorDeleteItWhileItIsOpen) {
    testsupport::ScratchFolder scratch("staging");
    const fs::path path = scratch.path() / "orvInstall.7z";
    {
        StagingFile staging;
        ASSERT_TRUE(staging.Create(path.wstring(), kPayload, sizeof(kPayload) - 1));
        ASSERT_NE(staging.Handle(), nullptr);
        EXPECT_EQ(ReadThrough(staging.Handle()), kPayload);

        EXPECT_FALSE(OpenAsOther(path, GENERIC_WRITE));
        EXPECT_FALSE(DeleteFileW(path.c_str()));
        EXPECT_FALSE(MoveFileExW(path.c_str(), (scratch.path() / "moved").c_str(), 0));
        const fs::path other = scratch.path() / "other.7z";
        std::ofstream(other, std::ios::binary) << "another archive";
        EXPECT_FALSE(MoveFileExW(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
        EXPECT_EQ(ReadThrough(staging.Handle()), kPayload) << "the bytes unpacked are ours";
    }
    EXPECT_FALSE(fs::exists(path)) << "removed when the owner goes";
}

TEST(StagingFile, ALeftoverIsReplacedEvenWhenReadOnlyAndRemoveDeletesIt) {
    testsupport::ScratchFolder scratch("staging");
    const fs::path path = scratch.path() / "orvInstall.7z";
    std::ofstream(path, std::ios::binary) << "left over from an earlier run";
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);

    StagingFile staging;
    ASSERT_TRUE(staging.Create(path.wstring(), kPayload, sizeof(kPayload) - 1));
    EXPECT_EQ(ReadThrough(staging.Handle()), kPayload);
    staging.Remove();
    EXPECT_EQ(staging.Handle(), nullptr);
    EXPECT_FALSE(fs::exists(path));
    staging.Remove();
}

TEST(StagingFile, AFileAnotherProgramHoldsOpenIsNeitherUsedNorTouched) {
    testsupport::ScratchFolder scratch("staging");
    const fs::path path = scratch.path() / "orvInstall.7z";
    std::ofstream(path, std::ios::binary) << "held by someone else";
    win32::UniqueFileHandle held(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    StagingFile staging;
    EXPECT_FALSE(staging.Create(path.wstring(), kPayload, sizeof(kPayload) - 1));
    EXPECT_EQ(staging.Handle(), nullptr);
    EXPECT_FALSE(staging.Create(L"", kPayload, sizeof(kPayload) - 1));
    held.reset();
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "held by someone else");
}

} // namespace

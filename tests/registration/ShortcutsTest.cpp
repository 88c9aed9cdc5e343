#include "installer/Shortcuts.h"
#include "installer/Registration.h"
#include "installer/TextConversion.h"
#include "tests/support/TestSupport.h"
#include "win32/ComPtr.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct LoadedLink {
    std::wstring target;
    std::wstring description;
    std::wstring workingDirectory;
    std::wstring arguments;
    int showCommand{-1};
};

// Loads a shortcut file through the shell's own link object, as Explorer would.
::testing::AssertionResult LoadLink(const fs::path& file, LoadedLink& link) {
    win32::ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.put_void())))
        return ::testing::AssertionFailure() << "no shell link object";
    auto persist = shellLink.query<IPersistFile>(IID_IPersistFile);
    if (!persist || FAILED(persist->Load(file.wstring().c_str(), STGM_READ)))
        return ::testing::AssertionFailure() << "cannot load " << file.string();
    wchar_t text[MAX_PATH * 2] = {};
    shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    link.target = text;
    text[0] = L'\0';
    shellLink->GetDescription(text, MAX_PATH);
    link.description = text;
    text[0] = L'\0';
    shellLink->GetWorkingDirectory(text, MAX_PATH);
    link.workingDirectory = text;
    text[0] = L'\0';
    shellLink->GetArguments(text, MAX_PATH);
    link.arguments = text;
    shellLink->GetShowCmd(&link.showCommand);
    return ::testing::AssertionSuccess();
}

fs::path WideFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return fs::path(path);
}

const wchar_t kClient[] = L"D:\\Apps\\Tolma\\Orvia\\tamro\\tamro\\tamro.exe";

// Owns COM for the test thread and removes the client's shortcuts before and after each test.
class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_desktopLink = WideFolder(CSIDL_DESKTOPDIRECTORY) / L"Tamro.lnk";
        m_programsFolder = WideFolder(CSIDL_COMMON_PROGRAMS) / L"Tamro";
        ASSERT_FALSE(m_desktopLink.parent_path().empty());
        RemoveShortcuts();
    }
    void TearDown() override {
        RemoveShortcuts();
        CoUninitialize();
    }

    void RemoveShortcuts() {
        std::error_code ignored;
        fs::remove(m_desktopLink, ignored);
        testsupport::RemoveTree(m_programsFolder);
    }

    ShortcutInfo Info(const std::wstring& target = kClient) {
        ShortcutInfo info;
        info.target = target;
        return info;
    }

    fs::path m_desktopLink;
    fs::path m_programsFolder;
};

TEST_F(ShortcutsTest, SpecialFoldersMatchTheShell) {
    EXPECT_EQ(fs::path(AnsiToWide(SpecialFolderPath(product::kDesktopFolder))),
              m_desktopLink.parent_path());
    EXPECT_EQ(fs::path(AnsiToWide(SpecialFolderPath(product::kCommonProgramsFolder))),
              m_programsFolder.parent_path());

    const std::wstring programFiles = AnsiToWide(SpecialFolderPath(product::kProgramFilesFolder));
    EXPECT_EQ(programFiles, WideFolder(CSIDL_PROGRAM_FILES).wstring() + L"\\");
    EXPECT_EQ(DefaultInstallFolder(), programFiles + L"Tolma\\Orvia\\tamro");

    EXPECT_EQ(SpecialFolderPath(0x7FFF), "");
}

TEST_F(ShortcutsTest, DesktopShortcutPointsToTheClient) {
    ASSERT_TRUE(CreateDesktopShortcut(Info()));
    LoadedLink link;
    ASSERT_TRUE(LoadLink(m_desktopLink, link));
    EXPECT_EQ(link.target, kClient);
    EXPECT_EQ(link.description, L"Tamro");
    EXPECT_EQ(link.workingDirectory, L"");
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.showCommand, SW_SHOWNORMAL);
}

TEST_F(ShortcutsTest, ProgramsSubFolderIsCreatedThenReusedAndItsShortcutOverwritten) {
    ASSERT_TRUE(CreateProgramsShortcut(Info()));
    ASSERT_TRUE(fs::is_directory(m_programsFolder));
    LoadedLink link;
    ASSERT_TRUE(LoadLink(m_programsFolder / L"Tamro.lnk", link));
    EXPECT_EQ(link.target, kClient);
    EXPECT_EQ(link.description, L"Tamro");
    EXPECT_EQ(link.showCommand, SW_SHOWNORMAL);

    std::ofstream(m_programsFolder / L"keep.txt") << "kept";
    const std::wstring other = L"E:\\聊天\\tamro\\tamro\\tamro.exe";
    ASSERT_TRUE(CreateProgramsShortcut(Info(other)));
    ASSERT_TRUE(LoadLink(m_programsFolder / L"Tamro.lnk", link));
    EXPECT_EQ(link.target, other);
    EXPECT_TRUE(fs::exists(m_programsFolder / L"keep.txt"));
    EXPECT_FALSE(fs::exists(m_desktopLink));
}

TEST_F(ShortcutsTest, BlockedProgramsSubFolderLeavesTheDesktopShortcutAlone) {
    ASSERT_TRUE(CreateDesktopShortcut(Info()));
    std::ofstream(m_programsFolder) << "a file where the folder belongs";

    EXPECT_FALSE(CreateProgramsShortcut(Info(L"C:\\elsewhere\\tamro.exe")));
    EXPECT_TRUE(fs::is_regular_file(m_programsFolder));
    EXPECT_FALSE(fs::exists(m_programsFolder.parent_path() / L"Tamro.lnk"));

    LoadedLink link;
    ASSERT_TRUE(LoadLink(m_desktopLink, link));
    EXPECT_EQ(link.target, kClient);
}

TEST_F(ShortcutsTest, DisplayNameWithAPathCreatesNothing) {
    for (const wchar_t* name : {L"", L"..", L"..\\Tamro", L"sub/Tamro", L"C:Tamro"}) {
        ShortcutInfo info = Info();
        info.displayName = name;
        EXPECT_FALSE(CreateDesktopShortcut(info)) << fs::path(name).string();
        EXPECT_FALSE(CreateProgramsShortcut(info)) << fs::path(name).string();
    }
    EXPECT_FALSE(fs::exists(m_desktopLink.parent_path().parent_path() / L"Tamro.lnk"));
    EXPECT_FALSE(fs::exists(m_programsFolder.parent_path().parent_path() / L"Tamro"));
}

TEST_F(ShortcutsTest, ShellLinkDefaultsForAbsentArguments) {
    testsupport::ScratchFolder scratch("linkargs");
    EXPECT_FALSE(CreateShellLink(kClient, nullptr, L"a.lnk", L"d"));
    EXPECT_FALSE(CreateShellLink(kClient, L"", L"a.lnk", L"d"));

    ASSERT_TRUE(CreateShellLink(nullptr, scratch.wide().c_str(), nullptr, nullptr));
    LoadedLink link;
    ASSERT_TRUE(LoadLink(scratch.path() / L"unknown.lnk", link));
    EXPECT_EQ(link.target, L"");
    EXPECT_EQ(link.description, L"");
    EXPECT_EQ(link.showCommand, SW_SHOWNORMAL);

    // A missing folder makes the save fail; nothing is created on the way.
    EXPECT_FALSE(CreateShellLink(kClient, (scratch.wide() + L"\\missing").c_str(), L"a.lnk", L""));
    EXPECT_FALSE(fs::exists(scratch.path() / L"missing"));
}

TEST_F(ShortcutsTest, ShellLinkPathMustFitMaxPath) {
    testsupport::ScratchFolder scratch("linklong");
    const std::wstring folder = scratch.wide();
    // folder + "\" + name + ".lnk" of exactly 259 characters still fits with its NUL.
    const std::size_t stem = MAX_PATH - 1 - folder.size() - 1 - 4;
    ASSERT_LT(stem, 250u);
    const std::wstring fits = std::wstring(stem, L'n') + L".lnk";
    EXPECT_TRUE(CreateShellLink(kClient, folder.c_str(), fits.c_str(), L"fits"));
    EXPECT_TRUE(fs::exists(scratch.path() / fits));

    const std::wstring tooLong = std::wstring(stem + 1, L'n') + L".lnk";
    EXPECT_FALSE(CreateShellLink(kClient, folder.c_str(), tooLong.c_str(), L"long"));
    EXPECT_FALSE(fs::exists(scratch.path() / tooLong));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 1);
}

TEST_F(ShortcutsTest, ThreadInAMultithreadedApartmentKeepsIt) {
    testsupport::ScratchFolder scratch("linkmta");
    bool saved = false;
    HRESULT afterwards = E_FAIL;
    std::thread worker([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
            return;
        saved = CreateShellLink(kClient, scratch.wide().c_str(), L"mta.lnk", L"mta");
        win32::ComPtr<IShellLinkW> link;
        afterwards = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, link.put_void());
        link.reset();
        CoUninitialize();
    });
    worker.join();
    EXPECT_TRUE(saved);
    EXPECT_EQ(afterwards, S_OK);
}

} // namespace

// The version resources of the built programs, read back through the system's version API as
// the file properties dialog reads them.
#include "installer/ModuleVersion.h"
#include "installer/ProductNames.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Program {
    const wchar_t* path;
    const wchar_t* description;
    const wchar_t* originalName;
};

const Program kPrograms[] = {
    {ORVINSTALL_EXE, L"Tamro 安装程序", L"OrvInstall.exe"},
    {ORVUNINSTALL_EXE, L"Tamro 卸载程序", L"OrvUnInstall.exe"},
    {ORVFLASH_EXE, L"Tamro Flash 动画播放器", L"orvflash.exe"},
    {DEMO_TAMRO_EXE, L"Tamro 演示客户端", L"tamro.exe"},
};

class VersionBlock {
public:
    explicit VersionBlock(const std::wstring& path) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        if (size == 0)
            return;
        m_data.resize(size);
        if (!GetFileVersionInfoW(path.c_str(), 0, size, m_data.data()))
            m_data.clear();
    }

    bool present() const { return !m_data.empty(); }

    const VS_FIXEDFILEINFO* fixed() {
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(m_data.data(), L"\\", reinterpret_cast<void**>(&info), &length))
            return nullptr;
        return length >= sizeof(VS_FIXEDFILEINFO) ? info : nullptr;
    }

    // The one translation the resource declares.
    std::wstring translation() {
        WORD* pair = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(m_data.data(), L"\\VarFileInfo\\Translation",
                            reinterpret_cast<void**>(&pair), &length) ||
            length != 2 * sizeof(WORD))
            return std::wstring();
        wchar_t text[9] = {};
        swprintf(text, 9, L"%04x%04x", pair[0], pair[1]);
        return text;
    }

    std::wstring text(const std::wstring& name) {
        const std::wstring query = L"\\StringFileInfo\\" + translation() + L"\\" + name;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(m_data.data(), query.c_str(), reinterpret_cast<void**>(&value),
                            &length) ||
            !value)
            return L"<missing>";
        return value;
    }

private:
    std::vector<BYTE> m_data;
};

TEST(VersionInfo, EveryProgramNamesTheProductCompanyAndItself) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(program.path)));
        VersionBlock block(program.path);
        ASSERT_TRUE(block.present());
        const VS_FIXEDFILEINFO* fixed = block.fixed();
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(6, 2));
        EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(2, 3));
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        EXPECT_EQ(block.translation(), L"080404b0");
        EXPECT_EQ(block.text(L"FileVersion"), L"2.6.3.2");
        EXPECT_EQ(block.text(L"ProductVersion"), L"2.6.3.2");
        EXPECT_EQ(block.text(L"ProductName"), L"Tamro");
        EXPECT_EQ(block.text(L"CompanyName"), L"Tolma网络");
        EXPECT_EQ(block.text(L"FileDescription"), program.description);
        EXPECT_EQ(block.text(L"OriginalFilename"), program.originalName);
        EXPECT_EQ(block.text(L"LegalCopyright"), L"Copyright © 2026 Tolma网络");
    }
}

TEST(VersionInfo, TheInstallerRecordsTheVersionItCarries) {
    // The uninstall entry's DisplayVersion comes from the package's own version resource, and
    // the programs' resources and the compiled constant agree.
    const HMODULE installer = LoadLibraryExW(
        ORVINSTALL_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(installer, nullptr);
    EXPECT_EQ(ModuleVersionText(installer), product::kDisplayVersion);
    EXPECT_EQ(std::wstring(product::kDisplayVersion), L"2.6.3.2");
    FreeLibrary(installer);
    EXPECT_EQ(ModuleVersionText(GetModuleHandleW(nullptr)), L"");
}

} // namespace

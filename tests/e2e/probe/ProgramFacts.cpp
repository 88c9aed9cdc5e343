#include "tests/e2e/probe/ProgramFacts.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace e2eprobe {

namespace {

constexpr const wchar_t* kVersionStrings[] = {
    L"CompanyName",    L"FileDescription",  L"FileVersion", L"InternalName",
    L"LegalCopyright", L"OriginalFilename", L"ProductName", L"ProductVersion"};

std::wstring FourNumbers(DWORD high, DWORD low) {
    return std::to_wstring(HIWORD(high)) + L'.' + std::to_wstring(LOWORD(high)) + L'.' +
           std::to_wstring(HIWORD(low)) + L'.' + std::to_wstring(LOWORD(low));
}

struct ShownSearch {
    DWORD process;
    long long visible;
};

BOOL CALLBACK CountShown(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ShownSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window))
        ++search->visible;
    return TRUE;
}

} // namespace

Result VersionCommand(const Fields& args) {
    const std::wstring& path = args.at(1);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return Fail(L"no version resource");
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return Fail(L"GetFileVersionInfoW " + std::to_wstring(GetLastError()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof(VS_FIXEDFILEINFO))
        return Fail(L"no fixed version part");
    WORD* translation = nullptr;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return Fail(L"no translation");
    wchar_t language[9] = {};
    std::swprintf(language, 9, L"%04x%04x", translation[0], translation[1]);

    Result result;
    result.answer.Add(L"fileversion", FourNumbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS))
        .Add(L"productversion", FourNumbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS))
        .Add(L"translation", language);
    for (const wchar_t* name : kVersionStrings) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\") + language + L"\\" + name;
        wchar_t* value = nullptr;
        if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value),
                           &length) &&
            value)
            result.answer.Add(name, value);
    }
    return result;
}

Result ShownCommand(const Fields& args) {
    ShownSearch search{static_cast<DWORD>(std::wcstoul(args.at(1).c_str(), nullptr, 10)), 0};
    EnumWindows(CountShown, reinterpret_cast<LPARAM>(&search));
    Result result;
    result.answer.Add(L"visible", search.visible);
    return result;
}

} // namespace e2eprobe

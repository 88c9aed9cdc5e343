#include "tools/flashstandin/StandInOptions.h"

#include "win32/EnvironmentVariable.h"
#include "win32/UniqueHandle.h"
#include "win32/Utf8.h"

#include <windows.h>

#include <cstdio>

namespace flashstandin {

StandInOptions StandInOptions::FromEnvironment() {
    StandInOptions options;
    options.logPath = win32::EnvironmentVariable(L"ORVIA_FLASHSTANDIN_LOG");
    const std::wstring version = win32::EnvironmentVariable(L"ORVIA_FLASHSTANDIN_VERSION");
    if (!version.empty()) {
        const int major = _wtoi(version.c_str());
        if (major > 0 && major < 256)
            options.majorVersion = major;
    }
    options.failingMethod = win32::EnvironmentVariable(L"ORVIA_FLASHSTANDIN_FAIL");
    options.windowless = win32::EnvironmentVariable(L"ORVIA_FLASHSTANDIN_NO_WINDOWLESS") != L"1";
    options.viewObjectEx = win32::EnvironmentVariable(L"ORVIA_FLASHSTANDIN_NO_VIEWEX") != L"1";
    return options;
}

long FlashVersionValue(int majorVersion) {
    constexpr long kBuild = 465;
    return static_cast<long>(majorVersion) << 16 | kBuild;
}

void AppendLog(const std::wstring& path, const std::wstring& line) {
    if (path.empty())
        return;
    const std::string utf8 = win32::ToUtf8(line + L"\n");
    // Opened for each line, so a reader sees every line at once and a crash loses none.
    const win32::UniqueFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring LogHex(long value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

} // namespace flashstandin

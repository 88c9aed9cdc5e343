#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Finds the helper's message box by its caption, reads its text and closes it.
std::wstring CloseSkinErrorBox(DWORD processId) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", L"SkinUI")) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner != processId)
                continue;
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(50);
    }
    return L"<no box>";
}

TEST(FailSkinLoadTest, ShowsErrorBoxThenExitsWithOne) {
    std::wstring command = L"\"" + std::wstring(FAIL_SKIN_LOAD_HELPER) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info));
    win32::UniqueKernelHandle process(info.hProcess);
    win32::UniqueKernelHandle thread(info.hThread);
    EXPECT_EQ(CloseSkinErrorBox(info.dwProcessId), L"加载资源文件失败");
    ASSERT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(exitCode, 1u);
}

} // namespace

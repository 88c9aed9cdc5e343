#include "tests/support/ChildProcess.h"

#include <cwchar>

namespace testsupport {

namespace {

constexpr UINT kEndedByTest = 99;
constexpr DWORD kEndWaitMs = 10000;

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    if (processId != search->processId || wcscmp(className, search->className) != 0 ||
        !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments,
                           const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return;
    m_process.reset(process.hProcess);
    const win32::UniqueKernelHandle thread(process.hThread);
    m_id = process.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.get(), kEndedByTest);
        WaitForSingleObject(m_process.get(), kEndWaitMs);
    }
}

std::optional<DWORD> ChildProcess::ExitCode(DWORD waitMs) const {
    if (!m_process || WaitForSingleObject(m_process.get(), waitMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(m_process.get(), &code);
    return code;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
    WindowSearch search{processId, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace testsupport

#pragma once

#include "win32/UniqueHandle.h"

#include <windows.h>

#include <optional>
#include <string>

namespace testsupport {

// A program a test starts. One still running when the object goes is ended (exit code 99) and
// waited for, so a failing test leaves nothing running.
class ChildProcess {
public:
    // The command line is the quoted program, then one blank and `arguments` exactly as given
    // when there are any; the program starts in `folder` when one is given.
    explicit ChildProcess(const std::wstring& program, const std::wstring& arguments = {},
                          const std::wstring& folder = {});
    ~ChildProcess();
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = default;

    // False when the program could not be started.
    explicit operator bool() const { return static_cast<bool>(m_process); }
    DWORD id() const { return m_id; }

    // The exit code once the program has ended, waiting up to `waitMs`; nothing while it still
    // runs.
    std::optional<DWORD> ExitCode(DWORD waitMs) const;

private:
    win32::UniqueKernelHandle m_process;
    DWORD m_id{0};
};

// The first visible top-level window of the class that process `processId` owns; null when it
// has none.
HWND FindProcessWindow(DWORD processId, const wchar_t* className);

} // namespace testsupport

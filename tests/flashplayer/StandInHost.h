#pragma once

#include "tests/support/TestSupport.h"
#include "win32/GdiObject.h"

#include <windows.h>

#include <string>
#include <vector>

namespace flashtest {

// The stand-in Flash control served to this process alone: its DLL is loaded and its class
// object registered with COM for the Flash class identifier, so OleCreate finds it without the
// registry (which other tests running beside these may change). Each test gets a fresh log and
// chooses the control's options through the environment before creating it.
class StandInHost {
public:
    StandInHost();
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    explicit operator bool() const { return m_cookie != 0; }

    // ORVIA_FLASHSTANDIN_<name> for controls created from now on; an empty value removes it.
    static void SetOption(const wchar_t* name, const wchar_t* value);

    // The log lines written so far.
    std::vector<std::string> Log() const;
    // How many log lines start with `prefix`.
    int Count(const std::string& prefix) const;

private:
    win32::UniqueLibrary m_library;
    DWORD m_cookie{0};
    testsupport::ScratchFolder m_folder{"flashstandin"};
    std::wstring m_logPath;
};

// Lets the thread's queue deliver what is waiting for up to `milliseconds`.
void PumpMessages(DWORD milliseconds);

} // namespace flashtest

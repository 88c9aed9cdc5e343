#pragma once

#include "win32/UniqueHandle.h"

#include <windows.h>

#include <atomic>

namespace win32 {

// A request to stop, set once by one thread and seen by another: as a flag to poll between
// steps and as an event to wait on, so that a pause ends as soon as the request comes.
class StopSignal {
public:
    StopSignal() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Set() {
        m_flag.store(true);
        if (m_event)
            SetEvent(m_event.get());
    }
    bool IsSet() const { return m_flag.load(); }
    // Waits up to `ms` milliseconds; true when the signal is set (before or meanwhile).
    bool WaitFor(DWORD ms) const {
        if (IsSet())
            return true;
        if (!m_event) {
            Sleep(ms);
            return IsSet();
        }
        return WaitForSingleObject(m_event.get(), ms) == WAIT_OBJECT_0;
    }
    // The flag itself, for code that polls an atomic.
    const std::atomic<bool>& Flag() const { return m_flag; }

private:
    std::atomic<bool> m_flag{false};
    UniqueKernelHandle m_event; // manual-reset: once set it stays set
};

} // namespace win32

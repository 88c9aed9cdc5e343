#pragma once

#include "win32/StopSignal.h"
#include "win32/UniqueHandle.h"

#include <process.h>
#include <windows.h>

#include <functional>
#include <utility>

namespace win32 {

// One thread, owned: started once on a function, asked to stop through a signal the function
// looks at, waited for, and joined when the owner goes, so the function never outlives what it
// uses. No exception leaves the thread: one the function lets out (allocation, in practice) ends
// the thread quietly, as if it had stopped.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() {
        RequestStop();
        Join();
    }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs `body` on a new thread; false when a thread was started before or cannot start.
    bool Start(std::function<void()> body) {
        if (m_thread || !body)
            return false;
        m_body = std::move(body);
        m_thread.reset(reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, &WorkerThread::Entry, this, 0, nullptr)));
        return static_cast<bool>(m_thread);
    }
    bool IsStarted() const { return static_cast<bool>(m_thread); }

    void RequestStop() { m_stop.Set(); }
    const StopSignal& Stop() const { return m_stop; }

    // Waits up to `ms` milliseconds; true when no thread runs (any more).
    bool WaitFor(DWORD ms) const {
        return !m_thread || WaitForSingleObject(m_thread.get(), ms) == WAIT_OBJECT_0;
    }
    void Join() const { WaitFor(INFINITE); }

    // A handle of the thread's own for a caller that waits on it elsewhere; empty without one.
    UniqueKernelHandle DuplicateHandle() const {
        HANDLE copy = nullptr;
        if (!m_thread ||
            !::DuplicateHandle(GetCurrentProcess(), m_thread.get(), GetCurrentProcess(), &copy, 0,
                               FALSE, DUPLICATE_SAME_ACCESS))
            return {};
        return UniqueKernelHandle(copy);
    }

private:
    static unsigned __stdcall Entry(void* self) {
        try {
            static_cast<WorkerThread*>(self)->m_body();
        } catch (...) {
        }
        return 0;
    }

    std::function<void()> m_body;
    StopSignal m_stop;
    UniqueKernelHandle m_thread;
};

} // namespace win32

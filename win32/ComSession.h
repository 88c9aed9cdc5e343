#pragma once

#include <objbase.h>
#include <ole2.h>

namespace win32 {

// COM, and OLE when asked, on the calling thread for the owner's lifetime, undoing only what
// succeeded. A thread that already lives in a multithreaded apartment refuses the
// apartment-threaded initialisation (RPC_E_CHANGED_MODE) and can use COM all the same;
// uninitialising after that refusal would end the thread's own apartment.
class ComSession {
public:
    enum class With { ComOnly, Ole };

    explicit ComSession(With with = With::ComOnly)
        : m_comResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)),
          m_oleStarted(with == With::Ole && SUCCEEDED(OleInitialize(nullptr))) {}
    ~ComSession() {
        if (m_oleStarted)
            OleUninitialize();
        if (SUCCEEDED(m_comResult))
            CoUninitialize();
    }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;

    // COM can be used on this thread, initialised here or before, in either apartment model.
    bool ComReady() const { return SUCCEEDED(m_comResult) || m_comResult == RPC_E_CHANGED_MODE; }
    bool OleReady() const { return m_oleStarted; }

private:
    HRESULT m_comResult;
    bool m_oleStarted;
};

} // namespace win32

#include "tests/skinui/support/MessagePump.h"

#include "skinui/core/UiProcess.h"

namespace skintest {
namespace {

// How long an empty queue must stay empty to count as idle: long enough for what the display
// and the other threads send in answer to the last message (X events reach Wine's queue a few
// milliseconds later), short against a test.
constexpr DWORD kQuietMs = 20;

// Runs every message waiting now; true when there was any.
bool RunWaitingMessages() {
    bool ran = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ran = true;
        if (!skinui::UiProcess::TranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return ran;
}

DWORD Since(DWORD start) {
    return GetTickCount() - start;
}

} // namespace

::testing::AssertionResult PumpUntilIdle(DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        RunWaitingMessages();
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, kQuietMs, QS_ALLINPUT) == WAIT_TIMEOUT)
            return ::testing::AssertionSuccess();
        if (Since(start) > limitMs)
            return ::testing::AssertionFailure()
                   << "the message queue did not fall quiet within " << limitMs << " ms";
    }
}

::testing::AssertionResult PumpUntil(const std::string& what, const std::function<bool()>& done,
                                     DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        RunWaitingMessages();
        if (done())
            return ::testing::AssertionSuccess();
        if (Since(start) > limitMs)
            return ::testing::AssertionFailure()
                   << "still waiting for " << what << " after " << limitMs << " ms";
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        RunWaitingMessages();
        const DWORD elapsed = Since(start);
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

} // namespace skintest

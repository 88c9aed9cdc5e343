#pragma once

#include <windows.h>

#include <vector>

namespace skinui {

class CControlUI;

// The timers controls set on their window: each (control, key) pair gets a native timer id,
// taken round-robin as (previous + 1) modulo kIdModulus, so ids stay below the caret's.
class TimerTable {
public:
    static constexpr UINT kIdModulus = 240;

    TimerTable() = default;
    TimerTable(const TimerTable&) = delete;
    TimerTable& operator=(const TimerTable&) = delete;

    // Re-arms a killed timer of the pair or starts a new one; false when the pair's timer is
    // already live or the native timer cannot be set.
    bool Set(HWND window, CControlUI* control, UINT key, UINT elapseMs);
    // Stops the pair's timer, keeping its id for a later Set; false when there is none.
    bool Kill(HWND window, CControlUI* control, UINT key);
    // Stops and forgets every timer of the control.
    void KillAll(CControlUI* control);
    // Stops and forgets every timer.
    void Clear();
    // The control whose live timer has nativeId on window, and its key; null when none has.
    CControlUI* Find(HWND window, UINT_PTR nativeId, UINT& key) const;

private:
    struct Entry {
        CControlUI* control; // not owned
        UINT key;            // the control's own name for the timer
        HWND window;
        UINT nativeId;
        bool killed;
    };

    std::vector<Entry> m_timers;
    UINT m_lastId = 0;
};

} // namespace skinui

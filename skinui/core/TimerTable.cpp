#include "skinui/core/TimerTable.h"

namespace skinui {

bool TimerTable::Set(HWND window, CControlUI* control, UINT key, UINT elapseMs) {
    for (Entry& timer : m_timers) {
        if (timer.control == control && timer.window == window && timer.key == key) {
            if (!timer.killed)
                return false;
            if (!::SetTimer(window, timer.nativeId, elapseMs, nullptr))
                return false;
            timer.killed = false;
            return true;
        }
    }
    m_lastId = (m_lastId + 1) % kIdModulus;
    if (!::SetTimer(window, m_lastId, elapseMs, nullptr))
        return false;
    m_timers.push_back({control, key, window, m_lastId, false});
    return true;
}

bool TimerTable::Kill(HWND window, CControlUI* control, UINT key) {
    for (Entry& timer : m_timers) {
        if (timer.control == control && timer.window == window && timer.key == key) {
            if (!timer.killed && window)
                ::KillTimer(timer.window, timer.nativeId);
            timer.killed = true;
            return true;
        }
    }
    return false;
}

void TimerTable::KillAll(CControlUI* control) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->control == control) {
            if (!it->killed && IsWindow(it->window))
                ::KillTimer(it->window, it->nativeId);
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

void TimerTable::Clear() {
    for (const Entry& timer : m_timers)
        if (!timer.killed && IsWindow(timer.window))
            ::KillTimer(timer.window, timer.nativeId);
    m_timers.clear();
}

CControlUI* TimerTable::Find(HWND window, UINT_PTR nativeId, UINT& key) const {
    for (const Entry& timer : m_timers) {
        if (timer.window == window && timer.nativeId == nativeId && !timer.killed) {
            key = timer.key;
            return timer.control;
        }
    }
    return nullptr;
}

} // namespace skinui

#pragma once

#include "skinui/core/UiTypes.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace skinui {

class CNotifyPump;

// Handler kinds of a notification map entry.
enum class NotifyHandlerKind { WParamLParam = 1, Notification = 2 };

struct NotifyMapEntry {
    std::wstring type;
    std::wstring controlName; // empty = any control
    NotifyHandlerKind kind = NotifyHandlerKind::Notification;
    std::function<void(CNotifyPump& pump, WPARAM wParam, LPARAM lParam)> onParams;
    std::function<void(CNotifyPump& pump, UiNotification& notification)> onNotification;
};

// One class's table, linked to its base class's table.
struct NotifyMap {
    const NotifyMap* base = nullptr;
    std::vector<NotifyMapEntry> entries;
};

// Dispatches notifications through a chain of per-class maps, and through pumps registered as
// named virtual windows.
class CNotifyPump {
public:
    virtual const NotifyMap* NotificationMap() const;

    bool AddVirtualWnd(const std::wstring& name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const std::wstring& name);
    // True when a map entry (or a virtual window's) handled the notification.
    bool NotifyPump(UiNotification& notification);

protected:
    ~CNotifyPump() = default;

private:
    bool LoopDispatch(UiNotification& notification);

    struct NoCaseLess {
        bool operator()(const std::wstring& a, const std::wstring& b) const {
            return _wcsicmp(a.c_str(), b.c_str()) < 0;
        }
    };
    std::map<std::wstring, CNotifyPump*, NoCaseLess> m_virtualWnds;
};

} // namespace skinui

#include "skinui/core/NotifyPump.h"

#include "skinui/core/ControlUI.h"

namespace skinui {

const NotifyMap* CNotifyPump::NotificationMap() const {
    return nullptr;
}

bool CNotifyPump::AddVirtualWnd(const std::wstring& name, CNotifyPump* pump) {
    return pump && m_virtualWnds.emplace(name, pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& name) {
    return m_virtualWnds.erase(name) > 0;
}

bool CNotifyPump::NotifyPump(UiNotification& notification) {
    if (!notification.virtualWindow.empty()) {
        const auto it = m_virtualWnds.find(notification.virtualWindow);
        if (it != m_virtualWnds.end() && it->second->LoopDispatch(notification))
            return true;
    }
    return LoopDispatch(notification);
}

bool CNotifyPump::LoopDispatch(UiNotification& notification) {
    const std::wstring sender = notification.sender ? notification.sender->GetName() : L"";
    for (const NotifyMap* map = NotificationMap(); map; map = map->base) {
        const NotifyMapEntry* match = nullptr;
        for (const NotifyMapEntry& entry : map->entries) {
            if (entry.type != notification.type)
                continue;
            if (!entry.controlName.empty() && entry.controlName == sender) {
                match = &entry;
                break;
            }
            if (entry.controlName.empty() && !match)
                match = &entry;
        }
        if (!match)
            continue;
        if (match->kind == NotifyHandlerKind::WParamLParam) {
            if (match->onParams)
                match->onParams(*this, notification.wParam, notification.lParam);
        } else if (match->onNotification) {
            match->onNotification(*this, notification);
        }
        return true;
    }
    return false;
}

} // namespace skinui

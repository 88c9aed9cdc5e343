#include "skinui/core/SkinWindowManager.h"

#include "skinui/core/ControlUI.h"
#include "skinui/core/UiProcess.h"

#include <algorithm>

namespace skinui {
namespace {

// The manager's registration lists hold each entry at most once.
template <typename T> void AddOnce(std::vector<T*>& list, T* entry) {
    if (std::find(list.begin(), list.end(), entry) == list.end())
        list.push_back(entry);
}

template <typename T> void RemoveAll(std::vector<T*>& list, T* entry) {
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
}

} // namespace

SkinWindowManager::SkinWindowManager() = default;

SkinWindowManager::~SkinWindowManager() {
    RemoveAllTimers();
    // Controls report their destruction back here, so the tree goes while everything else is
    // still alive.
    m_root.reset();
    std::vector<CControlUI*> delayed;
    delayed.swap(m_delayedCleanup);
    for (CControlUI* control : delayed)
        delete control;
    m_asyncNotify.clear();
    UiProcess::RemovePreTranslator(this);
}

void SkinWindowManager::Init(HWND window) {
    m_window = window;
    UiProcess::AddPreTranslator(this);
}

void SkinWindowManager::DetachWindow() {
    RemoveAllTimers();
    HideToolTip();
    m_asyncNotify.clear();
    m_focus = nullptr;
    m_hover = nullptr;
    m_click = nullptr;
    m_keyControl = nullptr;
    m_nameMap.clear();
    m_notifiers.clear();
    m_translators.clear();
    m_preFilters.clear();
    m_filters.clear();
    m_window = nullptr;
    m_access = nullptr;
    m_toolTip.Forget();
    UiProcess::RemovePreTranslator(this);
}

bool SkinWindowManager::AttachDialog(CControlUI* root) {
    if (m_focus) {
        m_focus = nullptr;
    }
    m_hover = nullptr;
    m_click = nullptr;
    m_keyControl = nullptr;
    if (m_root)
        AddDelayedCleanup(m_root.release());
    m_root.reset(root);
    if (!root)
        return false;
    m_updateNeeded = true;
    m_firstLayout = true;
    m_focusNeeded = true;
    InitControls(root, nullptr);
    RegisterNames(root);
    m_updateNeeded = true;
    m_firstLayout = true;
    m_focusNeeded = true;
    m_shadow.Create(m_window, UiProcess::GetInstance(), m_images);
    return true;
}

bool SkinWindowManager::InitControls(CControlUI* control, CControlUI* parent) {
    if (!control)
        return false;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    return true;
}

void SkinWindowManager::RegisterNames(CControlUI* root) {
    root->FindControl(
        [this](CControlUI* control, void*) -> CControlUI* {
            const std::wstring name = control->GetName();
            if (!name.empty())
                m_nameMap[name] = control;
            return nullptr;
        },
        nullptr, 0);
}

void SkinWindowManager::ReapObjects(CControlUI* control) {
    if (m_focus == control)
        m_focus = nullptr;
    if (m_hover == control)
        m_hover = nullptr;
    if (m_click == control)
        m_click = nullptr;
    if (m_keyControl == control)
        m_keyControl = nullptr;
    if (m_toolTip.Subject() == control)
        HideToolTip();
    KillTimer(control);
    for (auto it = m_nameMap.begin(); it != m_nameMap.end();) {
        if (it->second == control)
            it = m_nameMap.erase(it);
        else
            ++it;
    }
    for (UiNotification& notification : m_asyncNotify)
        if (notification.sender == control)
            notification.sender = nullptr;
    RemovePostPaint(control);
    for (auto& [group, members] : m_optionGroups)
        members.erase(std::remove(members.begin(), members.end(), control), members.end());
}

CControlUI* SkinWindowManager::FindControl(const std::wstring& name) const {
    const auto it = m_nameMap.find(name);
    return it == m_nameMap.end() ? nullptr : it->second;
}

CControlUI* SkinWindowManager::FindControl(POINT pt) const {
    if (!m_root)
        return nullptr;
    return m_root->FindControl([](CControlUI* control, void*) { return control; }, &pt,
                               kFindVisible | kFindHitTest | kFindTopFirst);
}

CControlUI* SkinWindowManager::FindSubControlByName(CControlUI* parent,
                                                    const std::wstring& name) const {
    if (!parent)
        parent = m_root.get();
    if (!parent)
        return nullptr;
    return parent->FindControl(
        [&name](CControlUI* control, void*) {
            return control->GetName() == name ? control : nullptr;
        },
        nullptr, kFindMeFirst);
}

void SkinWindowManager::SendNotify(CControlUI* sender, const std::wstring& type, WPARAM wParam,
                                   LPARAM lParam, bool async) {
    UiNotification notification;
    notification.type = type;
    notification.sender = sender;
    notification.wParam = wParam;
    notification.lParam = lParam;
    SendNotify(notification, async);
}

void SkinWindowManager::SendNotify(UiNotification& notification, bool async) {
    notification.mouse = m_lastMouse;
    notification.timestamp = GetTickCount();
    if (notification.sender)
        notification.virtualWindow = notification.sender->GetVirtualWnd();
    if (!async) {
        DeliverNotification(notification);
        return;
    }
    m_asyncNotify.push_back(notification);
    PostCleanup();
}

void SkinWindowManager::DeliverNotification(UiNotification& notification) {
    if (notification.sender) {
        const auto delegates = notification.sender->OnNotify;
        for (const auto& handler : delegates)
            handler(notification);
    }
    // By index: a notifier may register or remove notifiers while it runs.
    for (size_t i = 0; i < m_notifiers.size(); ++i)
        m_notifiers[i]->OnNotify(notification);
}

void SkinWindowManager::FlushAsyncNotifications() {
    while (!m_asyncNotify.empty()) {
        std::vector<UiNotification> queued;
        queued.swap(m_asyncNotify);
        for (UiNotification& notification : queued)
            DeliverNotification(notification);
    }
}

void SkinWindowManager::AddNotifier(INotifyUI* notifier) {
    AddOnce(m_notifiers, notifier);
}

void SkinWindowManager::RemoveNotifier(INotifyUI* notifier) {
    RemoveAll(m_notifiers, notifier);
}

void SkinWindowManager::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    AddOnce(m_translators, translator);
}

void SkinWindowManager::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    RemoveAll(m_translators, translator);
}

bool SkinWindowManager::TranslateAccelerators(MSG* msg) {
    // A copy: a translator may remove itself while it handles the message.
    const std::vector<ITranslateAccelerator*> translators = m_translators;
    for (ITranslateAccelerator* translator : translators) {
        if (translator->TranslateAccelerator(msg))
            return true;
    }
    return false;
}

void SkinWindowManager::AddPreMessageFilter(IMessageFilterUI* filter) {
    AddOnce(m_preFilters, filter);
}

void SkinWindowManager::RemovePreMessageFilter(IMessageFilterUI* filter) {
    RemoveAll(m_preFilters, filter);
}

void SkinWindowManager::AddMessageFilter(IMessageFilterUI* filter) {
    AddOnce(m_filters, filter);
}

void SkinWindowManager::RemoveMessageFilter(IMessageFilterUI* filter) {
    RemoveAll(m_filters, filter);
}

void SkinWindowManager::AddPostPaint(CControlUI* control) {
    AddOnce(m_postPaint, control);
}

void SkinWindowManager::RemovePostPaint(CControlUI* control) {
    RemoveAll(m_postPaint, control);
}

void SkinWindowManager::AddDelayedCleanup(CControlUI* control) {
    if (!control)
        return;
    m_delayedCleanup.push_back(control);
    PostCleanup();
}

void SkinWindowManager::PostCleanup() {
    if (m_window && !m_cleanupPosted) {
        m_cleanupPosted = true;
        PostMessageW(m_window, kDelayedCleanupMessage, 0, 0);
    }
}

void SkinWindowManager::CleanupDelayed() {
    std::vector<CControlUI*> delayed;
    delayed.swap(m_delayedCleanup);
    for (CControlUI* control : delayed)
        delete control;
}

void SkinWindowManager::SetFocus(CControlUI* control) {
    if (m_window && ::GetFocus() != m_window && control != m_focus)
        ::SetFocus(m_window);
    if (control == m_focus)
        return;
    DropFocus();
    if (!control || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled())
        return;
    m_focus = control;
    UiEvent event = MakeEvent(kEventSetFocus, control);
    control->Event(event);
    SendNotify(control, L"setfocus");
    if (m_focus == control)
        NotifyAccessibility(EVENT_OBJECT_FOCUS, control);
}

void SkinWindowManager::NotifyAccessibility(DWORD event, CControlUI* control) {
    // Changes made while the skin is built are not news to anyone.
    if (m_access && m_window && !m_firstLayout && control && control->GetManager() == this)
        m_access->ControlChanged(event, control);
}

void SkinWindowManager::DropFocus() {
    if (!m_focus)
        return;
    // Cleared first, so a handler that asks for the focus control sees none.
    CControlUI* old = m_focus;
    m_focus = nullptr;
    UiEvent event = MakeEvent(kEventKillFocus, old);
    old->Event(event);
    SendNotify(old, L"killfocus");
}

void SkinWindowManager::SetFocusNeeded(CControlUI* control) {
    ::SetFocus(m_window);
    if (!control)
        return;
    DropFocus();
    m_focus = control;
    m_focusNeeded = true;
    if (m_root)
        m_root->NeedUpdate();
}

bool SkinWindowManager::SetNextTabControl(bool forward) {
    m_focusNeeded = false;
    if (!m_root)
        return false;
    std::vector<CControlUI*> stops;
    m_root->FindControl(
        [&stops](CControlUI* control, void*) -> CControlUI* {
            if ((control->GetControlFlags() & kFlagTabStop) && control->IsKeyboardEnabled())
                stops.push_back(control);
            return nullptr;
        },
        nullptr, kFindVisible | kFindEnabled | kFindMeFirst);
    if (m_access) {
        CControlUI* next = m_access->NextFocus(m_focus, forward);
        if (!next)
            return false;
        SetFocus(next);
        return true;
    }
    if (stops.empty())
        return false;
    const auto current = std::find(stops.begin(), stops.end(), m_focus);
    size_t next;
    if (current == stops.end())
        next = forward ? 0 : stops.size() - 1;
    else if (forward)
        next = (static_cast<size_t>(current - stops.begin()) + 1) % stops.size();
    else
        next = (static_cast<size_t>(current - stops.begin()) + stops.size() - 1) % stops.size();
    SetFocus(stops[next]);
    return true;
}

bool SkinWindowManager::SetTimer(CControlUI* control, UINT key, UINT elapseMs) {
    if (!m_window || !control)
        return false;
    return m_timers.Set(m_window, control, key, elapseMs);
}

bool SkinWindowManager::KillTimer(CControlUI* control, UINT key) {
    return m_timers.Kill(m_window, control, key);
}

void SkinWindowManager::KillTimer(CControlUI* control) {
    m_timers.KillAll(control);
}

void SkinWindowManager::RemoveAllTimers() {
    m_timers.Clear();
}

bool SkinWindowManager::AddOptionGroup(const std::wstring& group, CControlUI* option) {
    auto& members = m_optionGroups[group];
    if (std::find(members.begin(), members.end(), option) != members.end())
        return false;
    members.push_back(option);
    return true;
}

const std::vector<CControlUI*>* SkinWindowManager::GetOptionGroup(const std::wstring& group) const {
    const auto it = m_optionGroups.find(group);
    return it == m_optionGroups.end() ? nullptr : &it->second;
}

void SkinWindowManager::RemoveOptionGroup(const std::wstring& group, CControlUI* option) {
    const auto it = m_optionGroups.find(group);
    if (it == m_optionGroups.end())
        return;
    auto& members = it->second;
    members.erase(std::remove(members.begin(), members.end(), option), members.end());
    if (members.empty())
        m_optionGroups.erase(it);
}

void SkinWindowManager::SetHslAdjustment(const markup::HslAdjustment& adjustment) {
    m_hsl = adjustment;
    if (m_window)
        InvalidateRect(m_window, nullptr, FALSE);
}

void SkinWindowManager::Invalidate(const RECT& rc) {
    if (m_window)
        InvalidateRect(m_window, &rc, FALSE);
}

void SkinWindowManager::SetDefaultFont(const std::wstring& face, int size, bool bold,
                                       bool underline, bool italic) {
    m_fonts.SetDefault(face, size, bold, underline, italic);
}

int SkinWindowManager::AddFont(const std::wstring& face, int size, bool bold, bool underline,
                               bool italic) {
    return m_fonts.Add(face, size, bold, underline, italic);
}

const resources::ImageRecord* SkinWindowManager::GetImage(const std::wstring& name) {
    return GetImageEx(name, {}, 0);
}

const resources::ImageRecord*
SkinWindowManager::GetImageEx(const std::wstring& name, const std::wstring& resType, DWORD mask) {
    return m_images.Get(name, resType, mask);
}

void SkinWindowManager::AddDefaultAttributeList(const std::wstring& controlName,
                                                const std::wstring& list) {
    m_defaultAttributes.emplace(controlName, list);
}

void SkinWindowManager::CopySkinResources(const SkinWindowManager& from) {
    const FontRecord& font = from.GetDefaultFont();
    m_fonts.SetDefault(font.face, font.size, font.bold, font.underline, font.italic);
    for (int i = m_fonts.Count(); i < from.GetFontCount(); ++i) {
        const FontRecord& record = from.GetFontInfo(i);
        m_fonts.Add(record.face, record.size, record.bold, record.underline, record.italic);
    }
    for (const auto& list : from.m_defaultAttributes)
        m_defaultAttributes.emplace(list.first, list.second);
    m_disabledColor = from.m_disabledColor;
    m_defaultFontColor = from.m_defaultFontColor;
    m_linkFontColor = from.m_linkFontColor;
    m_linkHoverFontColor = from.m_linkHoverFontColor;
    m_selectedColor = from.m_selectedColor;
    m_gdiplusText = from.m_gdiplusText;
}

std::wstring SkinWindowManager::GetDefaultAttributeList(const std::wstring& controlName) const {
    const auto it = m_defaultAttributes.find(controlName);
    return it == m_defaultAttributes.end() ? std::wstring{} : it->second;
}

void SkinWindowManager::SetInitSize(int cx, int cy) {
    m_initSize = {cx, cy};
    if (!m_root && m_window)
        SetWindowPos(m_window, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void SkinWindowManager::SetTransparent(int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    if (!m_window)
        return;
    const LONG_PTR style = GetWindowLongPtrW(m_window, GWL_EXSTYLE);
    SetWindowLongPtrW(m_window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(m_window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

} // namespace skinui

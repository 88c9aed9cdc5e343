#include "TestWindow.h"

#include "skinui/core/SkinWindowManager.h"

namespace skintest {

HWND TestWindow::Open(int x, int y) {
    HWND hwnd = Create(nullptr, L"test", WS_POPUP | WS_VISIBLE, 0, x, y, 200, 200);
    if (hwnd) {
        ::SetForegroundWindow(hwnd);
        PumpFor(100);
    }
    return hwnd;
}

bool TestWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!skinui::SkinWindowManager::TranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void TestWindow::PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

int TestWindow::Count(const std::wstring& type, const std::wstring& sender) const {
    int count = 0;
    for (const auto& notification : notifications)
        if (notification.type == type &&
            (sender.empty() || (notification.sender && notification.sender->GetName() == sender)))
            ++count;
    return count;
}

void TestWindow::OnNotify(skinui::UiNotification& notification) {
    notifications.push_back(notification);
    WindowImplBase::OnNotify(notification);
}

skinui::CControlUI* TestWindow::CreateCustomControl(const wchar_t* elementName) {
    const std::wstring name = elementName;
    if (name.size() > 4 && name.compare(0, 4, L"Fake") == 0)
        return new NamedClassControl(name.substr(4) + L"UI");
    return nullptr;
}

LRESULT TestWindow::OnCloseMsg(UINT, WPARAM wParam, LPARAM, bool& handled) {
    closeCodes.push_back(wParam);
    handled = true;
    return 0;
}

void TestWindow::OnLastMessage(HWND hwnd) {
    WindowImplBase::OnLastMessage(hwnd);
    if (destroyedFlag)
        *destroyedFlag = true;
    if (deleteOnLastMessage)
        delete this;
}

} // namespace skintest

#include "tests/skinui/support/TestWindow.h"

namespace skintest {

HWND TestWindow::Open(int x, int y) {
    HWND hwnd = Create(nullptr, L"test", WS_POPUP | WS_VISIBLE, 0, x, y, 200, 200);
    if (hwnd) {
        ::SetForegroundWindow(hwnd);
        EXPECT_TRUE(PumpUntilIdle()) << "opening the window";
    }
    return hwnd;
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

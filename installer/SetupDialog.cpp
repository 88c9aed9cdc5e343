#include "installer/SetupDialog.h"

#include "installer/ProductNames.h"
#include "installer/SetupDialogNames.h"

#include <cwchar>

namespace setupui {

SetupDialog::SetupDialog(const wchar_t* windowClass, const wchar_t* skinFile)
    : m_windowClass(windowClass), m_skinFile(skinFile) {}

SetupDialog::~SetupDialog() {
    PostQuitMessage(0);
}

void SetupDialog::OnNotify(skinui::UiNotification& notification) {
    if (SameName(notification.type, kWindowInit))
        OnWindowInit();
    else if (SameName(notification.type, kClick) && notification.sender)
        OnClick(notification.sender->GetName());
    else
        OnOtherNotification(notification);
}

LRESULT SetupDialog::RouteDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowImplBase::RouteWindowMessage(message, wParam, lParam);
}

void SetupDialog::ShowProductName(const wchar_t* controlName) {
    if (skinui::CControlUI* line = m_manager.FindControl(controlName)) {
        wchar_t text[64] = {};
        std::swprintf(text, sizeof(text) / sizeof(text[0]), kProductNameFormat,
                      product::kDisplayName);
        line->SetText(text);
    }
}

void SetupDialog::CloseWindow() {
    PostMessage(WM_CLOSE);
}

const wchar_t* SetupDialog::WindowClassName() const {
    return m_windowClass;
}

std::wstring SetupDialog::SkinFolder() {
    return {};
}

std::wstring SetupDialog::SkinFileName() {
    return m_skinFile;
}

int SetupDialog::SkinSourceKind() const {
    return static_cast<int>(SkinSource::ZipResource);
}

LPCWSTR SetupDialog::SkinResourceId() const {
    return MAKEINTRESOURCEW(kSkinResourceId);
}

LRESULT SetupDialog::RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return RouteDialogMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

void SetupDialog::OnLastMessage(HWND hwnd) {
    WindowImplBase::OnLastMessage(hwnd);
    delete this;
}

bool SameName(const std::wstring& name, const wchar_t* wanted) {
    return _wcsicmp(name.c_str(), wanted) == 0;
}

std::wstring PercentText(const wchar_t* format, int percent) {
    wchar_t text[64] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), format, percent);
    return text;
}

} // namespace setupui

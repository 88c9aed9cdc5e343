#pragma once

#include "skinui/core/ControlUI.h"
#include "skinui/window/WindowImplBase.h"

#include <string>

namespace setupui {

// What the installer's and the uninstaller's windows have in common: the skin is a file of the
// ZIPRES resource in the executable itself, the framework's notifications arrive as a few hooks,
// no exception unwinds into the system's window procedure, and the object lives as long as its
// window. A dialog is made with new; it deletes itself at its window's last message, and its
// destructor ends the message loop.
class SetupDialog : public skinui::WindowImplBase {
public:
    ~SetupDialog() override;

    // "windowinit" calls OnWindowInit, "click" calls OnClick with the sender's name, and
    // everything else goes to OnOtherNotification.
    void OnNotify(skinui::UiNotification& notification) final;

protected:
    // Both names are the program's constants and outlive the dialog.
    SetupDialog(const wchar_t* windowClass, const wchar_t* skinFile);

    virtual void OnWindowInit() = 0;
    virtual void OnClick(const std::wstring& sender) = 0;
    virtual void OnOtherNotification(skinui::UiNotification& /*notification*/) {}
    // The dialog's own message routing; only allocation can throw in it, and a message whose
    // handling throws counts as handled with 0.
    virtual LRESULT RouteDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The control of this name when it is of this kind, else null.
    template <typename Control> Control* Find(const wchar_t* name, const wchar_t* interfaceName);
    // The product name line, if the skin has a control of this name.
    void ShowProductName(const wchar_t* controlName);
    void CloseWindow();

private:
    const wchar_t* WindowClassName() const final;
    std::wstring SkinFolder() final;
    std::wstring SkinFileName() final;
    int SkinSourceKind() const final;
    LPCWSTR SkinResourceId() const final;
    LRESULT RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
    void OnLastMessage(HWND hwnd) final;

    const wchar_t* m_windowClass;
    const wchar_t* m_skinFile;
};

// Control and notification names compare without case, as the framework's do.
bool SameName(const std::wstring& name, const wchar_t* wanted);

// A progress text: `format` with its one %d replaced by the percentage.
std::wstring PercentText(const wchar_t* format, int percent);

template <typename Control>
Control* SetupDialog::Find(const wchar_t* name, const wchar_t* interfaceName) {
    skinui::CControlUI* control = m_manager.FindControl(name);
    return control ? static_cast<Control*>(control->GetInterface(interfaceName)) : nullptr;
}

} // namespace setupui

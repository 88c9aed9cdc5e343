#pragma once

#include "skinui/core/ControlUI.h"
#include "skinui/window/WindowImplBase.h"
#include "tests/skinui/support/MessagePump.h"

#include <string>
#include <vector>

namespace skintest {

// A control that answers with any class name, standing in for leaf controls in hit tests.
class NamedClassControl : public skinui::CControlUI {
public:
    explicit NamedClassControl(std::wstring className) : m_className(std::move(className)) {}
    const wchar_t* GetClass() const override { return m_className.c_str(); }

private:
    std::wstring m_className;
};

// A skinned window built from markup text, recording what reaches it.
class TestWindow : public skinui::WindowImplBase {
public:
    explicit TestWindow(std::wstring markup) : m_markup(std::move(markup)) {}

    // Creates the window at (x, y) on the display, shows and activates it and runs the messages
    // that causes; null when the window cannot be made.
    HWND Open(int x = 100, int y = 100);

    std::vector<skinui::UiNotification> notifications;
    std::vector<WPARAM> closeCodes;
    bool deleteOnLastMessage = false;
    bool* destroyedFlag = nullptr;

    int Count(const std::wstring& type, const std::wstring& sender = {}) const;

    void OnNotify(skinui::UiNotification& notification) override;
    skinui::CControlUI* CreateCustomControl(const wchar_t* elementName) override;

protected:
    const wchar_t* WindowClassName() const override { return L"SkinUiTestWindow"; }
    std::wstring SkinFolder() override { return {}; }
    std::wstring SkinFileName() override { return m_markup; }
    LRESULT OnCloseMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnLastMessage(HWND hwnd) override;

private:
    std::wstring m_markup;
};

} // namespace skintest

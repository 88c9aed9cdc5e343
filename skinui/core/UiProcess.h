#pragma once

#include <windows.h>

#include <string>

namespace skinui {

// What a window does with a message of the framework's loop before it is dispatched (its
// accelerators and pre-message filters see it); true consumes it.
class IMessagePreTranslator {
public:
    // The window whose messages, and whose child windows' messages, this pre-translates.
    virtual HWND PreTranslatedWindow() const = 0;
    virtual bool PreTranslate(MSG* msg) = 0;

protected:
    ~IMessagePreTranslator() = default;
};

// The process-wide side of the framework, used from the UI thread only: the module that holds
// the programs' resources, set at start-up before any window, and the message loop, which
// pre-translates each message for the live skinned windows.
class UiProcess {
public:
    // Also registers the drop shadow's window class in that module.
    static void SetInstance(HINSTANCE instance);
    // The module set, else the executable.
    static HINSTANCE GetInstance();
    // The folder of that module, with a trailing backslash; empty when it cannot be found.
    static std::wstring GetInstancePath();

    // Takes messages until the quit message; each is dispatched unless a window consumed it.
    static void MessageLoop();
    // True while MessageLoop runs, which pre-translates every message itself.
    static bool IsMessageLoopRunning();
    // Offers msg to the pre-translators of its window and of the windows it is a child of, in
    // the order they were added; true when one consumed it.
    static bool TranslateMessage(MSG* msg);

    // A window's pre-translator takes part from Add until Remove (which it calls before it goes).
    static void AddPreTranslator(IMessagePreTranslator* translator);
    static void RemovePreTranslator(IMessagePreTranslator* translator);
};

} // namespace skinui

#include "tests/support/PointerInput.h"

#include <thread>

namespace testsupport {

void InjectMouse(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        // Absolute coordinates span 0..65535 over the primary screen.
        input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &input, sizeof(input));
}

void ClickAt(POINT screen) {
    std::thread([screen] {
        InjectMouse(MOUSEEVENTF_MOVE, screen);
        Sleep(80);
        InjectMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(60);
        InjectMouse(MOUSEEVENTF_LEFTUP);
    }).detach();
}

POINT ScreenPoint(HWND window, int x, int y) {
    POINT pt{x, y};
    ClientToScreen(window, &pt);
    return pt;
}

namespace {

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

} // namespace

void InjectKey(WORD key, std::initializer_list<WORD> modifiers) {
    for (WORD modifier : modifiers)
        SendKey(modifier, false);
    SendKey(key, false);
    SendKey(key, true);
    for (auto it = modifiers.end(); it != modifiers.begin();)
        SendKey(*--it, true);
}

} // namespace testsupport

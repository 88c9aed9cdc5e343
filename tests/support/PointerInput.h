#pragma once

#include <windows.h>

#include <initializer_list>

namespace testsupport {

// Injects one mouse event through the system's input queue, as a real device would: with
// MOUSEEVENTF_MOVE the pointer goes to `screen` (absolute screen pixels); other flags press or
// release buttons where the pointer is.
void InjectMouse(DWORD flags, POINT screen = {});

// Moves the pointer to `screen`, rests a moment, then presses and releases the left button.
// Runs on a thread of its own and returns at once, so the caller's thread can keep pumping.
void ClickAt(POINT screen);

// Client point (x, y) of `window` in screen coordinates.
POINT ScreenPoint(HWND window, int x, int y);

// Presses and releases one key through the system's input queue, with the modifier keys given
// (VK_MENU, VK_CONTROL, VK_SHIFT) held around it.
void InjectKey(WORD key, std::initializer_list<WORD> modifiers = {});

} // namespace testsupport

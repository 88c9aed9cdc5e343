#pragma once

#include <windows.h>

#include <string>

// What a person does and sees: the display's one pointer, moved and clicked through the
// system's input queue, and the screen's pixels kept as PNG artifacts.
namespace uninstalltest {

// Moves the pointer to `screen`, rests a moment, then presses and releases the left button.
// Runs on a thread of its own and returns at once, so the caller's thread can keep pumping.
void ClickAt(POINT screen);

// Client point (x, y) of `window` in screen coordinates.
POINT ScreenPoint(HWND window, int x, int y);

// Keeps the screen's pixels of `area` as <artifacts>/<name>.png; false when the screen cannot
// be read or the file not written.
bool KeepScreenArea(const RECT& area, const std::string& name);

// The window's rectangle grown by `margin` on every side (to show its shadow).
RECT AroundWindow(HWND window, int margin);

} // namespace uninstalltest

#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// Keeps the screen's pixels of `area` as <artifacts>/<name>.png; false when the screen cannot
// be read or the file not written.
bool KeepScreenArea(const RECT& area, const std::string& name);

// The window's rectangle grown by `margin` on every side (to show its shadow).
RECT AroundWindow(HWND window, int margin);

} // namespace testsupport

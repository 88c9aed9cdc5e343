#pragma once

#include <windows.h>

namespace testsupport {

// Injects one mouse event through the system's input queue, as a real device would: with
// MOUSEEVENTF_MOVE the pointer goes to `screen` (absolute screen pixels); other flags press or
// release buttons where the pointer is.
void InjectMouse(DWORD flags, POINT screen = {});

} // namespace testsupport

#pragma once

#include "tests/support/PointerInput.h"
#include "tests/support/ScreenCapture.h"

// What a person does and sees: the display's one pointer, moved and clicked through the
// system's input queue, and the screen's pixels kept as PNG artifacts.
namespace uninstalltest {

using testsupport::AroundWindow;
using testsupport::ClickAt;
using testsupport::KeepScreenArea;
using testsupport::ScreenPoint;

} // namespace uninstalltest

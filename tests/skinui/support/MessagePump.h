#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace skintest {

// Runs the test thread's messages as the framework's loop does (each pre-translated first).

// Until the queue has been empty for a quiet moment: every message the last action caused has
// run, and so has the work those messages posted in turn (paints, the delayed clean-up, a native
// edit's close). Check an action's effects after it, including that something did NOT happen.
// Fails, saying so, when the queue does not fall quiet within limitMs.
::testing::AssertionResult PumpUntilIdle(DWORD limitMs = 3000);

// Until done() holds. Fails when it still does not after limitMs, naming what was awaited.
::testing::AssertionResult PumpUntil(const std::string& what, const std::function<bool()>& done,
                                     DWORD limitMs = 3000);

// For a stretch of real time, only for what needs time itself to pass: a timer that must not
// fire again, a held button's repeat, a tooltip's delay.
void PumpFor(DWORD ms);

} // namespace skintest

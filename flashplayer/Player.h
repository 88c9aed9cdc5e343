#pragma once

#include <windows.h>

#include <string>

namespace flashplayer {

// The whole life of the player: reads the command-line tail (everything after the program name,
// as the system passes it), finds the movie, plays it in the player window until the movie asks
// to close, the window is closed or the time limit has passed, and returns the exit status:
// 0 when nothing could be played or the window was closed; after the time limit, the wParam of
// the last message the loop retrieved.
int RunPlayer(HINSTANCE instance, const std::wstring& commandLineTail);

} // namespace flashplayer

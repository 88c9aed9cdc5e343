#pragma once

// What the probe does as a program of its own, started with a mode on its command line rather
// than kept running for commands: each lasts as long as what it waits for or shows. They answer
// with the probe's answer lines and end with 0 when all went as asked.
namespace e2eprobe {

// launch EXE TIMEOUT_MS: starts EXE with exactly the command-line tail in ORVIA_PROBE_TAIL (in
// the folder ORVIA_PROBE_CWD when set), answers pid at once, then waits for it to end and
// answers exit (its status) and elapsed (milliseconds); ends it after TIMEOUT_MS.
int Launch(const wchar_t* program, unsigned long timeoutMs);

// backdrop SECONDS: covers the screen with a known checkerboard of 32-pixel squares, white where
// (x / 32 + y / 32) is even and RGB(0, 150, 60) elsewhere; answers hwnd.
int ShowBackdrop(int seconds);

// owner SECONDS: shows an ordinary window, for another program to take as its owner; answers
// hwnd.
int ShowOwner(int seconds);

} // namespace e2eprobe

#pragma once

#include "tests/e2e/probe/ProbeAnswer.h"

// The probe's commands about windows. Points and rectangles are in screen pixels unless a
// command says otherwise.
namespace e2eprobe {

// window CLASS [TITLE]: the first visible top-level window of the class (and exact title).
// windowof PID CLASS: the first visible top-level window of the class that process PID owns.
// Both answer with the window's facts: hwnd pid tid, x y w h (the client area on the screen),
// left top right bottom (the window's rectangle), style exstyle (hexadecimal), owner, title.
Result FindWindowCommand(const Fields& args);
Result WindowOfCommand(const Fields& args);

// children HWND: count, then for each child window i: i.class i.visible i.text i.x i.y i.w i.h
// (in the parent's client coordinates).
Result ChildrenCommand(const Fields& args);

// caret HWND: the window thread's caret: caret (hwnd) blinking x y w h focus.
Result CaretCommand(const Fields& args);

// close HWND: posts WM_CLOSE, as another program would.
Result CloseCommand(const Fields& args);

// hittest HWND X Y: the window's answer to WM_NCHITTEST at the screen point.
Result HitTestCommand(const Fields& args);

// screen: the primary screen's size w h, and fullw fullh, the client area a full-screen window
// gets on it.
Result ScreenCommand(const Fields& args);

} // namespace e2eprobe

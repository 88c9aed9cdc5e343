#pragma once

#include "UniqueHandle.h"

#include <windows.h>

namespace win32 {

template <typename Object> struct GdiObjectTraits {
    using Pointer = Object;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer object) { DeleteObject(object); }
};

struct LibraryTraits {
    using Pointer = HMODULE;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer module) { FreeLibrary(module); }
};

using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;

// A window's device context (the screen's for a null window), released to the window it came
// from.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc() {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};
using UniqueLibrary = UniqueHandle<LibraryTraits>;

} // namespace win32

#pragma once

#include "UniqueHandle.h"

#include <windows.h>

namespace win32 {

template <typename Object> struct GdiObjectTraits {
    using Pointer = Object;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer object) { DeleteObject(object); }
};

// A memory DC from CreateCompatibleDC.
struct MemoryDcTraits {
    using Pointer = HDC;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer dc) { DeleteDC(dc); }
};

struct LibraryTraits {
    using Pointer = HMODULE;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer module) { FreeLibrary(module); }
};

using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

// Which part of a window a WindowDc draws on.
enum class DcArea {
    Client,      // GetDC
    WholeWindow, // GetWindowDC: the frame too
};

// A window's device context (the screen's for a null window), released to the window it came
// from.
class WindowDc {
public:
    explicit WindowDc(HWND window, DcArea area = DcArea::Client)
        : m_window(window), m_dc(area == DcArea::Client ? GetDC(window) : GetWindowDC(window)) {}
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

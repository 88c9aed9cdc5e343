#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <utility>

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
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueLibrary = UniqueHandle<LibraryTraits>;

// A memory device context compatible with reference (the screen's for null), deleted with the
// owner. Empty when creation failed.
class MemoryDc {
public:
    explicit MemoryDc(HDC reference = nullptr) : m_dc(CreateCompatibleDC(reference)) {}

    HDC get() const { return m_dc.get(); }
    explicit operator bool() const { return static_cast<bool>(m_dc); }

private:
    UniqueMemoryDc m_dc;
};

// Selects a GDI object into a DC for the scope's lifetime and then puts back what the DC held.
// Objects must outlive the scope that selects them: declare the owner first.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_old(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectObjectScope() {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

    // False when nothing was selected (no DC, no object, or SelectObject failed).
    explicit operator bool() const { return m_old != nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

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

} // namespace win32

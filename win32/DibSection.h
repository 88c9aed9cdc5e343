#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace win32 {

// A 32-bit top-down DIB section selected into its own memory DC. GDI draws through dc() while
// the pixels stay directly addressable, which layered windows (premultiplied alpha) and pixel
// checks need and a compatible bitmap does not give. Empty when creation failed; GetLastError
// then tells why.
class DibSection {
public:
    DibSection() = default;
    // The memory DC is made compatible with reference; null means the screen.
    DibSection(int width, int height, HDC reference = nullptr);
    DibSection(DibSection&& other) noexcept { take(other); }
    DibSection& operator=(DibSection&& other) noexcept;
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;
    ~DibSection() { reset(); }

    explicit operator bool() const { return m_pixels != nullptr; }
    HDC dc() const { return m_dc; }
    // Row-major from the top row, one 0xAARRGGBB value (bytes B, G, R, A) per pixel. Call
    // GdiFlush before reading what GDI drew.
    std::uint32_t* pixels() const { return m_pixels; }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    void reset();
    void take(DibSection& other);

    HDC m_dc{nullptr};
    HBITMAP m_bitmap{nullptr};
    HGDIOBJ m_old{nullptr};           // what the DC held before m_bitmap
    std::uint32_t* m_pixels{nullptr}; // null exactly when empty
    int m_width{0};                   // pixels; 0 when empty
    int m_height{0};                  // pixels; 0 when empty
};

inline DibSection::DibSection(int width, int height, HDC reference) {
    if (width <= 0 || height <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // negative: the first row in memory is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_dc = CreateCompatibleDC(reference);
    void* bits = nullptr;
    if (m_dc)
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_bitmap || !bits) {
        reset();
        return;
    }
    m_old = SelectObject(m_dc, m_bitmap);
    if (!m_old) {
        reset();
        return;
    }
    m_pixels = static_cast<std::uint32_t*>(bits);
    m_width = width;
    m_height = height;
}

inline DibSection& DibSection::operator=(DibSection&& other) noexcept {
    if (this != &other) {
        reset();
        take(other);
    }
    return *this;
}

inline void DibSection::reset() {
    // Cleaning up after a failed creation must not lose the error the caller is about to read.
    const DWORD lastError = GetLastError();
    if (m_old)
        SelectObject(m_dc, m_old);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_dc)
        DeleteDC(m_dc);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_old = nullptr;
    m_pixels = nullptr;
    m_width = 0;
    m_height = 0;
    SetLastError(lastError);
}

inline void DibSection::take(DibSection& other) {
    m_dc = std::exchange(other.m_dc, nullptr);
    m_bitmap = std::exchange(other.m_bitmap, nullptr);
    m_old = std::exchange(other.m_old, nullptr);
    m_pixels = std::exchange(other.m_pixels, nullptr);
    m_width = std::exchange(other.m_width, 0);
    m_height = std::exchange(other.m_height, 0);
}

} // namespace win32

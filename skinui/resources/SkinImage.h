#pragma once

#include "win32/GdiObject.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace skinui::resources {

// A decoded skin image as the window's image cache keeps it.
struct ImageRecord {
    win32::UniqueBitmap bitmap; // 32-bit top-down DIB section, premultiplied BGRA
    int width{0};
    int height{0};
    bool hasAlpha{false};
    std::wstring resType;
    std::uint32_t mask{0};
};

// Reads the bytes from the executable's resources of type `resType` (then `name` is an integer
// id), from the resource path, or from the skin package, and decodes them. Nothing on failure.
std::unique_ptr<ImageRecord> LoadSkinImage(const std::wstring& name, const std::wstring& resType,
                                           std::uint32_t mask);

} // namespace skinui::resources

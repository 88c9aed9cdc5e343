#pragma once

#include "win32/GdiObject.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

struct DecodedImage;

// The bytes of an image: from the executable's resources of type `resType` (then `name` is an
// integer id) when it is not empty, otherwise from the resource path or the skin package.
bool ReadImageBytes(const std::wstring& name, const std::wstring& resType,
                    std::vector<std::uint8_t>& bytes);

// A DIB section holding a decoded image. Nothing when GDI cannot make one.
std::unique_ptr<ImageRecord> MakeImageRecord(const DecodedImage& image);

// Reads the bytes from the executable's resources of type `resType` (then `name` is an integer
// id), from the resource path, or from the skin package, and decodes them. Nothing on failure.
std::unique_ptr<ImageRecord> LoadSkinImage(const std::wstring& name, const std::wstring& resType,
                                           std::uint32_t mask);

} // namespace skinui::resources

#pragma once

#include "skinui/resources/SkinZipReader.h"

#include <string>

namespace skinui::resources {

// Item names as the zip stores them: bytes in the system ANSI code page.
constexpr std::size_t kMaxZipItemName = 255;

// Nothing when the name is longer than kMaxZipItemName characters or absent from the package.
std::optional<ZipItem> FindZipItem(const SkinZipReader& zip, const std::wstring& name);

} // namespace skinui::resources

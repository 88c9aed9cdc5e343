#pragma once

#include "skinui/resources/SkinImage.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace skinui::resources {

// A window's decoded skin images by name: each is loaded on first use and kept, and so is a
// failure to load it, so a missing image is looked for only once from the same place. A name
// that failed from the package may still load as a resource of some type, and the other way.
class ImageCache {
public:
    // The image of that name, read from the resources of type resType when it is not empty;
    // null when it cannot be loaded. The resource type and mask of the first request stay.
    const ImageRecord* Get(const std::wstring& name, const std::wstring& resType = {},
                           std::uint32_t mask = 0);

private:
    std::map<std::wstring, std::unique_ptr<ImageRecord>> m_images;
    std::set<std::pair<std::wstring, std::wstring>> m_failed; // name and resource type
};

} // namespace skinui::resources

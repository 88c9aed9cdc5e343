#include "skinui/resources/ImageCache.h"

namespace skinui::resources {

const ImageRecord* ImageCache::Get(const std::wstring& name, const std::wstring& resType,
                                   std::uint32_t mask) {
    if (name.empty())
        return nullptr;
    const auto it = m_images.find(name);
    if (it != m_images.end())
        return it->second.get();
    auto& slot = m_images[name];
    slot = LoadSkinImage(name, resType, mask);
    return slot.get();
}

} // namespace skinui::resources

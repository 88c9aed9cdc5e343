#include "skinui/resources/ImageCache.h"

namespace skinui::resources {

const ImageRecord* ImageCache::Get(const std::wstring& name, const std::wstring& resType,
                                   std::uint32_t mask) {
    if (name.empty())
        return nullptr;
    const auto it = m_images.find(name);
    if (it != m_images.end())
        return it->second.get();
    auto key = std::make_pair(name, resType);
    if (m_failed.count(key) != 0)
        return nullptr;
    std::unique_ptr<ImageRecord> image = LoadSkinImage(name, resType, mask);
    if (!image) {
        m_failed.insert(std::move(key));
        return nullptr;
    }
    return (m_images[name] = std::move(image)).get();
}

} // namespace skinui::resources

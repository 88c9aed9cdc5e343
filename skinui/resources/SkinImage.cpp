#include "skinui/resources/SkinImage.h"

#include "skinui/markup/ValueSyntax.h"
#include "skinui/resources/SkinImageDecode.h"
#include "skinui/resources/SkinResources.h"
#include "skinui/resources/WideText.h"

#include <cstring>
#include <utility>
#include <vector>

namespace skinui::resources {

namespace {

bool ReadResourceBytes(const std::wstring& name, const std::wstring& resType,
                       std::vector<std::uint8_t>& bytes) {
    int id = markup::ParseInt(ToU16(name));
    if (id <= 0 || id > 0xFFFF)
        return false;
    HINSTANCE instance = GetResourceInstance();
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), resType.c_str());
    if (resource == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(instance, resource);
    DWORD size = SizeofResource(instance, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0)
        return false;
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes.assign(begin, begin + size);
    return true;
}

} // namespace

bool ReadImageBytes(const std::wstring& name, const std::wstring& resType,
                    std::vector<std::uint8_t>& bytes) {
    return resType.empty() ? ReadSkinFileBytes(name, bytes)
                           : ReadResourceBytes(name, resType, bytes);
}

std::unique_ptr<ImageRecord> MakeImageRecord(const DecodedImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr)
        return nullptr;
    std::memcpy(bits, image.bgra.data(), image.bgra.size());
    auto record = std::make_unique<ImageRecord>();
    record->bitmap = std::move(bitmap);
    record->width = image.width;
    record->height = image.height;
    record->hasAlpha = image.hasAlpha;
    return record;
}

std::unique_ptr<ImageRecord> LoadSkinImage(const std::wstring& name, const std::wstring& resType,
                                           std::uint32_t mask) {
    std::vector<std::uint8_t> bytes;
    if (!ReadImageBytes(name, resType, bytes))
        return nullptr;
    std::optional<DecodedImage> image = DecodeSkinImage(bytes.data(), bytes.size(), mask);
    if (!image)
        return nullptr;
    std::unique_ptr<ImageRecord> record = MakeImageRecord(*image);
    if (!record)
        return nullptr;
    record->resType = resType;
    record->mask = mask;
    return record;
}

} // namespace skinui::resources

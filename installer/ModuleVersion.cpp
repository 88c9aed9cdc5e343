#include "installer/ModuleVersion.h"

#include "installer/ResourceBytes.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

namespace {

constexpr WORD kVersionResourceId = 1;
constexpr WORD kVersionResourceType = 16; // RT_VERSION

} // namespace

std::wstring ModuleVersionText(HMODULE module) {
    const std::optional<ResourceBytes> resource =
        FindResourceBytes(module, MAKEINTRESOURCEW(kVersionResourceType), kVersionResourceId);
    if (!resource)
        return std::wstring();
    // VerQueryValueW may write into the block it reads, so it gets a copy, never the mapped
    // image.
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[resource->size]);
    if (!copy)
        return std::wstring();
    std::copy(resource->data, resource->data + resource->size, copy.get());
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(copy.get(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO) || info->dwSignature != VS_FFI_SIGNATURE)
        return std::wstring();
    return std::to_wstring(HIWORD(info->dwProductVersionMS)) + L'.' +
           std::to_wstring(LOWORD(info->dwProductVersionMS)) + L'.' +
           std::to_wstring(HIWORD(info->dwProductVersionLS)) + L'.' +
           std::to_wstring(LOWORD(info->dwProductVersionLS));
}

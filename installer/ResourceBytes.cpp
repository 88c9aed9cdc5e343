#include "installer/ResourceBytes.h"

std::optional<ResourceBytes> FindResourceBytes(HMODULE module, const wchar_t* type, WORD id) {
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(module, info);
    if (!loaded)
        return std::nullopt;
    const DWORD size = SizeofResource(module, info);
    const void* data = LockResource(loaded);
    if (size == 0 || !data)
        return std::nullopt;
    return ResourceBytes{static_cast<const std::uint8_t*>(data), size};
}

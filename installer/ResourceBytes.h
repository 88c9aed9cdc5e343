#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>

// The bytes of one resource in a module's image. They stay valid as long as the module is
// loaded (for the program's own resources: for the life of the process).
struct ResourceBytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// Resource `id` of type `type` in `module`; nothing when it is absent, cannot be loaded or is
// empty.
std::optional<ResourceBytes> FindResourceBytes(HMODULE module, const wchar_t* type, WORD id);

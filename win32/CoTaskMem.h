#pragma once

#include <objbase.h>

#include <memory>

namespace win32 {

struct CoTaskMemDeleter {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};

// Memory the shell or COM allocated for the caller (item lists, known folder paths).
template <typename T> using CoTaskMemPtr = std::unique_ptr<T, CoTaskMemDeleter>;

} // namespace win32

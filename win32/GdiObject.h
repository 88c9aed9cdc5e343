#pragma once

#include "UniqueHandle.h"

#include <windows.h>

namespace win32 {

template <typename Object> struct GdiObjectTraits {
    using Pointer = Object;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer object) { DeleteObject(object); }
};

struct LibraryTraits {
    using Pointer = HMODULE;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer module) { FreeLibrary(module); }
};

using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueLibrary = UniqueHandle<LibraryTraits>;

} // namespace win32

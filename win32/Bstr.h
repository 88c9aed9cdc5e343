#pragma once

#include "UniqueHandle.h"

#include <oleauto.h>

namespace win32 {

struct BstrTraits {
    using Pointer = BSTR;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer text) { SysFreeString(text); }
};

// Owner of one COM string. An empty owner stands for the null BSTR, which COM reads as "".
using UniqueBstr = UniqueHandle<BstrTraits>;

inline UniqueBstr MakeBstr(const wchar_t* text) {
    return UniqueBstr(SysAllocString(text));
}

} // namespace win32

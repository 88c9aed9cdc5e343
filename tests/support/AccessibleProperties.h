#pragma once

#include "win32/Bstr.h"
#include "win32/Variant.h"

#include <windows.h>
#include <oleacc.h>

#include <string>

// Reading an IAccessible as a screen reader does, for the tests that check what one would hear.
namespace testsupport {

// The VARIANT that names child `id` (CHILDID_SELF for the object itself). It holds no resource.
inline VARIANT ChildVariant(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

using AccessibleTextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
using AccessibleNumberGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);

// A text property of child `id`, such as get_accName; "" when it has none.
inline std::wstring AccessibleText(IAccessible* object, AccessibleTextGetter get, LONG id) {
    win32::UniqueBstr text;
    (object->*get)(ChildVariant(id), text.put());
    return text ? std::wstring(text.get(), SysStringLen(text.get())) : std::wstring{};
}

// A numeric property of child `id`, such as get_accRole; -1 when it is no number.
inline LONG AccessibleNumber(IAccessible* object, AccessibleNumberGetter get, LONG id) {
    win32::Variant value;
    (object->*get)(ChildVariant(id), value.put());
    return value.get()->vt == VT_I4 ? value.get()->lVal : -1;
}

} // namespace testsupport

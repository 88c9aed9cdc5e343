#pragma once

#include <windows.h>

#include <oleauto.h>

#include <new>
#include <string>
#include <type_traits>

namespace flashstandin {

// Runs the body of a COM method, a callback or a destructor, none of which may let an exception
// escape: the caller is the system or a host that cannot unwind it. What the body throws becomes
// the HRESULT the caller can act on; it is mostly the logging or a string failing to allocate.
// A body returning nothing counts as S_OK.
template <typename Body> HRESULT Guarded(Body&& body) noexcept {
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            return S_OK;
        } else {
            return body();
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// A value returned through an out parameter.
template <typename T, typename Value> HRESULT Answer(T* out, const Value& value) {
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

// A flag returned as COM's VARIANT_TRUE (-1) or VARIANT_FALSE.
inline HRESULT AnswerFlag(VARIANT_BOOL* out, bool value) {
    return Answer(out, value ? VARIANT_TRUE : VARIANT_FALSE);
}

// A copy of the text returned as a new BSTR, which the caller frees.
inline HRESULT AnswerText(BSTR* out, const std::wstring& text) {
    if (!out)
        return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A BSTR argument as text; the null BSTR is "".
inline std::wstring Text(BSTR value) {
    return value ? std::wstring(value, SysStringLen(value)) : std::wstring();
}

} // namespace flashstandin

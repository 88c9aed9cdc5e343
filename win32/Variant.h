#pragma once

#include <windows.h>

#include <oleauto.h>

#include <new>
#include <type_traits>

namespace win32 {

// Move-only owner of one VARIANT: cleared when it goes away, which frees a string or releases an
// interface it holds. It is exactly a VARIANT in memory, so an array of owners is the argument
// array IDispatch::Invoke takes (see VariantArray).
class Variant {
public:
    Variant() noexcept { VariantInit(&m_value); }
    Variant(Variant&& other) noexcept : m_value(other.m_value) { VariantInit(&other.m_value); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            VariantClear(&m_value);
            m_value = other.m_value;
            VariantInit(&other.m_value);
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&m_value); }

    static Variant FromLong(long number) noexcept {
        Variant variant;
        variant.m_value.vt = VT_I4;
        variant.m_value.lVal = number;
        return variant;
    }

    // A copy of the text (null is taken as ""). Throws std::bad_alloc when the copy cannot be
    // allocated, since a null BSTR would reach the receiver as "", a different value.
    static Variant FromString(const wchar_t* text) {
        Variant variant;
        variant.m_value.bstrVal = SysAllocString(text ? text : L"");
        if (!variant.m_value.bstrVal)
            throw std::bad_alloc();
        variant.m_value.vt = VT_BSTR;
        return variant;
    }

    VARIANT* get() noexcept { return &m_value; }
    const VARIANT* get() const noexcept { return &m_value; }

    // For calls that return a VARIANT through an out parameter; the old value is cleared first.
    VARIANT* put() noexcept {
        VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};

static_assert(std::is_standard_layout_v<Variant> && sizeof(Variant) == sizeof(VARIANT) &&
                  alignof(Variant) == alignof(VARIANT),
              "an array of owners must be laid out as an array of VARIANTs");

// The owners as the contiguous VARIANT array of DISPPARAMS::rgvarg; null for none.
inline VARIANT* VariantArray(Variant* owners) noexcept {
    return owners ? owners->get() : nullptr;
}

} // namespace win32

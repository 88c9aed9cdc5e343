#pragma once

#include <unknwn.h>

#include <utility>

namespace win32 {

// Move-only owner of one COM interface pointer: releases it when it goes away. Unlike a raw
// pointer it cannot leak on an early return, and unlike a smart pointer with AddRef on copy it
// never hides a reference count change.
template <typename Interface> class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(Interface* pointer) : m_pointer(pointer) {}
    ComPtr(ComPtr&& other) noexcept : m_pointer(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    Interface* release() { return std::exchange(m_pointer, nullptr); }

    void reset(Interface* pointer = nullptr) {
        if (Interface* old = std::exchange(m_pointer, pointer))
            old->Release();
    }

    // For interface methods that return the pointer through a typed out parameter.
    Interface** put() {
        reset();
        return &m_pointer;
    }

    // For CoCreateInstance and QueryInterface, which return the interface through a void**.
    void** put_void() {
        reset();
        return reinterpret_cast<void**>(&m_pointer);
    }

    // Asks the object for another of its interfaces; empty when it has none.
    template <typename Other> ComPtr<Other> query(REFIID iid) const {
        ComPtr<Other> other;
        if (m_pointer)
            m_pointer->QueryInterface(iid, other.put_void());
        return other;
    }

private:
    Interface* m_pointer{nullptr};
};

} // namespace win32

#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

// Move-only owner of one Win32 resource. Traits supplies the resource type, its invalid value
// and how to close it; closing preserves GetLastError so an error path can still report it.
template <typename Traits> class UniqueHandle {
public:
    using Pointer = typename Traits::Pointer;

    UniqueHandle() = default;
    explicit UniqueHandle(Pointer value) : m_value(value) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_value(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Pointer get() const { return m_value; }
    explicit operator bool() const { return m_value != Traits::invalid(); }

    Pointer release() { return std::exchange(m_value, Traits::invalid()); }

    void reset(Pointer value = Traits::invalid()) {
        Pointer old = std::exchange(m_value, value);
        if (old != Traits::invalid()) {
            DWORD lastError = GetLastError();
            Traits::close(old);
            SetLastError(lastError);
        }
    }

    // For APIs that return the resource through an out parameter; the old one is closed first.
    Pointer* put() {
        reset();
        return &m_value;
    }

private:
    Pointer m_value{Traits::invalid()};
};

struct KernelHandleTraits {
    using Pointer = HANDLE;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer handle) { CloseHandle(handle); }
};

// CreateFile and CreateToolhelp32Snapshot report failure as INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Pointer = HANDLE;
    static Pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Pointer handle) { CloseHandle(handle); }
};

struct FindHandleTraits {
    using Pointer = HANDLE;
    static Pointer invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Pointer handle) { FindClose(handle); }
};

struct RegistryKeyTraits {
    using Pointer = HKEY;
    static Pointer invalid() { return nullptr; }
    static void close(Pointer key) { RegCloseKey(key); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

} // namespace win32

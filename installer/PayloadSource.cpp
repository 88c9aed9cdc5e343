#include "installer/PayloadSource.h"

#include <algorithm>

bool PayloadSource::Open(const std::wstring& path) {
    m_file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return m_file && TakeSize();
}

bool PayloadSource::OpenDuplicate(HANDLE file) {
    HANDLE duplicate = INVALID_HANDLE_VALUE;
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &duplicate, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return false;
    m_file.reset(duplicate);
    return TakeSize();
}

bool PayloadSource::TakeSize() {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_file.get(), &size)) {
        m_file.reset();
        return false;
    }
    m_size = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

SRes PayloadSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset > m_size || size > m_size - offset)
        return SZ_ERROR_INPUT_EOF;
    std::lock_guard<std::mutex> lock(m_mutex);
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(m_file.get(), position, nullptr, FILE_BEGIN))
        return SZ_ERROR_READ;
    Byte* out = static_cast<Byte*>(buffer);
    while (size != 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, kMaxPayloadRead));
        DWORD read = 0;
        if (!ReadFile(m_file.get(), out, chunk, &read, nullptr))
            return SZ_ERROR_READ;
        if (read == 0)
            return SZ_ERROR_INPUT_EOF;
        out += read;
        size -= read;
    }
    return SZ_OK;
}

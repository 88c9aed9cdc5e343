#pragma once

#include "sevenzip/ByteSource.h"
#include "win32/UniqueHandle.h"

#include <windows.h>

#include <mutex>
#include <string>

// The staged payload archive as the 7z reader's input: a read-only native file handle, read in
// chunks of at most kMaxPayloadRead bytes. Reads are serialised, since the reader may decode two
// blocks on two threads.
class PayloadSource final : public sevenzip::ByteSource {
public:
    static constexpr DWORD kMaxPayloadRead = 4 * 1024 * 1024;

    // Opens for reading (others may read, the file must exist); false when it cannot.
    bool Open(const std::wstring& path);
    // Reads through a duplicate of a handle the caller holds open with read access.
    bool OpenDuplicate(HANDLE file);

    std::uint64_t Size() const override { return m_size; }
    SRes ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

private:
    bool TakeSize();

    win32::UniqueFileHandle m_file;
    std::uint64_t m_size{0};
    std::mutex m_mutex;
};

#pragma once

#include "sevenzip/ByteSource.h"

#include <string>

namespace sevenzip {

// A source over a file, read with positional reads so that concurrent reads need no lock.
// Native (POSIX) builds only; the installer brings its own source over a Windows handle.
class FileSource final : public ByteSource {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // SZ_OK, or SZ_ERROR_READ when the file cannot be opened.
    SRes Open(const std::string& path);

    std::uint64_t Size() const override { return m_size; }
    SRes ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

private:
    int m_fd{-1};
    std::uint64_t m_size{0};
};

} // namespace sevenzip

#include "sevenzip/FileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sevenzip {

FileSource::~FileSource() {
    if (m_fd >= 0)
        close(m_fd);
}

SRes FileSource::Open(const std::string& path) {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return SZ_ERROR_READ;
    struct stat info;
    if (fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
        return SZ_ERROR_READ;
    m_size = static_cast<std::uint64_t>(info.st_size);
    return SZ_OK;
}

SRes FileSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset > m_size || size > m_size - offset)
        return SZ_ERROR_INPUT_EOF;
    char* out = static_cast<char*>(buffer);
    while (size != 0) {
        ssize_t n = pread(m_fd, out, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0 ? SZ_ERROR_INPUT_EOF : SZ_ERROR_READ;
        out += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return SZ_OK;
}

} // namespace sevenzip

#include "sevenzip/ByteRing.h"

#include <algorithm>
#include <cstring>

namespace sevenzip {

SRes ByteRing::Allocate(std::size_t capacity) {
    m_data = AllocateLargeBuffer(capacity);
    if (!m_data)
        return SZ_ERROR_MEM;
    m_capacity = capacity;
    return SZ_OK;
}

bool ByteRing::Write(const Byte* data, std::size_t size) {
    while (size != 0) {
        std::size_t at, room;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_writable.wait(lock, [&] { return m_readerGone || m_written - m_read < m_capacity; });
            if (m_readerGone)
                return false;
            at = static_cast<std::size_t>(m_written % m_capacity);
            room = std::min(m_capacity - static_cast<std::size_t>(m_written - m_read),
                            m_capacity - at);
        }
        // The free part belongs to the writer alone until it is published below.
        const std::size_t n = std::min(room, size);
        std::memcpy(m_data.get() + at, data, n);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_written += n;
        }
        m_readable.notify_one();
        data += n;
        size -= n;
    }
    return true;
}

void ByteRing::EndPart() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_partsEnded++;
    }
    m_readable.notify_one();
}

void ByteRing::Close(SRes result) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        m_result = result;
    }
    m_readable.notify_one();
}

SRes ByteRing::Peek(const Byte*& data, std::size_t& size) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_readable.wait(lock, [&] { return m_closed || m_written != m_read; });
    data = nullptr;
    size = 0;
    if (m_written == m_read)
        return m_result;
    const std::size_t at = static_cast<std::size_t>(m_read % m_capacity);
    data = m_data.get() + at;
    size = static_cast<std::size_t>(std::min<std::uint64_t>(m_written - m_read, m_capacity - at));
    return SZ_OK;
}

void ByteRing::Consume(std::size_t size) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_read += size;
    }
    m_writable.notify_one();
}

SRes ByteRing::WaitForParts(std::uint64_t parts) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_readable.wait(lock, [&] { return m_closed || m_partsEnded >= parts; });
    if (m_partsEnded >= parts)
        return SZ_OK;
    return m_result != SZ_OK ? m_result : SZ_ERROR_DATA;
}

void ByteRing::Leave() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_readerGone = true;
    }
    m_writable.notify_one();
}

} // namespace sevenzip

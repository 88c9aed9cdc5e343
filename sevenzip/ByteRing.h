#pragma once

#include "sevenzip/LargeBuffer.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace sevenzip {

// A fixed ring of bytes between one writing thread and one reading thread. The writer copies in
// and waits while the ring is full; the reader looks at the bytes in place and waits while it is
// empty. The bytes come in parts (blocks) whose clean ends the writer marks; the writer ends
// with a result that the reader gets after the last byte.
class ByteRing {
public:
    // SZ_ERROR_MEM when the ring's memory is not available.
    SRes Allocate(std::size_t capacity);

    // Writer side. Write returns false once the reader has left.
    bool Write(const Byte* data, std::size_t size);
    void EndPart();
    void Close(SRes result);

    // Reader side. Peek waits for bytes and gives the contiguous ones in place; an empty view
    // comes with the writer's result once it has closed and every byte was read. Consume frees
    // the first `size` bytes of the last view.
    SRes Peek(const Byte*& data, std::size_t& size);
    void Consume(std::size_t size);
    // Waits until `parts` parts were marked ended (SZ_OK) or the writer closed without marking
    // them (its result, or SZ_ERROR_DATA).
    SRes WaitForParts(std::uint64_t parts);
    // The reader leaves: the writer stops at its next Write.
    void Leave();

private:
    LargeBuffer m_data;
    std::size_t m_capacity{0};
    std::mutex m_mutex;
    std::condition_variable m_readable; // bytes arrived or the writer closed
    std::condition_variable m_writable; // bytes were freed or the reader left
    std::uint64_t m_written{0};         // bytes written since the start
    std::uint64_t m_read{0};            // bytes consumed since the start; m_written - m_read fill
    std::uint64_t m_partsEnded{0};      // parts the writer marked ended
    bool m_closed{false};
    SRes m_result{SZ_OK};
    bool m_readerGone{false};
};

} // namespace sevenzip

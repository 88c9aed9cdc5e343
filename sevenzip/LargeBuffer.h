#pragma once

#include "Types.h"

#include <cstddef>
#include <memory>

namespace sevenzip {

// Frees a large buffer however it was obtained.
struct LargeBufferDeleter {
    void operator()(Byte* data) const;

    void* mapping{nullptr};    // start of the mapping the buffer lies in, when it is mapped
    std::size_t mappedSize{0}; // its size
};

// Memory for a dictionary or the decoding ring (megabytes, used over and over). Where the system
// offers it, the memory is mapped directly, so that it goes back to the system the moment it is
// freed (the C heap would keep it), and backed by large pages: faulting it in 4 KB at a time
// costs system time in a virtual machine, and a dictionary's matches reach back across all of it.
using LargeBuffer = std::unique_ptr<Byte[], LargeBufferDeleter>;

// Null when the memory is not available; a size of 0 still gives a valid pointer.
LargeBuffer AllocateLargeBuffer(std::size_t size);

} // namespace sevenzip

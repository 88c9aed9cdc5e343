#pragma once

#include "Types.h"

#include <cstddef>
#include <memory>

namespace sevenzip {

struct BlockMemoryDeleter {
    void operator()(Byte* data) const;
};

// Memory for a whole decoded block (up to hundreds of megabytes, written once front to back).
// Where the system offers it, the memory is backed by large pages: faulting in a block 4 KB at
// a time costs more system time than decoding it in a virtual machine.
using BlockMemory = std::unique_ptr<Byte[], BlockMemoryDeleter>;

// Null when the memory is not available; a size of 0 still gives a valid pointer.
BlockMemory AllocateBlockMemory(std::size_t size);

} // namespace sevenzip

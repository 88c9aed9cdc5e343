#pragma once

#include "sevenzip/Archive.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sevenzip {

// The decoded bytes of an archive's blocks, block by block in ascending order, each exactly its
// unpack size. Blocks without entries are never decoded.
class BlockSequence {
public:
    // Without overlap the blocks are decoded on the reader's thread as it reads. With overlap a
    // second thread decodes them, one after the other, into a ring of fixed size, so that the
    // reader writes out one part while the next is decoded, across block ends too. Either way
    // the memory is the current block's dictionaries plus small fixed buffers (and the ring).
    // Blocks from `endBlock` on are never decoded and cannot be asked for.
    static std::unique_ptr<BlockSequence> Create(const Archive& archive, bool overlap,
                                                 std::uint32_t endBlock);
    virtual ~BlockSequence() = default;

    // The next bytes of `block`, which is read from its start; asking for a later block leaves
    // the rest of the current one unread. Empty once the whole block was consumed and its
    // coders found their streams ending right there.
    virtual SRes Peek(std::uint32_t block, const Byte*& data, std::size_t& size) = 0;
    // Frees the first `size` bytes of the last view.
    virtual void Consume(std::size_t size) = 0;
};

} // namespace sevenzip

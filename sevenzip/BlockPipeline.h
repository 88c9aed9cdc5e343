#pragma once

#include "sevenzip/Archive.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace sevenzip {

// Hands out an archive's decoded blocks in ascending order. With overlap on, a second thread
// decodes the next block while the caller writes out the current one, so at most two blocks are
// held at once; without it, each block is decoded on the caller's thread when asked for and only
// one is held. Every block is decoded exactly once, and decoding stops at the first error.
class BlockPipeline {
public:
    BlockPipeline(const Archive& archive, bool overlap);
    ~BlockPipeline();
    BlockPipeline(const BlockPipeline&) = delete;
    BlockPipeline& operator=(const BlockPipeline&) = delete;

    // Waits for `block` and gives its buffer. Asking for a block releases every earlier one, so
    // blocks must be asked for in ascending order (asking again for the current one is fine).
    SRes Acquire(std::uint32_t block, const BlockBuffer*& buffer);

private:
    void Run();

    const Archive& m_archive;
    const bool m_overlap;
    BlockBuffer m_slots[2]; // block b lives in slot b % 2

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint32_t m_releasedBelow{0}; // the caller no longer needs blocks below this
    std::uint32_t m_decoded{0};       // blocks [0, m_decoded) are decoded
    SRes m_error{SZ_OK};              // first decoding error, for block m_decoded
    bool m_stopping{false};
    std::thread m_worker;
};

} // namespace sevenzip

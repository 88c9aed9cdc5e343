#pragma once

#include "sevenzip/Archive.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace sevenzip {

// Hands out an archive's decoded blocks in ascending order. With overlap on, a second thread
// decodes the following block while the caller's thread decodes (and then writes out) the
// current one, so two blocks are decoded at once on two cores and at most two are held. Without
// it, each block is decoded on the caller's thread when asked for and only one is held. Every
// block is decoded exactly once, and no block is started after a decoding error.
class BlockPipeline {
public:
    BlockPipeline(const Archive& archive, bool overlap);
    ~BlockPipeline();
    BlockPipeline(const BlockPipeline&) = delete;
    BlockPipeline& operator=(const BlockPipeline&) = delete;

    // Gives `block` decoded, waiting for it if the other thread has it. Asking for a block
    // releases every earlier one, so blocks must be asked for in ascending order (asking again
    // for the current one is fine).
    SRes Acquire(std::uint32_t block, const BlockBuffer*& buffer);

private:
    enum class State : unsigned char { Waiting, Decoding, Done, Failed };

    SRes AcquireSequential(std::uint32_t block, const BlockBuffer*& buffer);
    // Decodes `block` on the calling thread; called with the lock held, returns with it held.
    void DecodeClaimed(std::uint32_t block, std::unique_lock<std::mutex>& lock);
    bool CanClaim(std::uint32_t block) const;
    void Run();

    const Archive& m_archive;
    const bool m_overlap;
    BlockBuffer m_slots[2]; // block b lives in slot b % 2

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<State> m_states;
    std::vector<SRes> m_results;
    std::uint32_t m_nextClaim{0};     // blocks below this are claimed by one of the threads
    std::uint32_t m_releasedBelow{0}; // the caller no longer needs blocks below this
    bool m_failed{false};
    bool m_stopping{false};
    std::thread m_worker;
};

} // namespace sevenzip

#include "sevenzip/BlockPipeline.h"

#include <new>
#include <system_error>

namespace sevenzip {

BlockPipeline::BlockPipeline(const Archive& archive, bool overlap)
    : m_archive(archive), m_overlap(overlap && archive.BlockCount() > 1) {}

BlockPipeline::~BlockPipeline() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

SRes BlockPipeline::AcquireSequential(std::uint32_t block, const BlockBuffer*& buffer) {
    BlockBuffer& slot = m_slots[0];
    if (slot.BlockIndex() != block)
        RINOK(m_archive.DecodeBlock(block, slot));
    buffer = &slot;
    return SZ_OK;
}

bool BlockPipeline::CanClaim(std::uint32_t block) const {
    // Slot block % 2 is free once the caller has moved past block - 2.
    return !m_failed && !m_stopping && block < m_states.size() && block < m_releasedBelow + 2;
}

void BlockPipeline::DecodeClaimed(std::uint32_t block, std::unique_lock<std::mutex>& lock) {
    m_states[block] = State::Decoding;
    lock.unlock();
    SRes res = m_archive.DecodeBlock(block, m_slots[block % 2]);
    lock.lock();
    m_results[block] = res;
    m_states[block] = res == SZ_OK ? State::Done : State::Failed;
    if (res != SZ_OK)
        m_failed = true;
    m_changed.notify_all();
}

SRes BlockPipeline::Acquire(std::uint32_t block, const BlockBuffer*& buffer) {
    buffer = nullptr;
    if (block >= m_archive.BlockCount())
        return SZ_ERROR_PARAM;
    if (!m_overlap)
        return AcquireSequential(block, buffer);

    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_states.empty()) {
        try {
            m_states.assign(m_archive.BlockCount(), State::Waiting);
            m_results.assign(m_archive.BlockCount(), SZ_OK);
        } catch (const std::bad_alloc&) {
            return SZ_ERROR_MEM;
        }
    }
    if (block < m_releasedBelow)
        return SZ_ERROR_PARAM;
    m_releasedBelow = block;
    // Blocks the caller skipped are still decoded in order, by whichever thread is free.
    bool claimed = false;
    if (m_nextClaim <= block && CanClaim(m_nextClaim) && m_nextClaim == block) {
        m_nextClaim = block + 1;
        claimed = true;
    }
    if (!m_worker.joinable() && !m_failed) {
        try {
            m_worker = std::thread(&BlockPipeline::Run, this);
        } catch (const std::system_error&) {
            return SZ_ERROR_THREAD;
        }
    }
    m_changed.notify_all();
    if (claimed)
        DecodeClaimed(block, lock);
    m_changed.wait(lock, [&] {
        return m_states[block] == State::Done || m_states[block] == State::Failed ||
               (m_failed && m_states[block] == State::Waiting);
    });
    if (m_states[block] == State::Done) {
        buffer = &m_slots[block % 2];
        return SZ_OK;
    }
    if (m_states[block] == State::Failed)
        return m_results[block];
    // An earlier block failed, so this one was never started.
    for (SRes res : m_results)
        if (res != SZ_OK)
            return res;
    return SZ_ERROR_FAIL;
}

void BlockPipeline::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] {
            return m_stopping || m_failed || m_nextClaim >= m_states.size() ||
                   CanClaim(m_nextClaim);
        });
        if (m_stopping || m_failed || m_nextClaim >= m_states.size())
            return;
        std::uint32_t block = m_nextClaim++;
        DecodeClaimed(block, lock);
    }
}

} // namespace sevenzip

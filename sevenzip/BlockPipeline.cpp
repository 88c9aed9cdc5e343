#include "sevenzip/BlockPipeline.h"

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

SRes BlockPipeline::Acquire(std::uint32_t block, const BlockBuffer*& buffer) {
    buffer = nullptr;
    if (block >= m_archive.BlockCount())
        return SZ_ERROR_PARAM;
    BlockBuffer& slot = m_slots[block % 2];
    if (!m_overlap) {
        if (slot.BlockIndex() != block) {
            m_slots[(block + 1) % 2].Release();
            RINOK(m_archive.DecodeBlock(block, slot));
        }
        buffer = &slot;
        return SZ_OK;
    }

    std::unique_lock<std::mutex> lock(m_mutex);
    if (block < m_releasedBelow)
        return SZ_ERROR_PARAM;
    m_releasedBelow = block;
    if (!m_worker.joinable()) {
        try {
            m_worker = std::thread(&BlockPipeline::Run, this);
        } catch (const std::system_error&) {
            return SZ_ERROR_THREAD;
        }
    }
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_decoded > block || m_error != SZ_OK; });
    if (m_decoded <= block)
        return m_error;
    buffer = &slot;
    return SZ_OK;
}

void BlockPipeline::Run() {
    const std::uint32_t count = m_archive.BlockCount();
    for (std::uint32_t block = 0; block < count; block++) {
        {
            // Slot block % 2 is free once the caller has moved past block - 2.
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stopping || block < m_releasedBelow + 2; });
            if (m_stopping)
                return;
        }
        SRes res = m_archive.DecodeBlock(block, m_slots[block % 2]);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (res != SZ_OK)
                m_error = res;
            else
                m_decoded = block + 1;
        }
        m_changed.notify_all();
        if (res != SZ_OK)
            return;
    }
}

} // namespace sevenzip

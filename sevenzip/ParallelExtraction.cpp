#include "sevenzip/ParallelExtraction.h"

#include "sevenzip/DecodingPlan.h"

#include <condition_variable>
#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace sevenzip {
namespace {

enum class EntryState : unsigned char { Waiting, Started, Done, Failed };

bool StopRequested(const ExtractionOptions& options) {
    return options.stopRequested != nullptr && options.stopRequested->load();
}

// Write with every exception turned into a result: nothing escapes a decoding thread.
int WriteCaught(EntryWriter& writer, std::uint32_t entry, EntryReader& reader) {
    try {
        return writer.Write(entry, reader);
    } catch (const std::bad_alloc&) {
        return SZ_ERROR_MEM;
    } catch (...) {
        return SZ_ERROR_FAIL;
    }
}

ExtractionResult ExtractInOrder(const Archive& archive, EntryWriter& writer,
                                const ExtractionOptions& options) {
    ExtractionResult outcome;
    EntryReader reader(archive, options.overlap);
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        const int result =
            StopRequested(options) ? SZ_ERROR_PROGRESS : WriteCaught(writer, i, reader);
        if (result != 0) {
            outcome.result = result;
            outcome.failingEntry = i;
            return outcome;
        }
        writer.Completed(i);
    }
    return outcome;
}

// Blocks handed out to the decoding threads in ascending order, so that a block not yet taken
// holds only entries later than every entry being written.
class ParallelRun {
public:
    ParallelRun(const Archive& archive, EntryWriter& writer, const ExtractionOptions& options,
                bool overlap)
        : m_archive(archive), m_writer(writer), m_options(options), m_overlap(overlap),
          m_entries(archive.BlockCount()), m_state(archive.EntryCount(), EntryState::Waiting),
          m_results(archive.EntryCount(), 0), m_cutoff(archive.EntryCount()) {
        for (std::uint32_t i = 0; i < archive.EntryCount(); i++)
            if (archive.BlockOf(i) != kNoBlock)
                m_entries[archive.BlockOf(i)].push_back(i);
    }

    ExtractionResult Run(unsigned threads) {
        std::vector<std::thread> workers;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_running = threads;
        }
        for (unsigned t = 0; t < threads; t++) {
            try {
                workers.emplace_back(&ParallelRun::Decode, this);
            } catch (const std::system_error&) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_running--;
            }
        }
        // Without a thread of its own the run decodes on this one, in order.
        if (workers.empty())
            return ExtractInOrder(m_archive, m_writer, m_options);
        ExtractionResult outcome;
        outcome.threads = static_cast<unsigned>(workers.size());
        const std::uint32_t end = Follow(outcome);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_cutoff = std::min(m_cutoff, end);
        }
        for (std::thread& worker : workers)
            worker.join();
        for (std::uint32_t i = m_archive.EntryCount(); i-- > end + 1;)
            if (m_state[i] != EntryState::Waiting)
                m_writer.Remove(i);
        return outcome;
    }

private:
    // Reports the entries complete in archive order and writes those without data; gives the
    // entry where the run ended (EntryCount() when every entry is complete).
    std::uint32_t Follow(ExtractionResult& outcome) {
        EntryReader noData(m_archive, false);
        for (std::uint32_t i = 0; i < m_archive.EntryCount(); i++) {
            int result = 0;
            if (m_archive.BlockOf(i) == kNoBlock) {
                result =
                    StopRequested(m_options) ? SZ_ERROR_PROGRESS : WriteCaught(m_writer, i, noData);
                std::lock_guard<std::mutex> lock(m_mutex);
                m_state[i] = result == 0 ? EntryState::Done : EntryState::Failed;
            } else {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [&] {
                    return m_state[i] == EntryState::Done || m_state[i] == EntryState::Failed ||
                           (m_state[i] == EntryState::Waiting && m_running == 0);
                });
                if (m_state[i] == EntryState::Failed)
                    result = m_results[i];
                else if (m_state[i] == EntryState::Waiting)
                    result = StopRequested(m_options) ? SZ_ERROR_PROGRESS : SZ_ERROR_FAIL;
            }
            if (result != 0) {
                outcome.result = result;
                outcome.failingEntry = i;
                return i;
            }
            m_writer.Completed(i);
        }
        return m_archive.EntryCount();
    }

    // One decoding thread: writes the entries of one block after the other, until none is left
    // or the run ends.
    void Decode() {
        for (std::uint32_t block = TakeBlock(); block != kNoBlock && DecodeBlock(block);
             block = TakeBlock()) {
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running--;
        m_changed.notify_all();
    }

    std::uint32_t TakeBlock() {
        std::lock_guard<std::mutex> lock(m_mutex);
        while (m_nextBlock < m_entries.size() && m_entries[m_nextBlock].empty())
            m_nextBlock++;
        return m_nextBlock < m_entries.size() ? m_nextBlock++ : kNoBlock;
    }

    // Writes the block's entries; false when the run ends.
    bool DecodeBlock(std::uint32_t block) {
        std::unique_ptr<EntryReader> reader;
        try {
            reader = std::make_unique<EntryReader>(m_archive, m_overlap, block);
        } catch (const std::bad_alloc&) {
        }
        for (std::uint32_t entry : m_entries[block]) {
            if (!Begin(entry))
                return false;
            const int result = reader ? WriteCaught(m_writer, entry, *reader) : SZ_ERROR_MEM;
            End(entry, result);
            if (result != 0)
                return false;
        }
        return true;
    }

    bool Begin(std::uint32_t entry) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (entry > m_cutoff || StopRequested(m_options))
            return false;
        m_state[entry] = EntryState::Started;
        return true;
    }

    void End(std::uint32_t entry, int result) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state[entry] = result == 0 ? EntryState::Done : EntryState::Failed;
        m_results[entry] = result;
        if (result != 0)
            m_cutoff = std::min(m_cutoff, entry);
        m_changed.notify_all();
    }

    const Archive& m_archive;
    EntryWriter& m_writer;
    const ExtractionOptions& m_options;
    const bool m_overlap; // each thread decodes its block on a thread of its own
    std::vector<std::vector<std::uint32_t>> m_entries; // each block's entries, in order

    std::mutex m_mutex;
    std::condition_variable m_changed; // an entry ended or a thread left
    std::vector<EntryState> m_state;
    std::vector<int> m_results;
    std::uint32_t m_cutoff;       // no entry after this one is begun
    std::uint32_t m_nextBlock{0}; // the next block to hand out
    unsigned m_running{0};        // decoding threads not yet ended
};

} // namespace

ExtractionResult ExtractEntries(const Archive& archive, EntryWriter& writer,
                                const ExtractionOptions& options) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned maxThreads = options.maxThreads != 0 ? options.maxThreads : cores;
    const std::uint64_t budget =
        options.memoryBudget != 0 ? options.memoryBudget : DefaultMemoryBudget();
    const unsigned threads = DecodingThreads(archive, maxThreads, budget);
    if (threads == 1)
        return ExtractInOrder(archive, writer, options);
    // With a core to spare for each, a block's decoding runs ahead of its writing too.
    ParallelRun run(archive, writer, options, 2 * threads <= cores);
    return run.Run(threads);
}

} // namespace sevenzip

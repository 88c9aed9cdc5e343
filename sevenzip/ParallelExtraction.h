#pragma once

#include "sevenzip/Archive.h"
#include "sevenzip/EntryReader.h"

#include <atomic>
#include <cstdint>

namespace sevenzip {

// What an extraction does with each entry. The engine decides which thread writes what; the
// writer sees the order of a sequential run wherever it can tell.
class EntryWriter {
public:
    virtual ~EntryWriter() = default;

    // Writes `entry`, reading its bytes with `reader.Read(entry, ...)`: 0, or the code of the
    // failure. A block's entries are written on one thread in archive order, different blocks'
    // entries on different threads at the same time; entries without data on the calling
    // thread, once every entry before them is complete.
    virtual int Write(std::uint32_t entry, EntryReader& reader) = 0;
    // `entry` and every entry before it are complete. On the calling thread, in archive order.
    virtual void Completed(std::uint32_t entry) = 0;
    // Takes away what Write made of `entry`, which lies past the point where the extraction
    // ended. On the calling thread, once every other thread has ended, last entry first.
    virtual void Remove(std::uint32_t entry) = 0;
};

struct ExtractionOptions {
    unsigned maxThreads{0};        // blocks decoded at once at most; 0: one per core
    std::uint64_t memoryBudget{0}; // for all blocks decoding at once; 0: DefaultMemoryBudget()
    const std::atomic<bool>* stopRequested{nullptr}; // checked before every entry
    // With one thread, the blocks are decoded on a second one ahead of the writing.
    bool overlap{true};
};

struct ExtractionResult {
    // 0 when every entry was written; otherwise the result of the first entry in archive order
    // that failed, or SZ_ERROR_PROGRESS when a stop request came first.
    int result{0};
    std::uint32_t failingEntry{0}; // that entry, when the result is not 0
    unsigned threads{1};           // blocks that were decoded at once
};

// Writes every entry of `archive` through `writer`, decoding independent blocks side by side
// (see DecodingThreads) and, with one thread, the blocks on a second thread ahead of the
// writing. The outcome is a sequential run's: the entries before the failing one complete, the
// failing one as far as Write left it, nothing after it (Remove), Completed in archive order
// for exactly the complete ones. A stop request ends every thread at its next entry; the
// entries from the first one not complete on are then removed.
ExtractionResult ExtractEntries(const Archive& archive, EntryWriter& writer,
                                const ExtractionOptions& options = ExtractionOptions());

} // namespace sevenzip

#pragma once

#include "sevenzip/Archive.h"

#include <cstdint>

namespace sevenzip {

// Upper bound of the memory one block takes while it decodes: its dictionaries and models (as
// large as the decoders make them, never larger than what the block's coders put out) and the
// fixed buffers, plus the ring when a second thread decodes ahead of the writing.
std::uint64_t BlockMemory(const Archive& archive, std::uint32_t block, bool overlap);

// A quarter of the physical memory, at most kMaxMemoryBudget.
std::uint64_t DefaultMemoryBudget();
constexpr std::uint64_t kMaxMemoryBudget = std::uint64_t{256} << 20;

// How many blocks to decode side by side: at most `maxThreads` and the number of blocks with
// entries, and no more than the largest blocks' memory lets fit into `budget` together. Never
// less than one, whatever the budget: one block at a time is the least extraction can take.
unsigned DecodingThreads(const Archive& archive, unsigned maxThreads, std::uint64_t budget);

} // namespace sevenzip

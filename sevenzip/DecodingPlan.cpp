#include "sevenzip/DecodingPlan.h"

#include "sevenzip/FolderDecoder.h"

#include <algorithm>
#include <functional>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace sevenzip {
namespace {

// The small buffers of one block's chain (input chunks, decoder slices, filter buffers) with
// room to spare, and the ring between a decoding thread and the writing one.
constexpr std::uint64_t kFixedBlockMemory = std::uint64_t{2} << 20;
constexpr std::uint64_t kOverlapRing = std::uint64_t{4} << 20;
constexpr unsigned kLzma2MaxDictProperty = 40;
constexpr std::uint64_t kLzmaBaseProbs = 1846;
constexpr std::uint64_t kLzmaLiteralProbs = 0x300;

std::uint32_t Le32(const std::vector<Byte>& p, std::size_t at) {
    return p[at] | p[at + 1] << 8 | p[at + 2] << 16 | static_cast<std::uint32_t>(p[at + 3]) << 24;
}

// Probabilities of an LZMA decoder with `lclp` literal context and position bits (2 bytes each).
std::uint64_t LzmaProbs(unsigned lclp) {
    return 2 * (kLzmaBaseProbs + (kLzmaLiteralProbs << std::min(lclp, 12u)));
}

std::uint64_t CoderMemory(const Coder& coder, std::uint64_t outSize) {
    const std::vector<Byte>& p = coder.properties;
    switch (coder.methodId) {
    case kMethodLzma:
        if (p.size() < 5)
            return 0;
        return std::min<std::uint64_t>(Le32(p, 1), outSize) + LzmaProbs(p[0] % 9 + p[0] / 9 % 5);
    case kMethodLzma2: {
        if (p.empty())
            return 0;
        const std::uint64_t dict = p[0] >= kLzma2MaxDictProperty
                                       ? 0xFFFFFFFFu
                                       : std::uint64_t{2u | (p[0] & 1u)} << (p[0] / 2 + 11);
        return std::min(dict, outSize) + LzmaProbs(4);
    }
    case kMethodPpmd:
        return p.size() < 5 ? 0 : Le32(p, 1);
    default:
        return 0;
    }
}

} // namespace

std::uint64_t BlockMemory(const Archive& archive, std::uint32_t block, bool overlap) {
    const Folder& folder = archive.Db().folders[block];
    std::uint64_t total = kFixedBlockMemory + (overlap ? kOverlapRing : 0);
    for (const Coder& coder : folder.coders) {
        const std::uint64_t outSize = coder.firstOutStream < folder.unpackSizes.size()
                                          ? folder.unpackSizes[coder.firstOutStream]
                                          : 0;
        total += CoderMemory(coder, outSize);
    }
    return total;
}

std::uint64_t DefaultMemoryBudget() {
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    const std::uint64_t physical = GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    const std::uint64_t physical =
        pages > 0 && pageSize > 0
            ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize)
            : 0;
#endif
    return std::min(physical / 4, kMaxMemoryBudget);
}

unsigned DecodingThreads(const Archive& archive, unsigned maxThreads, std::uint64_t budget) {
    std::vector<std::uint64_t> costs;
    for (std::uint32_t b = 0; b < archive.BlockCount(); b++)
        if (archive.Db().folders[b].numSubstreams != 0)
            costs.push_back(BlockMemory(archive, b, false));
    std::sort(costs.begin(), costs.end(), std::greater<>());
    unsigned threads = 0;
    std::uint64_t total = 0;
    while (threads < maxThreads && threads < costs.size() && total + costs[threads] <= budget)
        total += costs[threads++];
    return std::max(threads, 1u);
}

} // namespace sevenzip

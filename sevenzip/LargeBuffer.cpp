#include "sevenzip/LargeBuffer.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace sevenzip {
namespace {

#if defined(__linux__)
constexpr std::size_t kLargePage = std::size_t{2} << 20;
#endif

} // namespace

void LargeBufferDeleter::operator()(Byte* data) const {
#if defined(__linux__)
    if (mapping != nullptr) {
        munmap(mapping, mappedSize);
        return;
    }
#endif
    std::free(data);
}

LargeBuffer AllocateLargeBuffer(std::size_t size) {
#if defined(__linux__)
    if (size >= kLargePage) {
        const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
        // One large page more than needed, so that the buffer can start on a large page.
        const std::size_t mapped = rounded + kLargePage;
        if (rounded < size || mapped < rounded)
            return LargeBuffer();
        void* mapping =
            mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED)
            return LargeBuffer();
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(mapping);
        Byte* data = reinterpret_cast<Byte*>((start + kLargePage - 1) / kLargePage * kLargePage);
        madvise(data, rounded, MADV_HUGEPAGE);
        return LargeBuffer(data, LargeBufferDeleter{mapping, mapped});
    }
#endif
    return LargeBuffer(static_cast<Byte*>(std::malloc(size == 0 ? 1 : size)));
}

} // namespace sevenzip

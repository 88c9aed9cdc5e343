#include "sevenzip/LargeBuffer.h"

#include <cstdlib>
#include <new>

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
    std::free(data);
}

LargeBuffer AllocateLargeBuffer(std::size_t size) {
#if defined(__linux__)
    if (size >= kLargePage) {
        std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
        if (rounded < size)
            return LargeBuffer();
        void* data = std::aligned_alloc(kLargePage, rounded);
        if (data != nullptr)
            madvise(data, rounded, MADV_HUGEPAGE);
        return LargeBuffer(static_cast<Byte*>(data));
    }
#endif
    return LargeBuffer(static_cast<Byte*>(std::malloc(size == 0 ? 1 : size)));
}

} // namespace sevenzip

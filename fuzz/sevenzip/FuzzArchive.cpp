// Opens the input as a 7z archive and extracts every entry, half the time through the two-block
// pipeline, so that the header parser, every decoder and the block cache see hostile bytes.
#include "sevenzip/Archive.h"
#include "sevenzip/BlockPipeline.h"
#include "sevenzip/ByteSource.h"

#include <cstddef>
#include <cstdint>

namespace {

// Keeps hostile size fields from spending the fuzzer's memory budget on one input.
constexpr std::uint64_t kFuzzBlockLimit = 8u << 20;

// Reads every byte the reader hands out, so ASan sees an entry reaching past its block.
unsigned Touch(const Byte* data, std::size_t size) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; i++)
        sum += data[i];
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sevenzip::MemorySource source(data, size);
    sevenzip::Archive archive;
    sevenzip::Limits limits;
    limits.maxBlockSize = kFuzzBlockLimit;
    if (archive.Open(source, limits) != SZ_OK)
        return 0;
    volatile unsigned sink = 0;
    const bool pipelined = (size & 1) != 0;
    sevenzip::BlockPipeline pipeline(archive, true);
    sevenzip::BlockBuffer cache;
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        sink = sink + static_cast<unsigned>(archive.Name(i).size()) + archive.IsDirectory(i) +
               archive.Attributes(i);
        std::size_t offset = 0, length = 0;
        const Byte* bytes = nullptr;
        std::uint32_t block = archive.BlockOf(i);
        if (pipelined && block != sevenzip::kNoBlock) {
            const sevenzip::BlockBuffer* buffer;
            if (pipeline.Acquire(block, buffer) != SZ_OK ||
                archive.Locate(i, *buffer, offset, length) != SZ_OK)
                return 0;
            bytes = buffer->Data();
        } else {
            if (archive.Extract(i, cache, offset, length) != SZ_OK)
                return 0;
            bytes = cache.Data();
        }
        if (length != 0)
            sink = sink + Touch(bytes + offset, length);
    }
    return 0;
}

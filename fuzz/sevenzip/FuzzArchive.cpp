// Opens the input as a 7z archive and reads every entry through the streaming reader: on one
// thread, with the blocks decoded on a second thread, or with the blocks decoded side by side
// (ExtractEntries), so that the header parser, every decoder, the entry and block bookkeeping
// and the parallel engine see hostile bytes. Built with
// FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION, the reader lets header CRCs pass, so mutated
// headers reach the parser; entry data CRCs are still checked.
#include "sevenzip/Archive.h"
#include "sevenzip/ByteSource.h"
#include "sevenzip/EntryReader.h"
#include "sevenzip/ParallelExtraction.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace {

// Keeps hostile size fields from spending the fuzzer's memory budget on one input.
constexpr std::uint64_t kFuzzBufferLimit = 8u << 20;
// Output bytes read per input before giving up: a tiny archive may claim gigabytes of zeros.
constexpr std::uint64_t kFuzzOutputLimit = 64u << 20;

// Reads every byte the reader hands out, so ASan sees a piece reaching past its buffer.
unsigned Touch(const Byte* data, std::size_t size) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; i++)
        sum += data[i];
    return sum;
}

// Reads every entry's bytes on whichever thread the engine gives it, within the output limit.
class TouchingWriter final : public sevenzip::EntryWriter {
public:
    int Write(std::uint32_t entry, sevenzip::EntryReader& reader) override {
        for (;;) {
            const Byte* bytes;
            std::size_t length;
            RINOK(reader.Read(entry, bytes, length));
            if (length == 0)
                return SZ_OK;
            m_sum += Touch(bytes, length);
            if ((m_output += length) > kFuzzOutputLimit)
                return SZ_ERROR_FAIL;
        }
    }
    void Completed(std::uint32_t entry) override { m_sum += entry; }
    void Remove(std::uint32_t entry) override { m_sum += entry; }

private:
    std::atomic<unsigned> m_sum{0};
    std::atomic<std::uint64_t> m_output{0};
};

constexpr unsigned kFuzzThreads = 3;
constexpr std::uint64_t kFuzzMemoryBudget = 64u << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sevenzip::MemorySource source(data, size);
    sevenzip::Archive archive;
    sevenzip::Limits limits;
    limits.maxBufferSize = kFuzzBufferLimit;
    if (archive.Open(source, limits) != SZ_OK)
        return 0;
    if (size % 3 == 2) {
        TouchingWriter writer;
        sevenzip::ExtractionOptions options;
        options.maxThreads = kFuzzThreads;
        options.memoryBudget = kFuzzMemoryBudget;
        sevenzip::ExtractEntries(archive, writer, options);
        return 0;
    }
    volatile unsigned sink = 0;
    std::uint64_t output = 0;
    sevenzip::EntryReader reader(archive, (size & 1) != 0);
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        sink = sink + static_cast<unsigned>(archive.Name(i).size()) + archive.IsDirectory(i) +
               archive.Attributes(i);
        // Every third entry is skipped, for the paths that drop bytes.
        if (i % 3 == 2)
            continue;
        for (;;) {
            const Byte* bytes;
            std::size_t length;
            if (reader.Read(i, bytes, length) != SZ_OK)
                return 0;
            if (length == 0)
                break;
            sink = sink + Touch(bytes, length);
            output += length;
            if (output > kFuzzOutputLimit)
                return 0;
        }
    }
    return 0;
}

#pragma once

#include "sevenzip/ByteSource.h"
#include "sevenzip/ByteStream.h"
#include "sevenzip/Database.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace sevenzip {

// Method ids of the coders this reader decodes (7-Zip's Methods.txt).
enum MethodId : std::uint64_t {
    kMethodCopy = 0x00,
    kMethodDelta = 0x03,
    kMethodX86 = 0x03030103,
    kMethodBcj2 = 0x0303011B,
    kMethodPowerPc = 0x03030205,
    kMethodIa64 = 0x03030401,
    kMethodArm = 0x03030501,
    kMethodArmThumb = 0x03030701,
    kMethodSparc = 0x03030805,
    kMethodArm64 = 0x0A,
    kMethodLzma = 0x030101,
    kMethodLzma2 = 0x21,
    kMethodPpmd = 0x030401,
};

// The filter (BCJ, Delta, ...) whose output is the folder's main output, if there is one: it can
// run apart from the coders below it, which give it a stream of the same size.
const Coder* TopFilter(const Folder& folder);

// One folder's coders connected into a chain of streams, from its packed streams to its main
// output, which gives exactly the folder's unpack size bytes as they are decoded. Every coder
// output is checked to be exactly its stated size.
class FolderReader {
public:
    // Builds the chain. Each large buffer (a dictionary, a PPMd model) is limited to
    // `maxBufferSize` bytes; the other buffers are small and fixed. `source` and `db` must
    // outlive the reader. With `withoutTopFilter`, the chain stops below the TopFilter, if any:
    // the output is then the filter's input, for the caller to filter.
    SRes Open(ByteSource& source, const Database& db, const Folder& folder,
              std::uint64_t maxBufferSize, bool withoutTopFilter = false);

    ByteStream& Output() { return *m_output; }

private:
    SRes OpenOutput(std::uint32_t outIndex, unsigned depth, ByteStream*& stream);
    // A coder input: a packed stream, or the output of the coder bound to it.
    SRes OpenInput(std::uint32_t inIndex, unsigned depth, ByteStream*& stream, std::uint64_t& size);
    ByteStream* Keep(std::unique_ptr<ByteStream> stream);

    ByteSource* m_source{nullptr};
    const Database* m_db{nullptr};
    const Folder* m_folder{nullptr};
    std::uint64_t m_maxBufferSize{0};
    std::vector<std::unique_ptr<ByteStream>> m_streams; // every stream of the chain
    ByteStream* m_output{nullptr};
};

} // namespace sevenzip

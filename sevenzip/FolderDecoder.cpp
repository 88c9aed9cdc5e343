// A folder is a small graph: each coder has one output and one or more inputs, every input is
// either a packed stream or bound to another coder's output. The chain is built from the coder
// that gives the folder's main output, following its inputs recursively. Since each output feeds
// at most one input, the coders reachable that way form a tree and are visited once each.
#include "sevenzip/FolderDecoder.h"

#include "sevenzip/Bcj2Decoder.h"
#include "sevenzip/FilterStream.h"
#include "sevenzip/LzmaDecoders.h"
#include "sevenzip/Ppmd7Decoder.h"

#include <new>

namespace sevenzip {
namespace {

constexpr unsigned kBcj2Inputs = 4;

const Coder* FindCoder(const Folder& folder, std::uint32_t outIndex) {
    for (const Coder& c : folder.coders)
        if (outIndex >= c.firstOutStream && outIndex < c.firstOutStream + c.numOutStreams)
            return &c;
    return nullptr;
}

// The coder output bound to folder input `inIndex`, or -1 when it is a packed stream.
long BoundOutput(const Folder& folder, std::uint32_t inIndex) {
    for (const BindPair& pair : folder.bindPairs)
        if (pair.inIndex == inIndex)
            return static_cast<long>(pair.outIndex);
    return -1;
}

} // namespace

const Coder* TopFilter(const Folder& folder) {
    const Coder* coder = FindCoder(folder, folder.mainOutStream);
    if (coder == nullptr || coder->numInStreams != 1 || !IsFilterMethod(coder->methodId))
        return nullptr;
    return coder;
}

SRes FolderReader::Open(ByteSource& source, const Database& db, const Folder& folder,
                        std::uint64_t maxBufferSize, bool withoutTopFilter) {
    m_source = &source;
    m_db = &db;
    m_folder = &folder;
    m_maxBufferSize = maxBufferSize;
    m_streams.clear();
    m_output = nullptr;
    try {
        ByteStream* output;
        const Coder* filter = withoutTopFilter ? TopFilter(folder) : nullptr;
        if (filter != nullptr) {
            std::uint64_t size;
            RINOK(OpenInput(filter->firstInStream, 0, output, size));
            if (size != folder.UnpackSize())
                return SZ_ERROR_DATA;
        } else {
            RINOK(OpenOutput(folder.mainOutStream, 0, output));
        }
        m_output = output;
        return SZ_OK;
    } catch (const std::bad_alloc&) {
        return SZ_ERROR_MEM;
    }
}

ByteStream* FolderReader::Keep(std::unique_ptr<ByteStream> stream) {
    m_streams.push_back(std::move(stream));
    return m_streams.back().get();
}

SRes FolderReader::OpenInput(std::uint32_t inIndex, unsigned depth, ByteStream*& stream,
                             std::uint64_t& size) {
    const long bound = BoundOutput(*m_folder, inIndex);
    if (bound >= 0) {
        size = m_folder->unpackSizes[static_cast<std::size_t>(bound)];
        return OpenOutput(static_cast<std::uint32_t>(bound), depth + 1, stream);
    }
    const std::vector<std::uint32_t>& packed = m_folder->packedInStreams;
    for (std::size_t k = 0; k < packed.size(); k++) {
        if (packed[k] != inIndex)
            continue;
        const std::size_t pack = m_folder->firstPackStream + k;
        if (pack >= m_db->packSizes.size())
            return SZ_ERROR_ARCHIVE;
        size = m_db->packSizes[pack];
        stream = Keep(std::make_unique<PackedStream>(*m_source, m_db->packOffsets[pack], size));
        return SZ_OK;
    }
    return SZ_ERROR_ARCHIVE;
}

SRes FolderReader::OpenOutput(std::uint32_t outIndex, unsigned depth, ByteStream*& stream) {
    if (depth > m_folder->coders.size())
        return SZ_ERROR_ARCHIVE;
    const Coder* coder = FindCoder(*m_folder, outIndex);
    if (coder == nullptr)
        return SZ_ERROR_ARCHIVE;
    const std::uint64_t size = m_folder->unpackSizes[outIndex];
    const std::vector<Byte>& props = coder->properties;

    if (coder->methodId == kMethodBcj2) {
        if (coder->numInStreams != kBcj2Inputs)
            return SZ_ERROR_UNSUPPORTED;
        ByteStream* inputs[kBcj2Inputs];
        for (unsigned k = 0; k < kBcj2Inputs; k++) {
            std::uint64_t inputSize;
            RINOK(OpenInput(coder->firstInStream + k, depth, inputs[k], inputSize));
        }
        stream = Keep(MakeBcj2Decoder({inputs[0], inputs[1], inputs[2], inputs[3]}, size));
        return SZ_OK;
    }
    if (coder->numInStreams != 1)
        return SZ_ERROR_UNSUPPORTED;
    const std::uint64_t id = coder->methodId;
    if (id != kMethodCopy && id != kMethodLzma && id != kMethodLzma2 && id != kMethodPpmd &&
        !IsFilterMethod(id))
        return SZ_ERROR_UNSUPPORTED;

    ByteStream* input;
    std::uint64_t inputSize;
    RINOK(OpenInput(coder->firstInStream, depth, input, inputSize));
    std::unique_ptr<ByteStream> decoder;
    switch (id) {
    case kMethodCopy:
        // The output is the input itself, which must be just as long.
        if (inputSize != size)
            return SZ_ERROR_DATA;
        stream = input;
        return SZ_OK;
    case kMethodLzma:
        RINOK(MakeLzmaDecoder(props, *input, size, m_maxBufferSize, decoder));
        break;
    case kMethodLzma2:
        RINOK(MakeLzma2Decoder(props, *input, size, m_maxBufferSize, decoder));
        break;
    case kMethodPpmd:
        RINOK(MakePpmd7Decoder(props, *input, size, m_maxBufferSize, decoder));
        break;
    default:
        if (inputSize != size)
            return SZ_ERROR_DATA;
        RINOK(MakeFilterDecoder(id, props, *input, size, decoder));
        break;
    }
    stream = Keep(std::move(decoder));
    return SZ_OK;
}

} // namespace sevenzip

// A folder is a small graph: each coder has one output and one or more inputs, every input is
// either a packed stream or bound to another coder's output. Decoding starts at the coder that
// gives the folder's main output and pulls its inputs recursively. Since each output feeds at
// most one input, the coders reachable that way form a tree and are visited once each.
#include "sevenzip/FolderDecoder.h"

#include "sevenzip/Bcj2Decoder.h"
#include "sevenzip/BranchFilters.h"
#include "sevenzip/InputStream.h"
#include "sevenzip/LzmaDecoders.h"
#include "sevenzip/Ppmd7Decoder.h"

#include <memory>
#include <new>

namespace sevenzip {
namespace {

constexpr unsigned kBcj2Inputs = 4;
constexpr std::size_t kDeltaPropertySize = 1;
constexpr std::size_t kBranchStartPropertySize = 4;

struct Buffer {
    std::unique_ptr<Byte[]> data;
    std::size_t size{0};
};

class Decoder {
public:
    Decoder(ByteSource& source, const Database& db, const Folder& folder, std::uint64_t maxBuffer)
        : m_source(source), m_db(db), m_folder(folder), m_maxBuffer(maxBuffer) {}

    SRes DecodeOutput(std::uint32_t outIndex, Byte* out, std::size_t size, unsigned depth);

private:
    SRes FindCoder(std::uint32_t outIndex, const Coder*& coder) const;
    // The coder output bound to folder input `inIndex`, or -1 when it is a packed stream.
    long BoundOutput(std::uint32_t inIndex) const;
    SRes PackedStream(std::uint32_t inIndex, std::uint64_t& offset, std::uint64_t& size) const;
    SRes InputSize(std::uint32_t inIndex, std::uint64_t& size) const;
    // Fills `out` with the whole of input `inIndex`, which must be exactly `size` bytes long.
    SRes ReadInput(std::uint32_t inIndex, Byte* out, std::size_t size, unsigned depth);
    SRes ReadInputToBuffer(std::uint32_t inIndex, Buffer& buffer, unsigned depth);
    SRes DecodeStreamCoder(const Coder& coder, Byte* out, std::size_t size, unsigned depth);
    SRes DecodeBcj2Coder(const Coder& coder, Byte* out, std::size_t size, unsigned depth);

    ByteSource& m_source;
    const Database& m_db;
    const Folder& m_folder;
    std::uint64_t m_maxBuffer;
};

SRes Decoder::FindCoder(std::uint32_t outIndex, const Coder*& coder) const {
    for (const Coder& c : m_folder.coders) {
        if (outIndex >= c.firstOutStream && outIndex < c.firstOutStream + c.numOutStreams) {
            coder = &c;
            return SZ_OK;
        }
    }
    return SZ_ERROR_ARCHIVE;
}

long Decoder::BoundOutput(std::uint32_t inIndex) const {
    for (const BindPair& pair : m_folder.bindPairs)
        if (pair.inIndex == inIndex)
            return static_cast<long>(pair.outIndex);
    return -1;
}

SRes Decoder::PackedStream(std::uint32_t inIndex, std::uint64_t& offset,
                           std::uint64_t& size) const {
    for (std::size_t k = 0; k < m_folder.packedInStreams.size(); k++) {
        if (m_folder.packedInStreams[k] == inIndex) {
            std::size_t pack = m_folder.firstPackStream + k;
            if (pack >= m_db.packSizes.size())
                return SZ_ERROR_ARCHIVE;
            offset = m_db.packOffsets[pack];
            size = m_db.packSizes[pack];
            return SZ_OK;
        }
    }
    return SZ_ERROR_ARCHIVE;
}

SRes Decoder::InputSize(std::uint32_t inIndex, std::uint64_t& size) const {
    long bound = BoundOutput(inIndex);
    if (bound >= 0) {
        size = m_folder.unpackSizes[static_cast<std::size_t>(bound)];
        return SZ_OK;
    }
    std::uint64_t offset;
    return PackedStream(inIndex, offset, size);
}

SRes Decoder::ReadInput(std::uint32_t inIndex, Byte* out, std::size_t size, unsigned depth) {
    std::uint64_t inputSize;
    RINOK(InputSize(inIndex, inputSize));
    if (inputSize != size)
        return SZ_ERROR_DATA;
    long bound = BoundOutput(inIndex);
    if (bound >= 0)
        return DecodeOutput(static_cast<std::uint32_t>(bound), out, size, depth + 1);
    std::uint64_t offset;
    RINOK(PackedStream(inIndex, offset, inputSize));
    return m_source.ReadAt(offset, out, size);
}

SRes Decoder::ReadInputToBuffer(std::uint32_t inIndex, Buffer& buffer, unsigned depth) {
    std::uint64_t size;
    RINOK(InputSize(inIndex, size));
    if (size > m_maxBuffer || size > SIZE_MAX)
        return SZ_ERROR_MEM;
    buffer.size = static_cast<std::size_t>(size);
    buffer.data.reset(new (std::nothrow) Byte[buffer.size == 0 ? 1 : buffer.size]);
    if (!buffer.data)
        return SZ_ERROR_MEM;
    return ReadInput(inIndex, buffer.data.get(), buffer.size, depth);
}

SRes Decoder::DecodeStreamCoder(const Coder& coder, Byte* out, std::size_t size, unsigned depth) {
    const std::uint32_t inIndex = coder.firstInStream;
    Buffer upstream;
    std::unique_ptr<InputStream> in;
    long bound = BoundOutput(inIndex);
    if (bound >= 0) {
        RINOK(ReadInputToBuffer(inIndex, upstream, depth));
        in = std::make_unique<InputStream>(upstream.data.get(), upstream.size);
    } else {
        std::uint64_t offset, packSize;
        RINOK(PackedStream(inIndex, offset, packSize));
        in = std::make_unique<InputStream>(m_source, offset, packSize);
    }
    if (coder.methodId == kMethodLzma)
        return DecodeLzma(coder.properties, *in, out, size);
    if (coder.methodId == kMethodPpmd)
        return DecodePpmd7(coder.properties, *in, out, size, m_maxBuffer);
    return DecodeLzma2(coder.properties, *in, out, size);
}

SRes Decoder::DecodeBcj2Coder(const Coder& coder, Byte* out, std::size_t size, unsigned depth) {
    if (coder.numInStreams != kBcj2Inputs)
        return SZ_ERROR_UNSUPPORTED;
    Buffer inputs[kBcj2Inputs];
    for (unsigned k = 0; k < kBcj2Inputs; k++)
        RINOK(ReadInputToBuffer(coder.firstInStream + k, inputs[k], depth));
    Bcj2Streams streams{inputs[0].data.get(), inputs[0].size, inputs[1].data.get(), inputs[1].size,
                        inputs[2].data.get(), inputs[2].size, inputs[3].data.get(), inputs[3].size};
    return DecodeBcj2(streams, out, size);
}

SRes Decoder::DecodeOutput(std::uint32_t outIndex, Byte* out, std::size_t size, unsigned depth) {
    if (depth > m_folder.coders.size())
        return SZ_ERROR_ARCHIVE;
    const Coder* coder;
    RINOK(FindCoder(outIndex, coder));
    if (m_folder.unpackSizes[outIndex] != size)
        return SZ_ERROR_DATA;
    const std::vector<Byte>& props = coder->properties;
    if (coder->methodId == kMethodBcj2)
        return DecodeBcj2Coder(*coder, out, size, depth);
    if (coder->numInStreams != 1)
        return SZ_ERROR_UNSUPPORTED;

    switch (coder->methodId) {
    case kMethodLzma:
    case kMethodLzma2:
    case kMethodPpmd:
        return DecodeStreamCoder(*coder, out, size, depth);
    case kMethodCopy:
        return ReadInput(coder->firstInStream, out, size, depth);
    case kMethodDelta:
        if (props.size() != kDeltaPropertySize)
            return SZ_ERROR_UNSUPPORTED;
        RINOK(ReadInput(coder->firstInStream, out, size, depth));
        DecodeDelta(out, size, props[0] + 1u);
        return SZ_OK;
    case kMethodX86:
    case kMethodPowerPc:
    case kMethodIa64:
    case kMethodArm:
    case kMethodArmThumb:
    case kMethodSparc:
    case kMethodArm64: {
        // An optional property gives the position of the stream's first byte.
        std::uint32_t start = 0;
        if (props.size() == kBranchStartPropertySize)
            start = static_cast<std::uint32_t>(props[0]) |
                    static_cast<std::uint32_t>(props[1]) << 8 |
                    static_cast<std::uint32_t>(props[2]) << 16 |
                    static_cast<std::uint32_t>(props[3]) << 24;
        else if (!props.empty())
            return SZ_ERROR_UNSUPPORTED;
        RINOK(ReadInput(coder->firstInStream, out, size, depth));
        switch (coder->methodId) {
        case kMethodX86:
            DecodeX86(out, size, start);
            break;
        case kMethodPowerPc:
            DecodePowerPc(out, size, start);
            break;
        case kMethodIa64:
            DecodeIa64(out, size, start);
            break;
        case kMethodArm:
            DecodeArm(out, size, start);
            break;
        case kMethodArmThumb:
            DecodeArmThumb(out, size, start);
            break;
        case kMethodSparc:
            DecodeSparc(out, size, start);
            break;
        default:
            DecodeArm64(out, size, start);
            break;
        }
        return SZ_OK;
    }
    default:
        return SZ_ERROR_UNSUPPORTED;
    }
}

} // namespace

SRes DecodeFolder(ByteSource& source, const Database& db, const Folder& folder, Byte* out,
                  std::size_t size, std::uint64_t maxBufferSize) {
    try {
        Decoder decoder(source, db, folder, maxBufferSize);
        return decoder.DecodeOutput(folder.mainOutStream, out, size, 0);
    } catch (const std::bad_alloc&) {
        return SZ_ERROR_MEM;
    }
}

} // namespace sevenzip

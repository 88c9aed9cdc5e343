#include "sevenzip/FilterStream.h"

#include "sevenzip/BranchFilters.h"
#include "sevenzip/FolderDecoder.h"

#include <algorithm>
#include <cstring>

namespace sevenzip {
namespace {

constexpr std::size_t kDeltaPropertySize = 1;
constexpr std::size_t kBranchStartPropertySize = 4;
// Far more than the longest instruction a converter leaves unconverted at a piece's end (an
// IA64 bundle of 16 bytes), so every piece but the last gives nearly all of it.
constexpr std::size_t kBufferSize = 128 * 1024;

class FilterDecoder final : public ByteStream {
public:
    FilterDecoder(std::uint64_t methodId, ByteStream& input, std::uint64_t size,
                  std::uint32_t start, unsigned deltaDistance)
        : m_method(methodId), m_input(input), m_inputLeft(size), m_position(start),
          m_deltaDistance(deltaDistance) {}

private:
    SRes NextPiece() override {
        // What the last piece left unconverted moves to the front.
        const std::size_t carry = m_filled - m_given;
        std::memmove(m_buffer, m_buffer + m_given, carry);
        m_filled = carry;
        m_given = 0;
        while (m_filled < sizeof m_buffer && m_inputLeft != 0) {
            const Byte* data;
            std::size_t available;
            RINOK(m_input.Peek(data, available));
            if (available == 0)
                return SZ_ERROR_DATA;
            const std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>({available, sizeof m_buffer - m_filled, m_inputLeft}));
            std::memcpy(m_buffer + m_filled, data, n);
            m_input.Consume(n);
            m_filled += n;
            m_inputLeft -= n;
        }
        std::size_t ready = Convert(m_buffer, m_filled);
        if (m_inputLeft == 0)
            ready = m_filled; // the stream's last bytes stay as they are
        m_position += static_cast<std::uint32_t>(ready);
        m_given = ready;
        SetPiece(m_buffer, ready);
        return SZ_OK;
    }

    std::size_t Convert(Byte* data, std::size_t size) {
        switch (m_method) {
        case kMethodX86:
            return DecodeX86(data, size, m_position, m_x86);
        case kMethodPowerPc:
            return DecodePowerPc(data, size, m_position);
        case kMethodIa64:
            return DecodeIa64(data, size, m_position);
        case kMethodArm:
            return DecodeArm(data, size, m_position);
        case kMethodArmThumb:
            return DecodeArmThumb(data, size, m_position);
        case kMethodSparc:
            return DecodeSparc(data, size, m_position);
        case kMethodArm64:
            return DecodeArm64(data, size, m_position);
        default:
            DecodeDelta(data, size, m_deltaDistance, m_delta);
            return size;
        }
    }

    const std::uint64_t m_method;
    ByteStream& m_input;
    std::uint64_t m_inputLeft; // input bytes not yet copied in
    std::uint32_t m_position;  // stream position of m_buffer[0], plus the coder's start
    const unsigned m_deltaDistance;
    X86State m_x86;
    DeltaState m_delta;
    std::size_t m_filled{0}; // bytes in m_buffer
    std::size_t m_given{0};  // leading bytes of m_buffer handed out as the current piece
    Byte m_buffer[kBufferSize];
};

} // namespace

bool IsFilterMethod(std::uint64_t methodId) {
    switch (methodId) {
    case kMethodDelta:
    case kMethodX86:
    case kMethodPowerPc:
    case kMethodIa64:
    case kMethodArm:
    case kMethodArmThumb:
    case kMethodSparc:
    case kMethodArm64:
        return true;
    default:
        return false;
    }
}

SRes MakeFilterDecoder(std::uint64_t methodId, const std::vector<Byte>& properties,
                       ByteStream& input, std::uint64_t size,
                       std::unique_ptr<ByteStream>& decoder) {
    std::uint32_t start = 0;
    unsigned deltaDistance = 0;
    if (methodId == kMethodDelta) {
        if (properties.size() != kDeltaPropertySize)
            return SZ_ERROR_UNSUPPORTED;
        deltaDistance = properties[0] + 1u;
    } else if (properties.size() == kBranchStartPropertySize) {
        // An optional property gives the position of the stream's first byte.
        start = static_cast<std::uint32_t>(properties[0]) |
                static_cast<std::uint32_t>(properties[1]) << 8 |
                static_cast<std::uint32_t>(properties[2]) << 16 |
                static_cast<std::uint32_t>(properties[3]) << 24;
    } else if (!properties.empty()) {
        return SZ_ERROR_UNSUPPORTED;
    }
    decoder = std::make_unique<FilterDecoder>(methodId, input, size, start, deltaDistance);
    return SZ_OK;
}

} // namespace sevenzip

#include "sevenzip/Bcj2Decoder.h"

#include <algorithm>
#include <cstdint>

namespace sevenzip {
namespace {

constexpr unsigned kNumBitModelTotalBits = 11;
constexpr std::uint32_t kBitModelTotal = 1u << kNumBitModelTotalBits;
constexpr unsigned kNumMoveBits = 5;
constexpr std::uint32_t kTopValue = 1u << 24;
constexpr unsigned kRangeCoderInitBytes = 5;
constexpr unsigned kOperandSize = 4;
constexpr std::size_t kBufferSize = 64 * 1024;

class RangeDecoder {
public:
    explicit RangeDecoder(ByteStream& in) : m_in(in) {}

    SRes Init() {
        for (unsigned i = 0; i < kRangeCoderInitBytes; i++)
            RINOK(Next());
        return SZ_OK;
    }

    SRes DecodeBit(std::uint16_t& prob, bool& bit) {
        std::uint32_t bound = (m_range >> kNumBitModelTotalBits) * prob;
        if (m_code < bound) {
            m_range = bound;
            prob = static_cast<std::uint16_t>(prob + ((kBitModelTotal - prob) >> kNumMoveBits));
            bit = false;
        } else {
            m_range -= bound;
            m_code -= bound;
            prob = static_cast<std::uint16_t>(prob - (prob >> kNumMoveBits));
            bit = true;
        }
        if (m_range < kTopValue) {
            m_range <<= 8;
            RINOK(Next());
        }
        return SZ_OK;
    }

private:
    SRes Next() {
        Byte b;
        RINOK(m_in.ReadByte(b));
        m_code = (m_code << 8) | b;
        return SZ_OK;
    }

    ByteStream& m_in;
    std::uint32_t m_range{0xFFFFFFFF};
    std::uint32_t m_code{0};
};

// E8 (CALL), E9 (JMP) and 0F 8x (Jcc) carry a rel32 operand.
bool IsJump(Byte previous, Byte b) {
    return (b & 0xFE) == 0xE8 || (previous == 0x0F && (b & 0xF0) == 0x80);
}

class Bcj2Decoder final : public ByteStream {
public:
    Bcj2Decoder(const Bcj2Inputs& inputs, std::uint64_t size)
        : m_in(inputs), m_rc(*inputs.rc), m_left(size) {
        // One probability per preceding byte for E8, one for E9, one for Jcc.
        for (std::uint16_t& p : m_probs)
            p = kBitModelTotal >> 1;
    }

private:
    SRes NextPiece() override {
        if (!m_started) {
            RINOK(m_rc.Init());
            m_started = true;
        }
        const std::size_t room =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBufferSize, m_left));
        std::size_t n = 0;
        while (n < room) {
            if (m_operandUsed < m_operandSize) {
                m_buffer[n++] = m_operand[m_operandUsed++];
                continue;
            }
            RINOK(CopyPlain(room, n));
        }
        m_left -= n;
        m_produced += n;
        SetPiece(m_buffer, n);
        return SZ_OK;
    }

    // Copies plain bytes of the main stream up to and including the next candidate opcode, and
    // sets up its operand when the operand was moved out.
    SRes CopyPlain(std::size_t room, std::size_t& n) {
        const Byte* data;
        std::size_t available;
        RINOK(m_in.main->Peek(data, available));
        if (available == 0)
            return SZ_ERROR_DATA; // the main stream ended before the output did
        const std::size_t limit = std::min(available, room - n);
        std::size_t k = 0;
        bool found = false;
        Byte b = 0;
        while (k < limit) {
            b = data[k++];
            m_buffer[n++] = b;
            if (IsJump(m_previous, b)) {
                found = true;
                break;
            }
            m_previous = b;
        }
        m_in.main->Consume(k);
        // An opcode that is the stream's very last byte has no operand and no bit.
        if (!found || m_left == n)
            return SZ_OK;

        std::uint16_t& prob = b == 0xE8   ? m_probs[m_previous]
                              : b == 0xE9 ? m_probs[256]
                                          : m_probs[257];
        bool converted;
        RINOK(m_rc.DecodeBit(prob, converted));
        if (!converted) {
            m_previous = b;
            return SZ_OK;
        }
        Byte target[kOperandSize];
        RINOK((b == 0xE8 ? m_in.call : m_in.jump)->Read(target, kOperandSize));
        const std::uint32_t absolute = static_cast<std::uint32_t>(target[0]) << 24 |
                                       static_cast<std::uint32_t>(target[1]) << 16 |
                                       static_cast<std::uint32_t>(target[2]) << 8 | target[3];
        const std::uint32_t relative =
            absolute - static_cast<std::uint32_t>(m_produced + n + kOperandSize);
        for (unsigned i = 0; i < kOperandSize; i++)
            m_operand[i] = static_cast<Byte>(relative >> (8 * i));
        // An operand cut by the end of the output keeps only what fits.
        m_operandSize = static_cast<unsigned>(std::min<std::uint64_t>(kOperandSize, m_left - n));
        m_operandUsed = 0;
        m_previous = m_operand[kOperandSize - 1];
        return SZ_OK;
    }

    Bcj2Inputs m_in;
    RangeDecoder m_rc;
    std::uint64_t m_left;        // output bytes not yet produced, counted at each piece's start
    std::uint64_t m_produced{0}; // output bytes produced before the current piece
    bool m_started{false};
    std::uint16_t m_probs[256 + 2];
    Byte m_previous{0};             // the byte before the one being looked at
    Byte m_operand[kOperandSize]{}; // a converted operand, little-endian
    unsigned m_operandSize{0};      // bytes of m_operand to give out
    unsigned m_operandUsed{0};      // bytes of m_operand given out so far
    Byte m_buffer[kBufferSize];
};

} // namespace

std::unique_ptr<ByteStream> MakeBcj2Decoder(const Bcj2Inputs& inputs, std::uint64_t size) {
    return std::make_unique<Bcj2Decoder>(inputs, size);
}

} // namespace sevenzip

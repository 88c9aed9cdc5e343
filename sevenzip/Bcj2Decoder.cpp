#include "sevenzip/Bcj2Decoder.h"

#include <cstdint>

namespace sevenzip {
namespace {

constexpr unsigned kNumBitModelTotalBits = 11;
constexpr std::uint32_t kBitModelTotal = 1u << kNumBitModelTotalBits;
constexpr unsigned kNumMoveBits = 5;
constexpr std::uint32_t kTopValue = 1u << 24;
constexpr unsigned kRangeCoderInitBytes = 5;

class RangeDecoder {
public:
    RangeDecoder(const Byte* data, std::size_t size) : m_pos(data), m_end(data + size) {}

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
        if (m_pos == m_end)
            return SZ_ERROR_DATA;
        m_code = (m_code << 8) | *m_pos++;
        return SZ_OK;
    }

    const Byte* m_pos;
    const Byte* m_end;
    std::uint32_t m_range{0xFFFFFFFF};
    std::uint32_t m_code{0};
};

// E8 (CALL), E9 (JMP) and 0F 8x (Jcc) carry a rel32 operand.
bool IsJump(Byte previous, Byte b) {
    return (b & 0xFE) == 0xE8 || (previous == 0x0F && (b & 0xF0) == 0x80);
}

std::uint32_t ReadBe32(const Byte* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

} // namespace

SRes DecodeBcj2(const Bcj2Streams& in, Byte* out, std::size_t outSize) {
    // One probability per preceding byte for E8, one for E9, one for Jcc.
    std::uint16_t probs[256 + 2];
    for (std::uint16_t& p : probs)
        p = kBitModelTotal >> 1;
    RangeDecoder rc(in.rc, in.rcSize);
    RINOK(rc.Init());

    std::size_t mainPos = 0, callPos = 0, jumpPos = 0, outPos = 0;
    Byte previous = 0;
    while (outPos < outSize) {
        // Copy plain bytes up to and including the next candidate opcode.
        Byte b = 0;
        bool found = false;
        while (outPos < outSize && mainPos < in.mainSize) {
            b = in.main[mainPos++];
            out[outPos++] = b;
            if (IsJump(previous, b)) {
                found = true;
                break;
            }
            previous = b;
        }
        if (!found || outPos == outSize)
            break;

        std::uint16_t& prob = b == 0xE8 ? probs[previous] : b == 0xE9 ? probs[256] : probs[257];
        bool converted;
        RINOK(rc.DecodeBit(prob, converted));
        if (!converted) {
            previous = b;
            continue;
        }
        std::uint32_t target;
        if (b == 0xE8) {
            if (in.callSize - callPos < 4)
                return SZ_ERROR_DATA;
            target = ReadBe32(in.call + callPos);
            callPos += 4;
        } else {
            if (in.jumpSize - jumpPos < 4)
                return SZ_ERROR_DATA;
            target = ReadBe32(in.jump + jumpPos);
            jumpPos += 4;
        }
        std::uint32_t relative = target - static_cast<std::uint32_t>(outPos + 4);
        for (unsigned k = 0; k < 4 && outPos < outSize; k++)
            out[outPos++] = static_cast<Byte>(relative >> (8 * k));
        previous = static_cast<Byte>(relative >> 24);
    }
    return outPos == outSize ? SZ_OK : SZ_ERROR_DATA;
}

} // namespace sevenzip

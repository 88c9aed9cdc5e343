// Branch converters: encoders replace the relative target of call and jump instructions with an
// absolute one (relative + position), which repeats across a binary and compresses better.
// Decoding subtracts the position again.
#include "sevenzip/BranchFilters.h"

#include <algorithm>
#include <cstring>

namespace sevenzip {
namespace {

std::uint32_t ReadLe32(const Byte* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void WriteLe32(Byte* p, std::uint32_t v) {
    p[0] = static_cast<Byte>(v);
    p[1] = static_cast<Byte>(v >> 8);
    p[2] = static_cast<Byte>(v >> 16);
    p[3] = static_cast<Byte>(v >> 24);
}

std::uint32_t ReadBe32(const Byte* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

void WriteBe32(Byte* p, std::uint32_t v) {
    p[0] = static_cast<Byte>(v >> 24);
    p[1] = static_cast<Byte>(v >> 16);
    p[2] = static_cast<Byte>(v >> 8);
    p[3] = static_cast<Byte>(v);
}

// An x86 rel32 operand is converted only when its top byte is 0x00 or 0xFF, i.e. a near target.
bool IsNearTopByte(Byte b) {
    return b == 0x00 || b == 0xFF;
}

} // namespace

std::size_t DecodeX86(Byte* data, std::size_t size, std::uint32_t position, X86State& state) {
    // The encoder skips an E8/E9 that closely follows another one whose operand bytes looked
    // like a near target: prevMask records which of the previous three bytes were such
    // opcodes, and the tables say whether the current one is still converted.
    static const bool kMaskAllowed[8] = {true, true, true, false, true, false, false, false};
    static const unsigned kMaskToBitNumber[8] = {0, 1, 2, 2, 3, 3, 3, 3};
    if (size < 5)
        return 0;
    const std::uint32_t ip = position + 5;
    std::uint32_t prevMask = state.prevMask;
    // The mask is kept relative to the byte before data[0].
    std::size_t prevPos = static_cast<std::size_t>(0) - 1;
    std::size_t pos = 0;
    const std::size_t limit = size - 4;
    for (;;) {
        while (pos < limit && (data[pos] & 0xFE) != 0xE8)
            pos++;
        if (pos >= limit)
            break;
        Byte* p = data + pos;
        std::size_t distance = pos - prevPos;
        if (distance > 3) {
            prevMask = 0;
        } else {
            prevMask = (prevMask << (distance - 1)) & 7;
            if (prevMask != 0) {
                Byte b = p[4 - kMaskToBitNumber[prevMask]];
                if (!kMaskAllowed[prevMask] || IsNearTopByte(b)) {
                    prevPos = pos;
                    prevMask = ((prevMask << 1) & 7) | 1;
                    pos++;
                    continue;
                }
            }
        }
        prevPos = pos;
        if (!IsNearTopByte(p[4])) {
            prevMask = ((prevMask << 1) & 7) | 1;
            pos++;
            continue;
        }
        std::uint32_t src = ReadLe32(p + 1);
        std::uint32_t dest;
        for (;;) {
            dest = src - (ip + static_cast<std::uint32_t>(pos));
            if (prevMask == 0)
                break;
            unsigned index = kMaskToBitNumber[prevMask] * 8;
            Byte b = static_cast<Byte>(dest >> (24 - index));
            if (!IsNearTopByte(b))
                break;
            src = dest ^ ((1u << (32 - index)) - 1);
        }
        dest &= 0x01FFFFFF;
        if ((dest & 0x01000000) != 0)
            dest |= 0xFF000000;
        WriteLe32(p + 1, dest);
        pos += 5;
    }
    // Shift the mask so that the next piece, which starts at pos, sees it as this loop would.
    const std::size_t distance = pos - prevPos;
    state.prevMask = distance > 3 ? 0 : (prevMask << (distance - 1)) & 7;
    return pos;
}

std::size_t DecodeArm(Byte* data, std::size_t size, std::uint32_t position) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        if (data[i + 3] != 0xEB)
            continue;
        std::uint32_t src = (ReadLe32(data + i) & 0x00FFFFFF) << 2;
        std::uint32_t dest = (src - (position + static_cast<std::uint32_t>(i) + 8)) >> 2;
        data[i] = static_cast<Byte>(dest);
        data[i + 1] = static_cast<Byte>(dest >> 8);
        data[i + 2] = static_cast<Byte>(dest >> 16);
    }
    return i;
}

std::size_t DecodeArmThumb(Byte* data, std::size_t size, std::uint32_t position) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 2) {
        if ((data[i + 1] & 0xF8) != 0xF0 || (data[i + 3] & 0xF8) != 0xF8)
            continue;
        std::uint32_t src = ((static_cast<std::uint32_t>(data[i + 1]) & 7) << 19) |
                            (static_cast<std::uint32_t>(data[i]) << 11) |
                            ((static_cast<std::uint32_t>(data[i + 3]) & 7) << 8) | data[i + 2];
        src <<= 1;
        std::uint32_t dest = (src - (position + static_cast<std::uint32_t>(i) + 4)) >> 1;
        data[i + 1] = static_cast<Byte>(0xF0 | ((dest >> 19) & 7));
        data[i] = static_cast<Byte>(dest >> 11);
        data[i + 3] = static_cast<Byte>(0xF8 | ((dest >> 8) & 7));
        data[i + 2] = static_cast<Byte>(dest);
        i += 2;
    }
    return i;
}

std::size_t DecodeArm64(Byte* data, std::size_t size, std::uint32_t position) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        std::uint32_t pc = position + static_cast<std::uint32_t>(i);
        std::uint32_t instr = ReadLe32(data + i);
        if ((instr >> 26) == 0x25) { // BL
            instr = 0x94000000 | ((instr - (pc >> 2)) & 0x03FFFFFF);
            WriteLe32(data + i, instr);
        } else if ((instr & 0x9F000000) == 0x90000000) { // ADRP
            std::uint32_t src = ((instr >> 29) & 3) | ((instr >> 3) & 0x001FFFFC);
            // Only targets within +-512 MB were converted.
            if (((src + 0x00020000) & 0x001C0000) != 0)
                continue;
            std::uint32_t dest = src - (pc >> 12);
            instr &= 0x9000001F;
            instr |= (dest & 3) << 29;
            instr |= (dest & 0x0003FFFC) << 3;
            instr |= (0u - (dest & 0x00020000)) & 0x00E00000;
            WriteLe32(data + i, instr);
        }
    }
    return i;
}

std::size_t DecodePowerPc(Byte* data, std::size_t size, std::uint32_t position) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        if ((data[i] >> 2) != 0x12 || (data[i + 3] & 3) != 1)
            continue;
        std::uint32_t src = ReadBe32(data + i) & 0x03FFFFFC;
        std::uint32_t dest = src - (position + static_cast<std::uint32_t>(i));
        WriteBe32(data + i, 0x48000000 | (dest & 0x03FFFFFC) | 1);
    }
    return i;
}

std::size_t DecodeSparc(Byte* data, std::size_t size, std::uint32_t position) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        if (!((data[i] == 0x40 && (data[i + 1] & 0xC0) == 0x00) ||
              (data[i] == 0x7F && (data[i + 1] & 0xC0) == 0xC0)))
            continue;
        std::uint32_t src = ReadBe32(data + i) << 2;
        std::uint32_t dest = (src - (position + static_cast<std::uint32_t>(i))) >> 2;
        dest = (((0u - ((dest >> 22) & 1)) << 22) & 0x3FFFFFFF) | (dest & 0x3FFFFF) | 0x40000000;
        WriteBe32(data + i, dest);
    }
    return i;
}

std::size_t DecodeIa64(Byte* data, std::size_t size, std::uint32_t position) {
    // Which of a bundle's three slots may hold a branch, by bundle template.
    static const Byte kBranchSlots[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                          4, 4, 6, 6, 0, 0, 7, 7, 4, 4, 0, 0, 4, 4, 0, 0};
    std::size_t i = 0;
    for (; i + 16 <= size; i += 16) {
        unsigned mask = kBranchSlots[data[i] & 0x1F];
        unsigned bitPos = 5;
        for (unsigned slot = 0; slot < 3; slot++, bitPos += 41) {
            if (((mask >> slot) & 1) == 0)
                continue;
            unsigned bytePos = bitPos >> 3;
            unsigned bitRes = bitPos & 7;
            std::uint64_t instruction = 0;
            for (unsigned j = 0; j < 6; j++)
                instruction |= static_cast<std::uint64_t>(data[i + j + bytePos]) << (8 * j);
            std::uint64_t norm = instruction >> bitRes;
            if (((norm >> 37) & 0xF) != 0x5 || ((norm >> 9) & 0x7) != 0)
                continue;
            std::uint32_t src = static_cast<std::uint32_t>((norm >> 13) & 0xFFFFF);
            src |= (static_cast<std::uint32_t>(norm >> 36) & 1) << 20;
            src <<= 4;
            std::uint32_t dest = (src - (position + static_cast<std::uint32_t>(i))) >> 4;
            norm &= ~(static_cast<std::uint64_t>(0x8FFFFF) << 13);
            norm |= static_cast<std::uint64_t>(dest & 0xFFFFF) << 13;
            norm |= static_cast<std::uint64_t>(dest & 0x100000) << (36 - 20);
            instruction &= (static_cast<std::uint64_t>(1) << bitRes) - 1;
            instruction |= norm << bitRes;
            for (unsigned j = 0; j < 6; j++)
                data[i + j + bytePos] = static_cast<Byte>(instruction >> (8 * j));
        }
    }
    return i;
}

void DecodeDelta(Byte* data, std::size_t size, unsigned distance, DeltaState& state) {
    Byte* history = state.history;
    const std::size_t kHistory = sizeof state.history;
    // The first `distance` bytes reach back into the previous piece: history[kHistory -
    // distance + i] is the byte `distance` positions before data[i].
    const std::size_t head = std::min<std::size_t>(distance, size);
    for (std::size_t i = 0; i < head; i++)
        data[i] = static_cast<Byte>(data[i] + history[kHistory - distance + i]);
    for (std::size_t i = distance; i < size; i++)
        data[i] = static_cast<Byte>(data[i] + data[i - distance]);
    if (size >= kHistory) {
        std::memcpy(history, data + size - kHistory, kHistory);
    } else {
        std::memmove(history, history + size, kHistory - size);
        std::memcpy(history + kHistory - size, data, size);
    }
}

} // namespace sevenzip

// LZMA and LZMA2 over the SDK's LzmaDec, decoding into a ring that is both the dictionary and the
// output: each piece handed out is the slice just decoded, and the ring wraps once it is full.
// Matches reach back at most the dictionary size, so a ring of that size (or of the whole
// output, when that is smaller) always holds what they copy from.
//
// LZMA2 is a sequence of chunks, each starting with a control byte:
//   0x00                 end of stream
//   0x01 / 0x02          stored chunk with / without dictionary reset; 2 bytes BE size - 1
//   0x80 | m<<5 | u      LZMA chunk; u = bits 16..20 of unpacked size - 1, then 2 bytes BE of
//                        the rest, 2 bytes BE packed size - 1, and a property byte when m >= 2.
//                        m: 0 nothing reset, 1 state reset, 2 state reset and new properties,
//                        3 also dictionary reset.
#include "sevenzip/LzmaDecoders.h"

#include "sevenzip/LargeBuffer.h"

#include "LzmaDec.h"

#include <algorithm>
#include <cstdlib>

extern "C" {
// Exported by LzmaDec.c but not declared in its header; LZMA2 needs it to restart the range
// coder (and optionally the state and the dictionary) at every chunk.
void LzmaDec_InitDicAndState(CLzmaDec* p, Bool initDic, Bool initState);
}

namespace sevenzip {
namespace {

void* HeapAlloc(void* /*self*/, size_t size) {
    return size == 0 ? nullptr : std::malloc(size);
}
void HeapFree(void* /*self*/, void* address) {
    std::free(address);
}
ISzAlloc g_heap = {HeapAlloc, HeapFree};

// Output decoded per piece: small enough that the piece is still in the cache when the filters,
// the CRC and the writer go over it, large enough that the calls cost nothing.
constexpr std::size_t kSlice = 128 * 1024;

constexpr Byte kLzma2EndControl = 0x00;
constexpr Byte kLzma2StoredResetControl = 0x01;
constexpr Byte kLzma2StoredControl = 0x02;
constexpr Byte kLzma2LzmaFlag = 0x80;
constexpr unsigned kLzma2MaxDictProperty = 40;
constexpr unsigned kLzmaMaxLcPlusLp = 4;

// What the two decoders share: LzmaDec's state over a ring owned here.
class LzmaRing : public ByteStream {
public:
    LzmaRing(ByteStream& input, std::uint64_t size) : m_input(input), m_left(size) {
        LzmaDec_Construct(&m_dec);
    }
    ~LzmaRing() override { LzmaDec_FreeProbs(&m_dec, &g_heap); }
    LzmaRing(const LzmaRing&) = delete;
    LzmaRing& operator=(const LzmaRing&) = delete;

protected:
    // The ring for a dictionary of `dictSize` bytes.
    SRes AllocateRing(std::uint64_t dictSize, std::uint64_t maxDictionary) {
        const std::uint64_t size = std::min(dictSize, m_left);
        if (size > maxDictionary || size > SIZE_MAX)
            return SZ_ERROR_MEM;
        m_ring = AllocateLargeBuffer(static_cast<std::size_t>(size));
        if (!m_ring)
            return SZ_ERROR_MEM;
        m_dec.dic = m_ring.get();
        m_dec.dicBufSize = static_cast<SizeT>(size);
        m_dec.dicPos = 0;
        return SZ_OK;
    }

    // Where the next slice starts, wrapping the ring when it is full.
    std::size_t SliceStart() {
        if (m_dec.dicPos == m_dec.dicBufSize)
            m_dec.dicPos = 0;
        return m_dec.dicPos;
    }
    // Room for the next slice, at most `limit` bytes.
    std::size_t SliceRoom(std::uint64_t limit) const {
        return static_cast<std::size_t>(
            std::min<std::uint64_t>({kSlice, m_dec.dicBufSize - m_dec.dicPos, limit}));
    }

    // Decodes until dicPos reaches `limit`, using at most `packLimit` input bytes (counted down).
    // `last` says the stream (or LZMA2 chunk) must be able to end at `limit`. Running out of
    // input is not an error by itself: the decoder may still hold output (the rest of a match,
    // bytes already taken into the range coder), so it is asked even with nothing to read, and
    // only a call that neither takes input nor gives output means the input ended too soon.
    SRes DecodeTo(std::size_t limit, bool last, std::uint64_t& packLimit) {
        static const Byte kNoInput = 0;
        while (m_dec.dicPos < limit) {
            const Byte* data = &kNoInput;
            std::size_t available = 0;
            if (packLimit != 0) {
                RINOK(m_input.Peek(data, available));
                available = static_cast<std::size_t>(std::min<std::uint64_t>(available, packLimit));
                if (available == 0)
                    data = &kNoInput;
            }
            const std::size_t before = m_dec.dicPos;
            SizeT used = available;
            ELzmaStatus status;
            SRes res = LzmaDec_DecodeToDic(&m_dec, limit, data, &used,
                                           last ? LZMA_FINISH_END : LZMA_FINISH_ANY, &status);
            m_input.Consume(used);
            packLimit -= used;
            RINOK(res);
            if (status == LZMA_STATUS_FINISHED_WITH_MARK && (m_dec.dicPos != limit || !last))
                return SZ_ERROR_DATA;
            if (used == 0 && m_dec.dicPos == before)
                return SZ_ERROR_DATA; // the input ended before the output did
        }
        return SZ_OK;
    }

    // Hands out the ring from `start` to dicPos.
    void GiveSlice(std::size_t start) {
        const std::size_t produced = m_dec.dicPos - start;
        m_left -= produced;
        SetPiece(m_ring.get() + start, produced);
    }

    ByteStream& m_input;
    std::uint64_t m_left; // output bytes not yet decoded
    CLzmaDec m_dec;
    LargeBuffer m_ring;
};

class LzmaDecoder final : public LzmaRing {
public:
    using LzmaRing::LzmaRing;

    SRes Init(const std::vector<Byte>& properties, std::uint64_t maxDictionary) {
        if (properties.size() != LZMA_PROPS_SIZE)
            return SZ_ERROR_UNSUPPORTED;
        RINOK(LzmaDec_AllocateProbs(&m_dec, properties.data(), LZMA_PROPS_SIZE, &g_heap));
        // prop.dicSize is the stored size raised to LzmaDec's minimum.
        RINOK(AllocateRing(m_dec.prop.dicSize, maxDictionary));
        LzmaDec_Init(&m_dec);
        return SZ_OK;
    }

private:
    SRes NextPiece() override {
        if (m_left == 0) {
            SetPiece(nullptr, 0);
            return SZ_OK;
        }
        const std::size_t start = SliceStart();
        const std::size_t room = SliceRoom(m_left);
        std::uint64_t packLimit = UINT64_MAX;
        RINOK(DecodeTo(start + room, room == m_left, packLimit));
        GiveSlice(start);
        return SZ_OK;
    }
};

class Lzma2Decoder final : public LzmaRing {
public:
    using LzmaRing::LzmaRing;

    SRes Init(const std::vector<Byte>& properties, std::uint64_t maxDictionary) {
        if (properties.size() != 1 || properties[0] > kLzma2MaxDictProperty)
            return SZ_ERROR_UNSUPPORTED;
        const unsigned dictProperty = properties[0];
        m_dictSize = dictProperty == kLzma2MaxDictProperty
                         ? 0xFFFFFFFFu
                         : (2u | (dictProperty & 1u)) << (dictProperty / 2 + 11);
        m_dec.prop.dicSize = m_dictSize;
        return AllocateRing(m_dictSize, maxDictionary);
    }

private:
    SRes NextPiece() override {
        if (m_chunkLeft == 0 && !m_ended)
            RINOK(StartChunk());
        if (m_ended) {
            SetPiece(nullptr, 0);
            return SZ_OK;
        }
        const std::size_t start = SliceStart();
        const std::size_t room = SliceRoom(m_chunkLeft);
        if (m_stored) {
            RINOK(m_input.Read(m_ring.get() + start, room));
            // What LzmaDec would have done had it produced these bytes itself, so that later
            // matches may refer back into them.
            if (m_dec.checkDicSize == 0 && m_dec.prop.dicSize - m_dec.processedPos <= room)
                m_dec.checkDicSize = m_dec.prop.dicSize;
            m_dec.processedPos += static_cast<UInt32>(room);
            m_dec.dicPos += room;
        } else {
            RINOK(DecodeTo(start + room, room == m_chunkLeft, m_chunkPackLeft));
            if (room == m_chunkLeft && m_chunkPackLeft != 0)
                return SZ_ERROR_DATA;
        }
        m_chunkLeft -= room;
        GiveSlice(start);
        return SZ_OK;
    }

    // Reads the next chunk's header, or the end marker.
    SRes StartChunk() {
        Byte control;
        RINOK(m_input.ReadByte(control));
        if (control == kLzma2EndControl) {
            m_ended = true;
            return m_left == 0 ? SZ_OK : SZ_ERROR_DATA;
        }
        Byte header[4];
        std::uint64_t unpacked;
        if ((control & kLzma2LzmaFlag) == 0) {
            if (control != kLzma2StoredResetControl && control != kLzma2StoredControl)
                return SZ_ERROR_DATA;
            RINOK(m_input.Read(header, 2));
            unpacked = (static_cast<std::uint64_t>(header[0]) << 8 | header[1]) + 1;
            if (control == kLzma2StoredResetControl) {
                m_needDictReset = false;
                m_dec.processedPos = 0;
                m_dec.checkDicSize = 0;
            } else if (m_needDictReset) {
                return SZ_ERROR_DATA;
            }
            m_stored = true;
        } else {
            RINOK(m_input.Read(header, 4));
            unpacked = ((static_cast<std::uint64_t>(control & 0x1F) << 16) |
                        (static_cast<std::uint64_t>(header[0]) << 8) | header[1]) +
                       1;
            m_chunkPackLeft = ((static_cast<std::uint64_t>(header[2]) << 8) | header[3]) + 1;
            const unsigned mode = (control >> 5) & 3;
            if (mode == 3)
                m_needDictReset = false;
            else if (m_needDictReset)
                return SZ_ERROR_DATA;
            if (mode >= 2) {
                Byte lclppb;
                RINOK(m_input.ReadByte(lclppb));
                if (lclppb >= 9 * 5 * 5)
                    return SZ_ERROR_DATA;
                const unsigned lc = lclppb % 9;
                const unsigned lp = (lclppb / 9) % 5;
                if (lc + lp > kLzmaMaxLcPlusLp)
                    return SZ_ERROR_DATA;
                const Byte props[LZMA_PROPS_SIZE] = {
                    lclppb, static_cast<Byte>(m_dictSize), static_cast<Byte>(m_dictSize >> 8),
                    static_cast<Byte>(m_dictSize >> 16), static_cast<Byte>(m_dictSize >> 24)};
                RINOK(LzmaDec_AllocateProbs(&m_dec, props, LZMA_PROPS_SIZE, &g_heap));
                m_needProperties = false;
            } else if (m_needProperties) {
                return SZ_ERROR_DATA;
            }
            LzmaDec_InitDicAndState(&m_dec, mode == 3, mode != 0);
            m_stored = false;
        }
        if (unpacked > m_left)
            return SZ_ERROR_DATA;
        m_chunkLeft = unpacked;
        return SZ_OK;
    }

    std::uint32_t m_dictSize{0};
    std::uint64_t m_chunkLeft{0};     // output bytes of the current chunk not yet decoded
    std::uint64_t m_chunkPackLeft{0}; // input bytes of the current LZMA chunk not yet used
    bool m_stored{false};             // the current chunk is stored, not LZMA
    bool m_needDictReset{true};
    bool m_needProperties{true};
    bool m_ended{false}; // the end marker was read
};

template <class Decoder>
SRes Make(const std::vector<Byte>& properties, ByteStream& input, std::uint64_t size,
          std::uint64_t maxDictionary, std::unique_ptr<ByteStream>& decoder) {
    auto made = std::make_unique<Decoder>(input, size);
    RINOK(made->Init(properties, maxDictionary));
    decoder = std::move(made);
    return SZ_OK;
}

} // namespace

SRes MakeLzmaDecoder(const std::vector<Byte>& properties, ByteStream& input, std::uint64_t size,
                     std::uint64_t maxDictionary, std::unique_ptr<ByteStream>& decoder) {
    return Make<LzmaDecoder>(properties, input, size, maxDictionary, decoder);
}

SRes MakeLzma2Decoder(const std::vector<Byte>& properties, ByteStream& input, std::uint64_t size,
                      std::uint64_t maxDictionary, std::unique_ptr<ByteStream>& decoder) {
    return Make<Lzma2Decoder>(properties, input, size, maxDictionary, decoder);
}

} // namespace sevenzip

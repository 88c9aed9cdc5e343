// LZMA and LZMA2 over the SDK's LzmaDec. The whole output block is handed to LzmaDec as its
// dictionary, so matches are copied in place and nothing is copied afterwards.
//
// LZMA2 is a sequence of chunks, each starting with a control byte:
//   0x00                 end of stream
//   0x01 / 0x02          stored chunk with / without dictionary reset; 2 bytes BE size - 1
//   0x80 | m<<5 | u      LZMA chunk; u = bits 16..20 of unpacked size - 1, then 2 bytes BE of
//                        the rest, 2 bytes BE packed size - 1, and a property byte when m >= 2.
//                        m: 0 nothing reset, 1 state reset, 2 state reset and new properties,
//                        3 also dictionary reset.
#include "sevenzip/LzmaDecoders.h"

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

constexpr Byte kLzma2EndControl = 0x00;
constexpr Byte kLzma2StoredResetControl = 0x01;
constexpr Byte kLzma2StoredControl = 0x02;
constexpr Byte kLzma2LzmaFlag = 0x80;
constexpr unsigned kLzma2MaxDictProperty = 40;
constexpr unsigned kLzmaMaxLcPlusLp = 4;

// Releases the probability tables however decoding ends; the dictionary belongs to the caller.
class LzmaState {
public:
    LzmaState(Byte* out, std::size_t size) {
        LzmaDec_Construct(&m_dec);
        m_dec.dic = out;
        m_dec.dicBufSize = size;
        m_dec.dicPos = 0;
    }
    ~LzmaState() { LzmaDec_FreeProbs(&m_dec, &g_heap); }
    LzmaState(const LzmaState&) = delete;
    LzmaState& operator=(const LzmaState&) = delete;

    CLzmaDec* operator->() { return &m_dec; }
    CLzmaDec* get() { return &m_dec; }

private:
    CLzmaDec m_dec;
};

// Decodes until dicPos reaches `limit`, consuming at most `packLimit` input bytes.
SRes DecodeTo(CLzmaDec* dec, std::size_t limit, InputStream& in, std::uint64_t packLimit,
              std::uint64_t& packUsed) {
    packUsed = 0;
    while (dec->dicPos < limit) {
        const Byte* data;
        std::size_t available;
        RINOK(in.Peek(data, available));
        available =
            static_cast<std::size_t>(std::min<std::uint64_t>(available, packLimit - packUsed));
        if (available == 0)
            return SZ_ERROR_DATA; // the input ended before the output did
        const std::size_t before = dec->dicPos;
        SizeT used = available;
        ELzmaStatus status;
        SRes res = LzmaDec_DecodeToDic(dec, limit, data, &used, LZMA_FINISH_END, &status);
        in.Consume(used);
        packUsed += used;
        RINOK(res);
        if (status == LZMA_STATUS_FINISHED_WITH_MARK && dec->dicPos != limit)
            return SZ_ERROR_DATA;
        if (used == 0 && dec->dicPos == before)
            return SZ_ERROR_DATA;
    }
    return SZ_OK;
}

} // namespace

SRes DecodeLzma(const std::vector<Byte>& properties, InputStream& in, Byte* out, std::size_t size) {
    if (properties.size() != LZMA_PROPS_SIZE)
        return SZ_ERROR_UNSUPPORTED;
    LzmaState dec(out, size);
    RINOK(LzmaDec_AllocateProbs(dec.get(), properties.data(), LZMA_PROPS_SIZE, &g_heap));
    LzmaDec_Init(dec.get());
    std::uint64_t used;
    return DecodeTo(dec.get(), size, in, UINT64_MAX, used);
}

SRes DecodeLzma2(const std::vector<Byte>& properties, InputStream& in, Byte* out,
                 std::size_t size) {
    if (properties.size() != 1 || properties[0] > kLzma2MaxDictProperty)
        return SZ_ERROR_UNSUPPORTED;
    const unsigned dictProperty = properties[0];
    const std::uint32_t dictSize = dictProperty == kLzma2MaxDictProperty
                                       ? 0xFFFFFFFFu
                                       : (2u | (dictProperty & 1u)) << (dictProperty / 2 + 11);

    LzmaState dec(out, size);
    dec->prop.dicSize = dictSize;
    bool needDictReset = true;
    bool needProperties = true;
    for (;;) {
        Byte control;
        RINOK(in.ReadByte(control));
        if (control == kLzma2EndControl)
            break;
        Byte header[4];
        if ((control & kLzma2LzmaFlag) == 0) {
            if (control != kLzma2StoredResetControl && control != kLzma2StoredControl)
                return SZ_ERROR_DATA;
            RINOK(in.Read(header, 2));
            std::size_t chunk = (static_cast<std::size_t>(header[0]) << 8 | header[1]) + 1;
            if (control == kLzma2StoredResetControl) {
                needDictReset = false;
                dec->processedPos = 0;
                dec->checkDicSize = 0;
            } else if (needDictReset) {
                return SZ_ERROR_DATA;
            }
            if (chunk > size - dec->dicPos)
                return SZ_ERROR_DATA;
            RINOK(in.Read(out + dec->dicPos, chunk));
            // What LzmaDec would have done had it produced these bytes itself, so that later
            // matches may refer back into them.
            if (dec->checkDicSize == 0 && dec->prop.dicSize - dec->processedPos <= chunk)
                dec->checkDicSize = dec->prop.dicSize;
            dec->processedPos += static_cast<UInt32>(chunk);
            dec->dicPos += chunk;
            continue;
        }

        RINOK(in.Read(header, 4));
        std::size_t unpacked = ((static_cast<std::size_t>(control & 0x1F) << 16) |
                                (static_cast<std::size_t>(header[0]) << 8) | header[1]) +
                               1;
        std::uint64_t packed = ((static_cast<std::uint64_t>(header[2]) << 8) | header[3]) + 1;
        unsigned mode = (control >> 5) & 3;
        if (mode == 3)
            needDictReset = false;
        else if (needDictReset)
            return SZ_ERROR_DATA;
        if (mode >= 2) {
            Byte lclppb;
            RINOK(in.ReadByte(lclppb));
            if (lclppb >= 9 * 5 * 5)
                return SZ_ERROR_DATA;
            unsigned lc = lclppb % 9;
            unsigned lp = (lclppb / 9) % 5;
            if (lc + lp > kLzmaMaxLcPlusLp)
                return SZ_ERROR_DATA;
            Byte props[LZMA_PROPS_SIZE] = {
                lclppb, static_cast<Byte>(dictSize), static_cast<Byte>(dictSize >> 8),
                static_cast<Byte>(dictSize >> 16), static_cast<Byte>(dictSize >> 24)};
            RINOK(LzmaDec_AllocateProbs(dec.get(), props, LZMA_PROPS_SIZE, &g_heap));
            needProperties = false;
        } else if (needProperties) {
            return SZ_ERROR_DATA;
        }
        LzmaDec_InitDicAndState(dec.get(), mode == 3, mode != 0);
        if (unpacked > size - dec->dicPos)
            return SZ_ERROR_DATA;
        std::uint64_t used;
        RINOK(DecodeTo(dec.get(), dec->dicPos + unpacked, in, packed, used));
        if (used != packed)
            return SZ_ERROR_DATA;
    }
    return dec->dicPos == size ? SZ_OK : SZ_ERROR_DATA;
}

} // namespace sevenzip

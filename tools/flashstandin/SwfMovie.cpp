#include "tools/flashstandin/SwfMovie.h"

#include <zlib.h>

namespace flashstandin {

namespace {

constexpr std::size_t kFixedHeader = 8;
constexpr unsigned kTagEnd = 0;
constexpr unsigned kTagFrameLabel = 43;
constexpr unsigned kLongTagLength = 0x3f;

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Most significant bit first, as SWF packs its bit fields.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Read(unsigned count, std::uint32_t& value) {
        value = 0;
        for (unsigned i = 0; i < count; ++i) {
            if (m_bit / 8 >= m_size)
                return false;
            const unsigned bit = (m_data[m_bit / 8] >> (7 - m_bit % 8)) & 1;
            value = value << 1 | bit;
            ++m_bit;
        }
        return true;
    }

    bool ReadSigned(unsigned count, std::int32_t& value) {
        std::uint32_t raw = 0;
        if (!Read(count, raw))
            return false;
        if (count > 0 && count < 32 && (raw >> (count - 1)) & 1)
            raw |= ~0u << count; // sign-extend
        value = static_cast<std::int32_t>(raw);
        return true;
    }

    std::size_t BytesUsed() const { return (m_bit + 7) / 8; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_bit{0};
};

// The body after the fixed header, inflated; at most `expected` bytes are kept.
SwfResult Inflate(const std::uint8_t* data, std::size_t size, std::size_t expected,
                  std::vector<std::uint8_t>& body) {
    body.resize(expected);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return SwfResult::Damaged;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = body.data();
    stream.avail_out = static_cast<uInt>(body.size());
    const int status = inflate(&stream, Z_FINISH);
    const std::size_t produced = body.size() - stream.avail_out;
    inflateEnd(&stream);
    // A stream cut short still gives what it held; the tag reader then reports the truncation.
    if (status != Z_STREAM_END && status != Z_BUF_ERROR && status != Z_OK)
        return SwfResult::Damaged;
    body.resize(produced);
    return SwfResult::Ok;
}

SwfResult ReadBody(const std::uint8_t* body, std::size_t size, SwfMovie& movie) {
    BitReader bits(body, size);
    std::uint32_t width = 0;
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    if (!bits.Read(5, width) || !bits.ReadSigned(width, xMin) || !bits.ReadSigned(width, xMax) ||
        !bits.ReadSigned(width, yMin) || !bits.ReadSigned(width, yMax))
        return SwfResult::Truncated;
    // Widened: a hostile rectangle may span more than an int32 holds.
    movie.frameWidthTwips = static_cast<std::int32_t>(static_cast<std::int64_t>(xMax) - xMin);
    movie.frameHeightTwips = static_cast<std::int32_t>(static_cast<std::int64_t>(yMax) - yMin);
    std::size_t at = bits.BytesUsed();
    if (size - at < 4)
        return SwfResult::Truncated;
    movie.frameRate = U16(body + at);
    movie.frameCount = U16(body + at + 2);
    at += 4;

    while (at < size) {
        if (size - at < 2)
            return SwfResult::Truncated;
        const unsigned header = U16(body + at);
        at += 2;
        const unsigned code = header >> 6;
        std::size_t length = header & kLongTagLength;
        if (length == kLongTagLength) {
            if (size - at < 4)
                return SwfResult::Truncated;
            length = U32(body + at);
            at += 4;
        }
        if (length > size - at)
            return SwfResult::Truncated;
        if (code == kTagEnd)
            break;
        if (code == kTagFrameLabel) {
            const char* name = reinterpret_cast<const char*>(body + at);
            std::size_t nameLength = 0;
            while (nameLength < length && name[nameLength] != '\0')
                ++nameLength;
            movie.frameLabels.emplace_back(name, nameLength);
        }
        at += length;
    }
    return SwfResult::Ok;
}

} // namespace

SwfResult ReadSwf(const std::uint8_t* data, std::size_t size, SwfMovie& movie) {
    movie = SwfMovie{};
    if (size < kFixedHeader || data[1] != 'W' || data[2] != 'S' ||
        (data[0] != 'F' && data[0] != 'C'))
        return SwfResult::NotSwf;
    movie.compressed = data[0] == 'C';
    movie.version = data[3];
    movie.declaredLength = U32(data + 4);
    if (movie.declaredLength > kMaxSwfLength)
        return SwfResult::TooLarge;

    if (!movie.compressed)
        return ReadBody(data + kFixedHeader, size - kFixedHeader, movie);
    const std::size_t expected =
        movie.declaredLength > kFixedHeader ? movie.declaredLength - kFixedHeader : 0;
    std::vector<std::uint8_t> body;
    const SwfResult inflated = Inflate(data + kFixedHeader, size - kFixedHeader, expected, body);
    if (inflated != SwfResult::Ok)
        return inflated;
    return ReadBody(body.data(), body.size(), movie);
}

unsigned FrameIntervalMs(const SwfMovie& movie) {
    if (movie.frameRate == 0)
        return 1000 / 12;
    const unsigned interval = 1000u * 256u / movie.frameRate;
    return interval > 0 ? interval : 1;
}

const char* SwfResultName(SwfResult result) {
    switch (result) {
    case SwfResult::Ok:
        return "ok";
    case SwfResult::NotSwf:
        return "not an SWF file";
    case SwfResult::Damaged:
        return "damaged compressed data";
    case SwfResult::Truncated:
        return "truncated";
    case SwfResult::TooLarge:
        return "too large";
    }
    return "unknown";
}

} // namespace flashstandin

#include "tools/flashstandin/SwfMovie.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using flashstandin::FrameIntervalMs;
using flashstandin::ReadSwf;
using flashstandin::SwfMovie;
using flashstandin::SwfResult;

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back(value >> 8 & 0xFF);
}

void PutU32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(value >> shift & 0xFF);
}

void PutTag(Bytes& out, unsigned code, const Bytes& body, bool longForm = false) {
    if (!longForm && body.size() < 0x3F) {
        PutU16(out, code << 6 | static_cast<unsigned>(body.size()));
    } else {
        PutU16(out, code << 6 | 0x3F);
        PutU32(out, static_cast<std::uint32_t>(body.size()));
    }
    out.insert(out.end(), body.begin(), body.end());
}

// The body after the fixed header: frame RECT 0..6000 x 0..4000 twips (300 x 200 pixels) with
// 14-bit fields, rate, count, then the tags.
Bytes Body(unsigned rate, unsigned frames, const std::vector<std::string>& labels) {
    Bytes body;
    std::string bits = "01110";
    for (std::uint32_t value : {0u, 6000u, 0u, 4000u})
        for (int bit = 13; bit >= 0; --bit)
            bits += (value >> bit & 1) ? '1' : '0';
    while (bits.size() % 8)
        bits += '0';
    for (std::size_t i = 0; i < bits.size(); i += 8)
        body.push_back(static_cast<std::uint8_t>(std::stoi(bits.substr(i, 8), nullptr, 2)));
    PutU16(body, rate);
    PutU16(body, frames);
    PutTag(body, 9, {0, 0, 0});
    for (const std::string& label : labels) {
        Bytes name(label.begin(), label.end());
        name.push_back(0);
        PutTag(body, 43, name, label.size() > 10);
        PutTag(body, 1, {});
    }
    PutTag(body, 0, {});
    return body;
}

Bytes Movie(const Bytes& body, bool compressed, int version = 10) {
    Bytes file{static_cast<std::uint8_t>(compressed ? 'C' : 'F'), 'W', 'S',
               static_cast<std::uint8_t>(version)};
    PutU32(file, static_cast<std::uint32_t>(8 + body.size()));
    if (!compressed) {
        file.insert(file.end(), body.begin(), body.end());
        return file;
    }
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()));
    file.insert(file.end(), packed.begin(), packed.begin() + packedSize);
    return file;
}

SwfResult Read(const Bytes& file, SwfMovie& movie) {
    return ReadSwf(file.data(), file.size(), movie);
}

TEST(StandInSwfReader, ReadsThePlainHeaderAndLabels) {
    SwfMovie movie;
    ASSERT_EQ(Read(Movie(Body(24 * 256, 120, {"closesound", "fscommand-on-click"}), false), movie),
              SwfResult::Ok);
    EXPECT_FALSE(movie.compressed);
    EXPECT_EQ(movie.version, 10);
    EXPECT_EQ(movie.frameWidthTwips, 6000);
    EXPECT_EQ(movie.frameHeightTwips, 4000);
    EXPECT_EQ(movie.frameRate, 24 * 256);
    EXPECT_EQ(movie.frameCount, 120);
    EXPECT_EQ(movie.frameLabels, (std::vector<std::string>{"closesound", "fscommand-on-click"}));
    EXPECT_EQ(FrameIntervalMs(movie), 41u);
}

TEST(StandInSwfReader, ReadsTheCompressedForm) {
    SwfMovie movie;
    ASSERT_EQ(Read(Movie(Body(64, 3, {"a"}), true, 9), movie), SwfResult::Ok);
    EXPECT_TRUE(movie.compressed);
    EXPECT_EQ(movie.version, 9);
    EXPECT_EQ(movie.frameWidthTwips, 6000);
    EXPECT_EQ(movie.frameCount, 3);
    EXPECT_EQ(movie.frameLabels, std::vector<std::string>{"a"});
    EXPECT_EQ(FrameIntervalMs(movie), 4000u) << "a quarter frame a second";
}

TEST(StandInSwfReader, FrameRateZeroPlaysAtTwelve) {
    SwfMovie movie;
    ASSERT_EQ(Read(Movie(Body(0, 1, {}), false), movie), SwfResult::Ok);
    EXPECT_EQ(FrameIntervalMs(movie), 83u);
}

TEST(StandInSwfReader, RefusesWhatIsNoSwf) {
    SwfMovie movie;
    EXPECT_EQ(Read({}, movie), SwfResult::NotSwf);
    EXPECT_EQ(Read({'F', 'W', 'S', 10, 0, 0, 0}, movie), SwfResult::NotSwf);
    EXPECT_EQ(Read({'Z', 'W', 'S', 10, 8, 0, 0, 0, 0}, movie), SwfResult::NotSwf);
    EXPECT_EQ(Read({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}, movie), SwfResult::NotSwf);
}

TEST(StandInSwfReader, ReportsEveryCutOfTheFile) {
    const Bytes whole = Movie(Body(24 * 256, 2, {"a long frame label"}), false);
    // Where whole tags end: after the header (20), the background colour (25), the label in its
    // long form (50) and the frame (52). A file cut there is read as far as it goes; a cut
    // anywhere else is reported, never read past.
    const std::vector<std::size_t> tagEnds{20, 25, 50, 52};
    for (std::size_t size = 8; size < whole.size(); ++size) {
        const Bytes cut(whole.begin(), whole.begin() + size);
        SwfMovie movie;
        const bool atTagEnd = std::find(tagEnds.begin(), tagEnds.end(), size) != tagEnds.end();
        EXPECT_EQ(Read(cut, movie), atTagEnd ? SwfResult::Ok : SwfResult::Truncated)
            << "cut at " << size;
    }
}

TEST(StandInSwfReader, RefusesDamagedAndOversizedCompressedData) {
    Bytes damaged = Movie(Body(24 * 256, 2, {}), true);
    for (std::size_t i = 10; i < damaged.size(); ++i)
        damaged[i] ^= 0x5A;
    SwfMovie movie;
    EXPECT_NE(Read(damaged, movie), SwfResult::Ok);

    Bytes huge = Movie(Body(24 * 256, 2, {}), true);
    huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
    EXPECT_EQ(Read(huge, movie), SwfResult::TooLarge);

    // A stated length shorter than the data inflates only that much.
    Bytes shortened = Movie(Body(24 * 256, 2, {}), true);
    shortened[4] = 12;
    shortened[5] = shortened[6] = shortened[7] = 0;
    EXPECT_EQ(Read(shortened, movie), SwfResult::Truncated);
}

TEST(StandInSwfReader, ALabelWithoutItsTerminatorEndsAtTheTag) {
    Bytes body = Body(24 * 256, 0, {});
    body.pop_back();
    body.pop_back(); // the End tag
    PutTag(body, 43, {'a', 'b', 'c'});
    SwfMovie movie;
    ASSERT_EQ(Read(Movie(body, false), movie), SwfResult::Ok);
    EXPECT_EQ(movie.frameLabels, std::vector<std::string>{"abc"});
}

} // namespace

// The branch converters and Delta take a stream in pieces, handing back the bytes they cannot
// convert yet and carrying state across. Converted in pieces of any size, a stream must come out
// exactly as converted in one piece.
#include "sevenzip/BranchFilters.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace {

using Converter = std::function<std::size_t(Byte*, std::size_t, std::uint32_t)>;

// Bytes drawn from those the converters look for (opcodes, near-target top bytes), so that
// conversions, skipped opcodes and opcodes close together are frequent.
std::vector<Byte> Code(std::size_t size, unsigned seed) {
    static const Byte kAlphabet[] = {0xE8, 0xE9, 0x0F, 0x85, 0x00, 0xFF, 0xEB, 0xF0, 0xF8,
                                     0x40, 0x7F, 0x48, 0x4B, 0x94, 0x97, 0x90, 0x10, 0x16};
    std::mt19937 random(seed);
    std::vector<Byte> data(size);
    for (Byte& b : data)
        b = random() % 3 == 0 ? static_cast<Byte>(random())
                              : kAlphabet[random() % sizeof kAlphabet];
    return data;
}

// Converts `data` as a stream of pieces of 1 to `maxPiece` new bytes each; what a call leaves
// unconverted comes first in the next piece, and the stream's last bytes stay as they are.
std::vector<Byte> InPieces(std::vector<Byte> data, const Converter& convert, unsigned seed,
                           std::size_t maxPiece) {
    std::mt19937 random(seed);
    std::size_t done = 0;
    std::size_t end = 0;
    while (done < data.size()) {
        end = std::min(data.size(), end + 1 + random() % maxPiece);
        std::size_t n = convert(data.data() + done, end - done, static_cast<std::uint32_t>(done));
        EXPECT_LE(n, end - done);
        if (end == data.size())
            n = end - done;
        done += n;
    }
    return data;
}

struct Filter {
    const char* name;
    std::function<Converter()> make; // a converter with fresh state
};

TEST(Filters, PiecesOfAnySizeGiveWhatOnePieceGives) {
    const Filter filters[] = {
        {"x86",
         [] {
             auto state = std::make_shared<sevenzip::X86State>();
             return [state](Byte* d, std::size_t n, std::uint32_t at) {
                 return sevenzip::DecodeX86(d, n, at, *state);
             };
         }},
        {"arm", [] { return Converter(sevenzip::DecodeArm); }},
        {"armt", [] { return Converter(sevenzip::DecodeArmThumb); }},
        {"arm64", [] { return Converter(sevenzip::DecodeArm64); }},
        {"ppc", [] { return Converter(sevenzip::DecodePowerPc); }},
        {"sparc", [] { return Converter(sevenzip::DecodeSparc); }},
        {"ia64", [] { return Converter(sevenzip::DecodeIa64); }},
    };
    for (const Filter& filter : filters) {
        for (unsigned seed = 1; seed <= 3; seed++) {
            const std::vector<Byte> code = Code(200000, seed);
            const std::vector<Byte> whole = InPieces(code, filter.make(), seed, code.size());
            EXPECT_NE(whole, code) << filter.name; // the data does hold convertible code
            for (std::size_t maxPiece : {7u, 100u, 5000u})
                EXPECT_EQ(InPieces(code, filter.make(), seed + maxPiece, maxPiece), whole)
                    << filter.name << " in pieces of up to " << maxPiece;
        }
    }
}

TEST(Filters, DeltaCarriesItsHistoryAcrossPieces) {
    for (unsigned distance : {1u, 4u, 255u, 256u}) {
        const std::vector<Byte> data = Code(100000, distance);
        // Reference: each byte plus the decoded byte `distance` before it.
        std::vector<Byte> expected = data;
        for (std::size_t i = distance; i < expected.size(); i++)
            expected[i] = static_cast<Byte>(expected[i] + expected[i - distance]);
        for (std::size_t maxPiece : {1u, 100u, 300u, 100000u}) {
            sevenzip::DeltaState state;
            const Converter delta = [&](Byte* d, std::size_t n, std::uint32_t) {
                sevenzip::DecodeDelta(d, n, distance, state);
                return n;
            };
            EXPECT_EQ(InPieces(data, delta, distance, maxPiece), expected)
                << "distance " << distance << " in pieces of up to " << maxPiece;
        }
    }
}

} // namespace

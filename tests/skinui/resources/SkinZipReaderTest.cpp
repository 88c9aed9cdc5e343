#include "skinui/resources/SkinZipReader.h"
#include "tests/skinui/resources/ZipBuilder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace skinui::resources;

namespace {

std::vector<std::uint8_t> Package() {
    ZipBuilder zip;
    zip.Add("skin/main.xml", "<Window size=\"100,100\"/>");
    zip.Add("Images/Btn.png", std::string(5000, 'p'), false);
    zip.Add("big.txt", std::string(100000, 'z'));
    return zip.Finish();
}

std::string Unzip(const SkinZipReader& zip, const char* name, ZipResult expected,
                  std::size_t bufferSize = 0) {
    auto item = zip.FindItem(name);
    EXPECT_TRUE(item.has_value()) << name;
    if (!item)
        return {};
    std::string out(bufferSize ? bufferSize : item->size, '\0');
    EXPECT_EQ(zip.UnzipItem(item->index, reinterpret_cast<std::uint8_t*>(&out[0]), out.size()),
              expected);
    return out;
}

TEST(SkinZipReaderTest, ReadsStoredAndDeflatedItemsFromMemory) {
    std::vector<std::uint8_t> bytes = Package();
    auto zip = SkinZipReader::OpenMemory(bytes.data(), bytes.size());
    ASSERT_TRUE(zip);
    EXPECT_EQ(zip->ItemCount(), 3);
    EXPECT_EQ(Unzip(*zip, "SKIN\\MAIN.XML", ZipResult::Success), "<Window size=\"100,100\"/>");
    EXPECT_EQ(Unzip(*zip, "images/btn.png", ZipResult::Success), std::string(5000, 'p'));
    EXPECT_EQ(Unzip(*zip, "big.txt", ZipResult::Success), std::string(100000, 'z'));
    EXPECT_FALSE(zip->FindItem("skin/main.xm").has_value());
    EXPECT_FALSE(zip->FindItem("").has_value());
}

TEST(SkinZipReaderTest, SmallBufferGivesMoreData) {
    std::vector<std::uint8_t> bytes = Package();
    auto zip = SkinZipReader::OpenMemory(bytes.data(), bytes.size());
    ASSERT_TRUE(zip);
    EXPECT_EQ(Unzip(*zip, "big.txt", ZipResult::MoreData, 10), std::string(10, 'z'));
    EXPECT_EQ(Unzip(*zip, "images/btn.png", ZipResult::MoreData, 3), "ppp");
    EXPECT_EQ(zip->UnzipItem(7, nullptr, 0), ZipResult::BadIndex);
}

TEST(SkinZipReaderTest, ReadsFromFile) {
    testsupport::ScratchFolder folder("zip");
    std::vector<std::uint8_t> bytes = Package();
    std::filesystem::path path = folder.path() / "skin.zip";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    auto zip = SkinZipReader::OpenFile(path);
    ASSERT_TRUE(zip);
    EXPECT_EQ(Unzip(*zip, "Skin/Main.xml", ZipResult::Success), "<Window size=\"100,100\"/>");
    EXPECT_EQ(Unzip(*zip, "BIG.TXT", ZipResult::Success), std::string(100000, 'z'));
    EXPECT_FALSE(SkinZipReader::OpenFile(folder.path() / "missing.zip"));
}

TEST(SkinZipReaderTest, CorruptItemsFailAndTruncatedArchivesAreRefused) {
    std::vector<std::uint8_t> bytes = Package();
    // Flip a byte of the stored item's data: the CRC-32 no longer matches.
    std::size_t stored = std::string(bytes.begin(), bytes.end()).find(std::string(5000, 'p'));
    ASSERT_NE(stored, std::string::npos);
    bytes[stored + 10] = 'q';
    auto zip = SkinZipReader::OpenMemory(bytes.data(), bytes.size());
    ASSERT_TRUE(zip);
    Unzip(*zip, "images/btn.png", ZipResult::CrcMismatch);

    std::vector<std::uint8_t> good = Package();
    for (std::size_t cut : {std::size_t{0}, std::size_t{10}, good.size() / 2, good.size() - 1})
        EXPECT_FALSE(SkinZipReader::OpenMemory(good.data(), cut)) << cut;

    // A deflated item whose compressed data is cut short.
    std::vector<std::uint8_t> damaged = good;
    std::size_t big = std::string(damaged.begin(), damaged.end()).find("big.txt");
    ASSERT_NE(big, std::string::npos);
    for (std::size_t i = big + 7; i < big + 40; ++i)
        damaged[i] ^= 0x5A;
    auto broken = SkinZipReader::OpenMemory(damaged.data(), damaged.size());
    ASSERT_TRUE(broken);
    auto item = broken->FindItem("big.txt");
    ASSERT_TRUE(item);
    std::vector<std::uint8_t> out(item->size);
    ZipResult result = broken->UnzipItem(item->index, out.data(), out.size());
    EXPECT_NE(result, ZipResult::Success);
    EXPECT_NE(result, ZipResult::MoreData);
}

TEST(SkinZipReaderTest, BytesAfterTheEndRecordAreLookedPast) {
    const std::vector<std::uint8_t> good = Package();
    // Block padding of streamed output, and padding that happens to hold an end record
    // signature whose directory does not check out.
    std::vector<std::uint8_t> padded = good;
    padded.resize(10240, 0);
    std::vector<std::uint8_t> decoy = good;
    const std::uint8_t stray[] = {0x50, 0x4b, 0x05, 0x06, 1, 0, 1, 0, 1, 0, 1,
                                  0,    9,    9,    0,    0, 7, 7, 0, 0, 0, 0};
    decoy.insert(decoy.end(), stray, stray + sizeof stray);
    decoy.resize(decoy.size() + 300, 0xEE);
    // Padding longer than the largest comment: found in the longer search.
    std::vector<std::uint8_t> longPadding = good;
    longPadding.resize(good.size() + 200000, 0);
    for (const auto* bytes : {&padded, &decoy, &longPadding}) {
        auto zip = SkinZipReader::OpenMemory(bytes->data(), bytes->size());
        ASSERT_TRUE(zip);
        EXPECT_EQ(zip->ItemCount(), 3);
        EXPECT_EQ(Unzip(*zip, "big.txt", ZipResult::Success), std::string(100000, 'z'));
    }
    // Padding alone is no archive.
    std::vector<std::uint8_t> zeros(4096, 0);
    EXPECT_FALSE(SkinZipReader::OpenMemory(zeros.data(), zeros.size()));
}

} // namespace

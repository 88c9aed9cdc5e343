#include "skinui/resources/SkinZipReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace skinui::resources;

// The input is a package: every item is looked up by its own name and unzipped into a buffer of
// its claimed size (capped) and into a small one.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto zip = SkinZipReader::OpenMemory(data, size);
    if (!zip)
        return 0;
    constexpr std::size_t kCap = 1 << 20;
    for (int i = 0; i < zip->ItemCount() && i < 64; ++i) {
        auto item = zip->FindItem(zip->ItemName(i));
        if (!item)
            continue;
        std::vector<std::uint8_t> buffer(std::min<std::size_t>(item->size, kCap));
        zip->UnzipItem(item->index, buffer.data(), buffer.size());
        std::uint8_t small[7];
        zip->UnzipItem(item->index, small, sizeof small);
    }
    return 0;
}

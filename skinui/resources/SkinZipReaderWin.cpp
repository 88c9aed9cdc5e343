#include "skinui/resources/SkinZipReaderWin.h"

#include "skinui/resources/WideText.h"

namespace skinui::resources {

std::optional<ZipItem> FindZipItem(const SkinZipReader& zip, const std::wstring& name) {
    if (name.empty() || name.size() > kMaxZipItemName)
        return std::nullopt;
    const std::string ansi = WideToAnsi(name);
    if (ansi.empty())
        return std::nullopt;
    return zip.FindItem(ansi);
}

} // namespace skinui::resources

#include "skinui/resources/SkinZipReaderWin.h"

#include <windows.h>

#include <vector>

namespace skinui::resources {

std::optional<ZipItem> FindZipItem(const SkinZipReader& zip, const std::wstring& name) {
    if (name.empty() || name.size() > kMaxZipItemName)
        return std::nullopt;
    int bytes = WideCharToMultiByte(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr,
                                    0, nullptr, nullptr);
    if (bytes <= 0)
        return std::nullopt;
    std::vector<char> ansi(static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_ACP, 0, name.data(), static_cast<int>(name.size()), ansi.data(), bytes,
                        nullptr, nullptr);
    return zip.FindItem(std::string_view(ansi.data(), ansi.size()));
}

} // namespace skinui::resources

#include "skinui/resources/WideText.h"

#include <windows.h>

#include <climits>

namespace skinui::resources {

std::u16string AnsiToU16(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > static_cast<std::size_t>(INT_MAX))
        return std::u16string();
    const char* text = reinterpret_cast<const char*>(data);
    const int units = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), nullptr, 0);
    if (units <= 0)
        return std::u16string();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), wide.data(), units);
    return ToU16(wide);
}

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return std::string();
    const int length = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), bytes, nullptr, nullptr);
    return ansi;
}

} // namespace skinui::resources

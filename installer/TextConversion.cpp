#include "installer/TextConversion.h"

#include <windows.h>

#include <vector>

std::wstring AnsiToWide(const std::string& text) {
    int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(units) + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, buffer.data(), units);
    return std::wstring(buffer.data());
}

std::string WideToAnsi(const std::wstring& text) {
    int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(bytes) + 1, '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer.data(), bytes, nullptr, nullptr) ==
        0)
        return std::string();
    return std::string(buffer.data());
}

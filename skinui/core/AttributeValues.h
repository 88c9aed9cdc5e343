#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace skinui {

// The shared attribute value syntaxes, for the wide strings controls keep.
DWORD ParseColorValue(const std::wstring& value);
// Four integers with single-character separators; missing numbers are 0.
RECT ParseRectValue(const std::wstring& value);
SIZE ParseSizeValue(const std::wstring& value);
bool ParseBoolValue(const std::wstring& value);
int ParseIntValue(const std::wstring& value);
std::vector<std::pair<std::wstring, std::wstring>>
ParseAttributeListValue(const std::wstring& list);

} // namespace skinui

#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The licence agreement carried as resource REGCONTENT 136 of `module`: GBK text without a
// terminator, converted from the ANSI code page. Nothing when the resource is absent, cannot be
// loaded or is empty.
std::optional<std::wstring> LoadLicenceText(HMODULE module);

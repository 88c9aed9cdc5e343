#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skinui::markup {
class SkinMarkup;
}

namespace skinui::resources {

// Process-wide settings telling every window where its skin package is. Set during the first
// window's creation and kept until the process ends; used from the UI thread only.

enum class SkinSource { Files = 1, ZipFile = 2, MarkupResource = 3, ZipResource = 4 };

// Zip name recorded when the package was opened from a copy of a ZIPRES resource.
inline constexpr wchar_t kMemoryZipName[] = L"membuffer";

void SetResourceInstance(HINSTANCE instance);
HINSTANCE GetResourceInstance();

// Stored with a trailing backslash unless empty or already ending in "\" or "/".
void SetResourcePath(const std::wstring& path);
const std::wstring& GetResourcePath();

// With `cached` the package (resource path + name) is opened at once and kept open.
void SetResourceZip(const std::wstring& name, bool cached);
const std::wstring& GetResourceZip();
bool IsResourceZipCached();

// Copies the block into process-owned memory (never freed) and opens the package from it.
bool OpenResourceZipFromMemory(const std::uint8_t* data, std::size_t size);
// Finds the ZIPRES resource `id` of the resource instance and opens the package from a copy of
// it; false when it is missing, cannot be loaded or is empty. Nothing is reopened when the
// package already comes from memory.
bool LoadZipResource(HINSTANCE instance, LPCWSTR id);

// Reads one skin file (resource path + name, or the package item) whole. False when it is
// missing, empty, above kMaxSkinFileSize or unreadable.
bool ReadSkinFileBytes(const std::wstring& name, std::vector<std::uint8_t>& bytes);

// Loads a markup file from loose files or the package, recording the failure texts in `markup`.
bool LoadMarkupFile(markup::SkinMarkup& markup, const std::wstring& fileName);

// Steps a window takes before building its skin: the resource path from the executable's folder
// and `skinFolder` when still empty, then the package for ZipFile and ZipResource. False when a
// ZipResource package cannot be found (the window is then left without content).
bool PrepareSkinSource(SkinSource source, const std::wstring& skinFolder,
                       const std::wstring& zipFileName, LPCWSTR resourceId);

// The fatal skin failure: the error box "加载资源文件失败", then exit code 1.
[[noreturn]] void FailSkinLoad();

} // namespace skinui::resources

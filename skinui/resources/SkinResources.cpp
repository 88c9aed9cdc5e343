#include "skinui/resources/SkinResources.h"

#include "skinui/markup/SkinMarkup.h"
#include "skinui/resources/SkinZipReaderWin.h"
#include "skinui/resources/WideText.h"
#include "win32/UniqueHandle.h"

#include <cstdlib>
#include <memory>

namespace skinui::resources {

namespace {

constexpr wchar_t kZipResourceType[] = L"ZIPRES";
constexpr wchar_t kSkinLoadFailedText[] = L"加载资源文件失败";
constexpr wchar_t kSkinLoadFailedCaption[] = L"SkinUI";
constexpr int kSkinLoadFailedExitCode = 1;

struct ResourceSettings {
    HINSTANCE instance{nullptr};
    std::wstring path;    // empty, or ending in a path separator
    std::wstring zipName; // empty: loose files below `path`
    bool zipCached{false};
    // Declared before `zip`, which borrows it, so it outlives the reader at process exit.
    std::vector<std::uint8_t> memoryCopy;
    std::unique_ptr<SkinZipReader> zip; // open only while zipCached
};

ResourceSettings& Settings() {
    static ResourceSettings settings;
    return settings;
}

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// Reads a skin file whole; on failure returns one of the markup loading error texts.
const char16_t* ReadSkinFile(const std::wstring& name, std::vector<std::uint8_t>& bytes) {
    ResourceSettings& settings = Settings();
    bytes.clear();
    if (settings.zipName.empty()) {
        std::wstring path = settings.path + name;
        win32::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                 nullptr));
        if (!file)
            return markup::markup_errors::kErrorOpeningFile;
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size))
            return markup::markup_errors::kCouldNotReadFile;
        if (size.QuadPart == 0)
            return markup::markup_errors::kFileIsEmpty;
        if (static_cast<unsigned long long>(size.QuadPart) > markup::kMaxSkinFileSize)
            return markup::markup_errors::kFileTooLarge;
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
            read != bytes.size()) {
            bytes.clear();
            return markup::markup_errors::kCouldNotReadFile;
        }
        return nullptr;
    }

    std::unique_ptr<SkinZipReader> ownZip;
    const SkinZipReader* zip = settings.zip.get();
    if (!settings.zipCached || zip == nullptr) {
        ownZip = SkinZipReader::OpenFile(std::filesystem::path(settings.path + settings.zipName));
        if (!ownZip)
            return markup::markup_errors::kErrorOpeningZipFile;
        zip = ownZip.get();
    }
    std::optional<ZipItem> item = FindZipItem(*zip, name);
    if (!item)
        return markup::markup_errors::kCouldNotFindZipedFile;
    if (item->size == 0)
        return markup::markup_errors::kFileIsEmpty;
    if (item->size > markup::kMaxSkinFileSize)
        return markup::markup_errors::kFileTooLarge;
    bytes.resize(item->size);
    ZipResult result = zip->UnzipItem(item->index, bytes.data(), bytes.size());
    if (result != ZipResult::Success && result != ZipResult::MoreData) {
        bytes.clear();
        return markup::markup_errors::kCouldNotUnzipFile;
    }
    return nullptr;
}

} // namespace

void SetResourceInstance(HINSTANCE instance) {
    Settings().instance = instance;
    markup::SetMarkupAnsiDecoder(AnsiToU16);
}

HINSTANCE GetResourceInstance() {
    HINSTANCE instance = Settings().instance;
    return instance ? instance : GetModuleHandleW(nullptr);
}

void SetResourcePath(const std::wstring& path) {
    std::wstring& stored = Settings().path;
    stored = path;
    if (!stored.empty() && stored.back() != L'\\' && stored.back() != L'/')
        stored += L'\\';
}

const std::wstring& GetResourcePath() {
    return Settings().path;
}

void SetResourceZip(const std::wstring& name, bool cached) {
    ResourceSettings& settings = Settings();
    settings.zip.reset();
    settings.zipName = name;
    settings.zipCached = cached;
    if (cached && !name.empty())
        settings.zip = SkinZipReader::OpenFile(std::filesystem::path(settings.path + name));
}

const std::wstring& GetResourceZip() {
    return Settings().zipName;
}

bool IsResourceZipCached() {
    return Settings().zipCached;
}

bool OpenResourceZipFromMemory(const std::uint8_t* data, std::size_t size) {
    ResourceSettings& settings = Settings();
    settings.zip.reset();
    settings.memoryCopy.assign(data, data + size);
    settings.zipName = kMemoryZipName;
    settings.zipCached = true;
    settings.zip =
        SkinZipReader::OpenMemory(settings.memoryCopy.data(), settings.memoryCopy.size());
    return settings.zip != nullptr;
}

bool LoadZipResource(HINSTANCE instance, LPCWSTR id) {
    // The resource must exist even when a package is already open from memory: a window whose
    // package is missing stays empty rather than showing another window's skin.
    HRSRC resource = FindResourceW(instance, id, kZipResourceType);
    if (resource == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(instance, resource);
    DWORD size = SizeofResource(instance, resource);
    if (loaded == nullptr || size == 0)
        return false;
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr)
        return false;
    if (Settings().zipName == kMemoryZipName)
        return true;
    OpenResourceZipFromMemory(static_cast<const std::uint8_t*>(bytes), size);
    return true;
}

bool ReadSkinFileBytes(const std::wstring& name, std::vector<std::uint8_t>& bytes) {
    return ReadSkinFile(name, bytes) == nullptr;
}

bool LoadMarkupFile(markup::SkinMarkup& markup, const std::wstring& fileName) {
    markup::SetMarkupAnsiDecoder(AnsiToU16);
    std::vector<std::uint8_t> bytes;
    if (const char16_t* error = ReadSkinFile(fileName, bytes)) {
        markup.Release();
        markup.SetError(error, ToU16(fileName).c_str());
        return false;
    }
    return markup.LoadFromMem(bytes.data(), bytes.size(), markup::MarkupEncoding::Utf8);
}

bool PrepareSkinSource(SkinSource source, const std::wstring& skinFolder,
                       const std::wstring& zipFileName, LPCWSTR resourceId) {
    if (GetResourcePath().empty())
        SetResourcePath(ExecutableFolder() + skinFolder);
    switch (source) {
    case SkinSource::ZipFile:
        SetResourceZip(zipFileName, true);
        return true;
    case SkinSource::ZipResource:
        return LoadZipResource(GetResourceInstance(), resourceId);
    case SkinSource::Files:
    case SkinSource::MarkupResource:
        return true;
    }
    return true;
}

void FailSkinLoad() {
    MessageBoxW(nullptr, kSkinLoadFailedText, kSkinLoadFailedCaption, MB_ICONERROR);
    std::exit(kSkinLoadFailedExitCode);
}

} // namespace skinui::resources

#include "installer/ExtractPayload.h"

#include "installer/FolderUtils.h"
#include "installer/InstallFolderWriter.h"
#include "installer/PayloadSource.h"
#include "sevenzip/Archive.h"
#include "sevenzip/EntryReader.h"
#include "win32/DoubleArithmetic.h"
#include "win32/UniqueHandle.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

namespace {

// The archive's folder whose contents make up the install folder.
constexpr wchar_t kDataPrefix[] = L"install/data";
constexpr std::size_t kDataPrefixLength = 12;
constexpr std::size_t kTargetPathCapacity = MAX_PATH;
constexpr DWORD kMaxWriteChunk = 4 * 1024 * 1024;
constexpr int kFolderNotCreated = SZ_ERROR_FAIL;
constexpr int kArchiveNotOpened = SZ_ERROR_READ;
constexpr int kUnsafeEntryName = SZ_ERROR_ARCHIVE;
// 7-Zip on Unix stores st_mode in the high 16 bits and flags that with this bit; only the bits
// below it are Windows attributes.
constexpr std::uint32_t kUnixExtensionAttribute = 0x8000;
constexpr std::uint32_t kWindowsAttributeMask = 0x7FFF;

bool IsSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

// Drops the "." components of a name in place: "." names the folder it stands in, and some 7z
// writers put "./" before every name and list the top folder as ".". A name of only such
// components becomes empty.
void DropDotComponents(wchar_t* name) {
    wchar_t* out = name;
    bool kept = false; // a component was kept, so the next one keeps its separator
    const wchar_t* part = name;
    for (;;) {
        const wchar_t* end = part;
        while (*end != L'\0' && !IsSeparator(*end))
            end++;
        if (end - part != 1 || *part != L'.') {
            // Empty components stay, so that a leading separator still marks an absolute name.
            if (kept)
                *out++ = part[-1];
            out = std::copy(part, end, out);
            kept = true;
        }
        if (*end == L'\0')
            break;
        part = end + 1;
    }
    *out = L'\0';
}

// The entry's name relative to the install folder: what follows "install/data/", the whole name
// when it has no "install/data", nothing for the "install/data" entry itself.
const wchar_t* RelativeName(const wchar_t* name) {
    const wchar_t* found = std::wcsstr(name, kDataPrefix);
    if (found == nullptr)
        return name;
    if (_wcsicmp(name, kDataPrefix) == 0)
        return name + std::wcslen(name);
    const wchar_t* rest = found + kDataPrefixLength;
    // Skip the separator after "install/data", but never past the end of the name: a name that
    // ends in "install/data" names the install folder too.
    return *rest == L'\0' ? rest : rest + 1;
}

// True when appending `relative` cannot leave the install folder: not absolute, no drive or
// stream (":"), no ".." component (the shell's path append would fold it away upwards).
bool StaysInside(const wchar_t* relative) {
    if (IsSeparator(relative[0]) || std::wcschr(relative, L':') != nullptr)
        return false;
    const wchar_t* part = relative;
    for (const wchar_t* p = relative;; p++) {
        if (*p == L'\0' || IsSeparator(*p)) {
            if (p - part == 2 && part[0] == L'.' && part[1] == L'.')
                return false;
            if (*p == L'\0')
                return true;
            part = p + 1;
        }
    }
}

bool WriteAll(HANDLE file, const Byte* data, std::size_t size) {
    while (size != 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, kMaxWriteChunk));
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written != chunk)
            return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}

// Writes the entry's bytes as they come out of the reader, starting with the piece already read.
// A file that fails part way stays as far as it was written.
// The stored attributes (0: none) are set through the same handle, never by the name.
int WriteEntry(const InstallFolderWriter& writer, const wchar_t* relative,
               sevenzip::EntryReader& reader, std::uint32_t entry, const Byte* data,
               std::size_t size, DWORD attributes) {
    win32::UniqueFileHandle file = writer.MakeFile(relative);
    if (!file)
        return kExtractFileError;
    while (size != 0) {
        if (!WriteAll(file.get(), data, size))
            return kExtractFileError;
        const int result = reader.Read(entry, data, size);
        if (result != 0)
            return result;
    }
    if (attributes != 0) {
        FILE_BASIC_INFO info{};
        info.FileAttributes = attributes;
        SetFileInformationByHandle(file.get(), FileBasicInfo, &info, sizeof(info));
    }
    return CloseHandle(file.release()) ? 0 : kExtractFileError;
}

// The name buffer grows to the longest name met and is never shrunk.
class NameBuffer {
public:
    bool Assign(const std::u16string& name) {
        const std::size_t length = name.size() + 1;
        if (length > m_capacity) {
            m_data.reset();
            m_capacity = 0;
            m_data.reset(new (std::nothrow) wchar_t[length]);
            if (!m_data)
                return false;
            m_capacity = length;
        }
        std::copy(name.begin(), name.end(), m_data.get());
        m_data[name.size()] = L'\0';
        return true;
    }
    wchar_t* get() { return m_data.get(); }

private:
    std::unique_ptr<wchar_t[]> m_data;
    std::size_t m_capacity{0};
};

} // namespace

namespace {

int Unpack(PayloadSource& source, const std::wstring& installFolder, HWND progressWindow,
           const std::atomic<bool>* stopRequested) {
    InstallFolderWriter writer;
    if (!writer.Open(installFolder))
        return kFolderNotCreated;
    sevenzip::Archive archive;
    int result = archive.Open(source);
    const std::uint32_t count = result == SZ_OK ? archive.EntryCount() : 0;
    // Blocks are decoded on a second thread while this one writes: the memory that takes is the
    // dictionaries and a small fixed ring, whatever the size of the payload.
    sevenzip::EntryReader reader(archive, true);
    NameBuffer name;
    for (std::uint32_t i = 0; i < count && result == 0; i++) {
        if (stopRequested != nullptr && stopRequested->load()) {
            result = kExtractStopped;
            break;
        }
        const bool isFolder = archive.IsDirectory(i);
        if (!name.Assign(archive.Name(i))) {
            result = SZ_ERROR_MEM;
            break;
        }
        // The file's first bytes come before anything is made for it, so that data that fails
        // at once leaves nothing behind.
        const Byte* data = nullptr;
        std::size_t size = 0;
        if (!isFolder) {
            result = reader.Read(i, data, size);
            if (result != 0)
                break;
        }

        DropDotComponents(name.get());
        const wchar_t* relative = RelativeName(name.get());
        if (!StaysInside(relative)) {
            result = kUnsafeEntryName;
            break;
        }
        // Folder, one separator, the relative name and the terminator must fit.
        if (installFolder.size() + 1 + std::wcslen(relative) + 1 > kTargetPathCapacity) {
            result = kExtractFileError;
            break;
        }
        wchar_t target[kTargetPathCapacity] = {};
        std::copy(installFolder.begin(), installFolder.end(), target);
        if (*relative != L'\0' && !PathAppendW(target, relative)) {
            result = kExtractFileError;
            break;
        }
        if (isFolder) {
            if (!writer.MakeFolders(relative)) {
                result = kExtractFileError;
                break;
            }
            continue;
        }
        DWORD attributes = 0;
        if (archive.AttributesDefined(i)) {
            attributes = archive.Attributes(i);
            if ((attributes & kUnixExtensionAttribute) != 0)
                attributes &= kWindowsAttributeMask;
            if (attributes == 0)
                attributes = FILE_ATTRIBUTE_NORMAL;
        }
        result = WriteEntry(writer, relative, reader, i, data, size, attributes);
        if (result != 0)
            break;
        const double percent = static_cast<double>(i + 1) / static_cast<double>(count) * 100.0;
        PostMessageW(progressWindow, InstallProgressMessage, 0,
                     static_cast<LPARAM>(static_cast<int>(percent)));
    }
    return result;
}

} // namespace

int ExtractPayload(const std::wstring& archivePath, const std::wstring& installFolder,
                   HWND progressWindow) {
    if (!FolderExists(installFolder) && !MakeFolderChain(installFolder))
        return kFolderNotCreated;
    PayloadSource source;
    if (!source.Open(archivePath))
        return kArchiveNotOpened;
    return Unpack(source, installFolder, progressWindow, nullptr);
}

int ExtractPayload(HANDLE archiveFile, const std::wstring& installFolder, HWND progressWindow,
                   const std::atomic<bool>* stopRequested) {
    if (!FolderExists(installFolder) && !MakeFolderChain(installFolder))
        return kFolderNotCreated;
    PayloadSource source;
    if (!source.OpenDuplicate(archiveFile))
        return kArchiveNotOpened;
    return Unpack(source, installFolder, progressWindow, stopRequested);
}

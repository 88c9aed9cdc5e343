#include "installer/ExtractPayload.h"

#include "installer/FolderUtils.h"
#include "installer/InstallFolderWriter.h"
#include "installer/PayloadSource.h"
#include "sevenzip/Archive.h"
#include "sevenzip/EntryReader.h"
#include "sevenzip/ParallelExtraction.h"
#include "win32/DoubleArithmetic.h"
#include "win32/PathSeparator.h"
#include "win32/UniqueHandle.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

// The archive's folder whose contents make up the install folder.
constexpr wchar_t kDataPrefix[] = L"install/data";
constexpr std::size_t kDataPrefixLength = 12;
constexpr std::size_t kTargetPathCapacity = MAX_PATH;
constexpr DWORD kMaxWriteChunk = 4 * 1024 * 1024;
constexpr int kFolderNotCreated = SZ_ERROR_FAIL;
constexpr int kArchiveNotOpened = SZ_ERROR_READ;
constexpr int kUnsafeEntryName = SZ_ERROR_ARCHIVE;
static_assert(kExtractStopped == SZ_ERROR_PROGRESS, "a stop is the engine's stopped result");
// 7-Zip on Unix stores st_mode in the high 16 bits and flags that with this bit; only the bits
// below it are Windows attributes.
constexpr std::uint32_t kUnixExtensionAttribute = 0x8000;
constexpr std::uint32_t kWindowsAttributeMask = 0x7FFF;

// Drops the "." components of a name in place: "." names the folder it stands in, and some 7z
// writers put "./" before every name and list the top folder as ".". A name of only such
// components becomes empty.
void DropDotComponents(wchar_t* name) {
    wchar_t* out = name;
    bool kept = false; // a component was kept, so the next one keeps its separator
    const wchar_t* part = name;
    for (;;) {
        const wchar_t* end = part;
        while (*end != L'\0' && !win32::IsPathSeparator(*end))
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
    if (win32::IsPathSeparator(relative[0]) || std::wcschr(relative, L':') != nullptr)
        return false;
    const wchar_t* part = relative;
    for (const wchar_t* p = relative;; p++) {
        if (*p == L'\0' || win32::IsPathSeparator(*p)) {
            if (p - part == 2 && part[0] == L'.' && part[1] == L'.')
                return false;
            if (*p == L'\0')
                return true;
            part = p + 1;
        }
    }
}

// The folders extraction made or found, shared by the writing threads. Each remembers the first
// entry in archive order that needs it, so that taking away an entry past the end of a run
// leaves the folders of the entries before it.
class FolderRecord {
public:
    explicit FolderRecord(const std::wstring& installFolder) : m_installFolder(installFolder) {}

    // Makes the folders along `relative` (its own component included) through `writer`, which
    // refuses links; `entry` needs them. False when one cannot be made.
    bool Make(const InstallFolderWriter& writer, const std::wstring& relative,
              std::uint32_t entry) {
        // Held across the creation: a thread that finds a folder known may put files in it.
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::wstring> unknown;
        for (std::size_t end = 0; end <= relative.size(); end++) {
            if (end != relative.size() && !win32::IsPathSeparator(relative[end]))
                continue;
            if (end == 0)
                continue;
            std::wstring path = m_installFolder + win32::kPathSeparator + relative.substr(0, end);
            auto found = m_folders.find(path);
            if (found != m_folders.end()) {
                found->second = std::min(found->second, entry);
            } else if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
                unknown.push_back(std::move(path));
            } else {
                m_folders.emplace(std::move(path), entry);
            }
        }
        if (!writer.MakeFolders(relative))
            return false;
        for (std::wstring& path : unknown) {
            m_madeBy.emplace_back(entry, path);
            m_folders.emplace(std::move(path), entry);
        }
        return true;
    }

    // Removes the folders `entry` made and no earlier entry needs, deepest first. Single
    // threaded, once the writing threads have ended.
    void Remove(std::uint32_t entry) {
        for (auto it = m_madeBy.rbegin(); it != m_madeBy.rend(); ++it)
            if (it->first == entry && m_folders[it->second] == entry)
                RemoveDirectoryW(it->second.c_str());
    }

private:
    const std::wstring& m_installFolder;
    std::mutex m_mutex;
    std::map<std::wstring, std::uint32_t> m_folders;              // the first entry needing it
    std::vector<std::pair<std::uint32_t, std::wstring>> m_madeBy; // in creation order
};

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
// A file that fails part way stays as far as it was written; `created` is set once it exists.
// The stored attributes (0: none) are set through the same handle, never by the name.
int WriteEntry(const InstallFolderWriter& writer, const std::wstring& relative,
               sevenzip::EntryReader& reader, std::uint32_t entry, const Byte* data,
               std::size_t size, DWORD attributes, bool& created) {
    win32::UniqueFileHandle file = writer.MakeFile(relative);
    if (!file)
        return kExtractFileError;
    created = true;
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

// Writes the entries into the install folder, several blocks' entries at once, and posts the
// progress in archive order.
class PayloadWriter final : public sevenzip::EntryWriter {
public:
    PayloadWriter(const sevenzip::Archive& archive, const InstallFolderWriter& writer,
                  const std::wstring& installFolder, HWND progressWindow)
        : m_archive(archive), m_writer(writer), m_installFolder(installFolder),
          m_progressWindow(progressWindow), m_folders(installFolder),
          m_files(archive.EntryCount()) {}

    int Write(std::uint32_t entry, sevenzip::EntryReader& reader) override {
        const bool isFolder = m_archive.IsDirectory(entry);
        // The file's first bytes come before anything is made for it, so that data that fails
        // at once leaves nothing behind.
        const Byte* data = nullptr;
        std::size_t size = 0;
        if (!isFolder) {
            const int result = reader.Read(entry, data, size);
            if (result != 0)
                return result;
        }
        const std::u16string& stored = m_archive.Name(entry);
        std::wstring name(stored.begin(), stored.end());
        DropDotComponents(&name[0]);
        const wchar_t* relative = RelativeName(name.c_str());
        if (!StaysInside(relative))
            return kUnsafeEntryName;
        // Folder, one separator, the relative name and the terminator must fit.
        if (m_installFolder.size() + 1 + std::wcslen(relative) + 1 > kTargetPathCapacity)
            return kExtractFileError;
        std::wstring relativePath(relative);
        std::replace(relativePath.begin(), relativePath.end(), L'/', win32::kPathSeparator);
        wchar_t target[kTargetPathCapacity] = {};
        std::copy(m_installFolder.begin(), m_installFolder.end(), target);
        if (!relativePath.empty() && !PathAppendW(target, relativePath.c_str()))
            return kExtractFileError;
        if (isFolder)
            return m_folders.Make(m_writer, relativePath, entry) ? 0 : kExtractFileError;
        const std::size_t lastSeparator = relativePath.rfind(win32::kPathSeparator);
        if (lastSeparator != std::wstring::npos &&
            !m_folders.Make(m_writer, relativePath.substr(0, lastSeparator), entry))
            return kExtractFileError;
        DWORD attributes = 0;
        if (m_archive.AttributesDefined(entry)) {
            attributes = m_archive.Attributes(entry);
            if ((attributes & kUnixExtensionAttribute) != 0)
                attributes &= kWindowsAttributeMask;
            if (attributes == 0)
                attributes = FILE_ATTRIBUTE_NORMAL;
        }
        bool created = false;
        const int result =
            WriteEntry(m_writer, relativePath, reader, entry, data, size, attributes, created);
        if (created)
            m_files[entry] = target;
        return result;
    }

    void Completed(std::uint32_t entry) override {
        if (m_archive.IsDirectory(entry))
            return;
        const double percent =
            static_cast<double>(entry + 1) / static_cast<double>(m_archive.EntryCount()) * 100.0;
        PostMessageW(m_progressWindow, InstallProgressMessage, 0,
                     static_cast<LPARAM>(static_cast<int>(percent)));
    }

    void Remove(std::uint32_t entry) override {
        const std::wstring& file = m_files[entry];
        if (!file.empty()) {
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        }
        m_folders.Remove(entry);
    }

private:
    const sevenzip::Archive& m_archive;
    const InstallFolderWriter& m_writer;
    const std::wstring& m_installFolder;
    HWND m_progressWindow;
    FolderRecord m_folders;
    std::vector<std::wstring> m_files; // by entry: the file it created, written by its thread
};

} // namespace

namespace {

int Unpack(PayloadSource& source, const std::wstring& installFolder, HWND progressWindow,
           const std::atomic<bool>* stopRequested) {
    InstallFolderWriter installWriter;
    if (!installWriter.Open(installFolder))
        return kFolderNotCreated;
    sevenzip::Archive archive;
    const int result = archive.Open(source);
    if (result != SZ_OK)
        return result;
    // Independent blocks are decoded side by side, each writing its files as they decode; the
    // memory that takes is each running block's dictionaries and small fixed buffers, within
    // the default budget.
    PayloadWriter writer(archive, installWriter, installFolder, progressWindow);
    sevenzip::ExtractionOptions options;
    options.stopRequested = stopRequested;
    return sevenzip::ExtractEntries(archive, writer, options).result;
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

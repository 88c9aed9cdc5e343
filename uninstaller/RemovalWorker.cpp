#include "uninstaller/RemovalWorker.h"

#include "uninstaller/RemovalPaths.h"
#include "uninstaller/UninstallerConstants.h"
#include "win32/DoubleArithmetic.h"
#include "win32/FinalPath.h"
#include "win32/PathSeparator.h"

#include <vector>

namespace {

constexpr wchar_t kEveryEntry[] = L"*.*";

bool IsHidden(const WIN32_FIND_DATAW& entry) {
    return entry.cFileName[0] == L'.';
}

bool IsFolder(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction or symbolic link: entering it would walk (and delete) the folder it points to,
// which may be anywhere, or the install folder itself again.
bool IsLink(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::wstring WithSeparator(const std::wstring& path) {
    if (!path.empty() && path.back() == win32::kPathSeparator)
        return path;
    return path + win32::kPathSeparator;
}

// A folder is held open while the walk is inside it, without sharing the right to delete, so
// that neither it nor any folder above it can be renamed or replaced meanwhile; its handle
// deletes it in the end.
constexpr DWORD kFolderAccess =
    FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | DELETE | SYNCHRONIZE;
constexpr DWORD kFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kFileAccess = DELETE | FILE_READ_ATTRIBUTES;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Enough for a few hundred names per call.
constexpr std::size_t kListingBufferBytes = 64 * 1024;

std::wstring StripSeparator(const std::wstring& path) {
    std::wstring result = path;
    while (result.size() > 1 && result.back() == win32::kPathSeparator)
        result.pop_back();
    return result;
}

// The path the file system gives the open handle, links resolved; empty on failure.
std::wstring FinalPath(HANDLE handle) {
    const std::wstring path = win32::FinalPathOf(handle);
    return path.empty() ? path : ComparablePath(path);
}

// One name of a folder as it was listed, with the identity of what bore it then.
struct ListedEntry {
    std::wstring name;
    DWORD attributes{0};
    LARGE_INTEGER id{};
};

// The folder's entries, read through its handle rather than by its path.
std::vector<ListedEntry> ListFolder(HANDLE folder) {
    std::vector<ListedEntry> entries;
    // LONGLONG elements keep the records 8-byte aligned.
    std::vector<LONGLONG> buffer(kListingBufferBytes / sizeof(LONGLONG));
    while (GetFileInformationByHandleEx(folder, FileIdBothDirectoryInfo, buffer.data(),
                                        static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)))) {
        const BYTE* record = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(record);
            ListedEntry entry;
            entry.name.assign(info->FileName, info->FileNameLength / sizeof(wchar_t));
            entry.attributes = info->FileAttributes;
            entry.id = info->FileId;
            entries.push_back(std::move(entry));
            if (info->NextEntryOffset == 0)
                break;
            record += info->NextEntryOffset;
        }
    }
    return entries;
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& info, const LARGE_INTEGER& id) {
    return info.nFileIndexLow == static_cast<DWORD>(id.LowPart) &&
           info.nFileIndexHigh == static_cast<DWORD>(id.HighPart);
}

// Marks the open file or folder for deletion when its last handle closes.
bool DeleteThrough(HANDLE handle) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof(disposition)) != FALSE;
}

void ResetAttributesThrough(HANDLE handle) {
    FILE_BASIC_INFO info{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof(info)))
        return;
    info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof(info));
}

// Opens the name itself, a link as the link: never what it points to.
win32::UniqueFileHandle OpenUnfollowed(const std::wstring& path, DWORD access, DWORD share) {
    return win32::UniqueFileHandle(
        CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Removes a link to a folder, not what it points to, as rmdir does. A read-only link refuses
// removal; its attributes are cleared through a handle to the link itself, since
// SetFileAttributesW may follow it to the target.
void RemoveFolderLink(const std::wstring& link) {
    if (RemoveDirectoryW(link.c_str()))
        return;
    win32::UniqueFileHandle handle(
        CreateFileW(link.c_str(), FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle)
        return;
    FILE_BASIC_INFO info{};
    if (!GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &info, sizeof(info)))
        return;
    info.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (!SetFileInformationByHandle(handle.get(), FileBasicInfo, &info, sizeof(info)))
        return;
    handle.reset();
    RemoveDirectoryW(link.c_str());
}

// One folder (or link) is through: progress to the window, then the pause. False when the
// removal was stopped meanwhile.
bool FolderDone(unsigned long& done, unsigned long total, const TreeRemoval& removal) {
    ++done;
    if (removal.window)
        PostMessageW(removal.window, uninstall::RemovalProgressMessage, 0,
                     RemovalPercent(done, total));
    if (removal.stop)
        return !removal.stop->WaitFor(removal.folderPauseMs);
    Sleep(removal.folderPauseMs);
    return true;
}

bool IsStopped(const TreeRemoval& removal) {
    return removal.stop && removal.stop->IsSet();
}

// Deletes a file of the folder through a handle to the name itself, once that handle is shown
// to be the name the folder listed (a link opened as a link, not a file it leads to).
void DeleteListedFile(const std::wstring& path, const std::wstring& expectedFinal) {
    win32::UniqueFileHandle file = OpenUnfollowed(path, kFileAccess, kShareAll);
    if (file && SamePath(FinalPath(file.get()), expectedFinal))
        DeleteThrough(file.get());
}

bool DeleteFolder(win32::UniqueFileHandle& folder, const std::wstring& walkPath,
                  const std::wstring& finalPath, unsigned long& done, unsigned long total,
                  const TreeRemoval& removal);

// A sub folder as listed: entered only when what now bears its name is still that folder, a
// real folder (no link) lying where the listing put it. A link swapped in meanwhile is
// removed as the link; anything else swapped in is left.
bool DeleteListedFolder(const ListedEntry& entry, const std::wstring& walkPath,
                        const std::wstring& expectedFinal, unsigned long& done, unsigned long total,
                        const TreeRemoval& removal) {
    win32::UniqueFileHandle sub = OpenUnfollowed(walkPath, kFolderAccess, kFolderShare);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!sub || !GetFileInformationByHandle(sub.get(), &info))
        return FolderDone(done, total, removal);
    const bool atItsPlace = SamePath(FinalPath(sub.get()), expectedFinal);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        sub.reset();
        if (atItsPlace)
            RemoveFolderLink(walkPath);
        return FolderDone(done, total, removal);
    }
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !atItsPlace ||
        !SameIdentity(info, entry.id))
        return FolderDone(done, total, removal);
    return DeleteFolder(sub, walkPath, expectedFinal, done, total, removal);
}

// Deletes what the open folder holds, then the folder through its handle.
bool DeleteFolder(win32::UniqueFileHandle& folder, const std::wstring& walkPath,
                  const std::wstring& finalPath, unsigned long& done, unsigned long total,
                  const TreeRemoval& removal) {
    if (IsStopped(removal))
        return false;
    for (const ListedEntry& entry : ListFolder(folder.get())) {
        if (entry.name.empty() || entry.name[0] == L'.')
            continue;
        const std::wstring entryPath = walkPath + win32::kPathSeparator + entry.name;
        const std::wstring entryFinal = finalPath + win32::kPathSeparator + entry.name;
        const bool isFolder = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isLink = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (isFolder && isLink) {
            if (IsStopped(removal))
                return false;
            RemoveFolderLink(entryPath);
            if (!FolderDone(done, total, removal))
                return false;
        } else if (isFolder) {
            if (!DeleteListedFolder(entry, entryPath, entryFinal, done, total, removal))
                return false;
        } else if (!SamePath(entryPath, removal.ownPath)) {
            DeleteListedFile(entryPath, entryFinal);
        }
    }
    ResetAttributesThrough(folder.get());
    DeleteThrough(folder.get());
    folder.reset();
    return FolderDone(done, total, removal);
}

} // namespace

int RemovalPercent(unsigned long done, unsigned long total) {
    if (total == 0)
        return 100;
    return static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * 100.0);
}

void CountFolders(const std::wstring& path, unsigned long& counter) {
    const std::wstring folder = WithSeparator(path);
    WIN32_FIND_DATAW entry{};
    win32::UniqueFindHandle find(FindFirstFileW((folder + kEveryEntry).c_str(), &entry));
    if (find) {
        do {
            if (!IsFolder(entry) || IsHidden(entry))
                continue;
            if (IsLink(entry))
                ++counter;
            else
                CountFolders(folder + entry.cFileName, counter);
        } while (FindNextFileW(find.get(), &entry));
    }
    ++counter;
}

bool DeleteTree(const std::wstring& path, unsigned long& done, unsigned long total,
                const TreeRemoval& removal) {
    if (IsStopped(removal))
        return false;
    // The root itself was judged with its links followed; what lies below it must stay below
    // the folder it resolves to now.
    win32::UniqueFileHandle root(CreateFileW(path.c_str(), kFolderAccess, kFolderShare, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!root || !GetFileInformationByHandle(root.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return FolderDone(done, total, removal);
    const std::wstring finalRoot = FinalPath(root.get());
    if (finalRoot.empty())
        return FolderDone(done, total, removal);
    return DeleteFolder(root, StripSeparator(path), finalRoot, done, total, removal);
}

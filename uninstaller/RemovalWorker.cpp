#include "uninstaller/RemovalWorker.h"

#include "uninstaller/RemovalPaths.h"
#include "uninstaller/UninstallerConstants.h"
#include "win32/DoubleArithmetic.h"

#include <process.h>

namespace {

constexpr wchar_t kSeparator = L'\\';
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
    if (!path.empty() && path.back() == kSeparator)
        return path;
    return path + kSeparator;
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

} // namespace

StopSignal::StopSignal() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void StopSignal::Set() {
    SetEvent(m_event.get());
}

bool StopSignal::IsSet() const {
    return WaitForSingleObject(m_event.get(), 0) == WAIT_OBJECT_0;
}

bool StopSignal::WaitFor(DWORD ms) const {
    return WaitForSingleObject(m_event.get(), ms) == WAIT_OBJECT_0;
}

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
    const std::wstring folder = WithSeparator(path);
    {
        WIN32_FIND_DATAW entry{};
        win32::UniqueFindHandle find(FindFirstFileW((folder + kEveryEntry).c_str(), &entry));
        if (find) {
            do {
                if (IsHidden(entry))
                    continue;
                const std::wstring entryPath = folder + entry.cFileName;
                if (IsFolder(entry) && IsLink(entry)) {
                    if (IsStopped(removal))
                        return false;
                    RemoveFolderLink(entryPath);
                    if (!FolderDone(done, total, removal))
                        return false;
                } else if (IsFolder(entry)) {
                    if (!DeleteTree(entryPath, done, total, removal))
                        return false;
                } else if (!SamePath(entryPath, removal.ownPath)) {
                    DeleteFileW(entryPath.c_str());
                }
            } while (FindNextFileW(find.get(), &entry));
        }
    }
    const std::wstring self = folder.substr(0, folder.size() - 1);
    SetFileAttributesW(self.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(self.c_str());
    return FolderDone(done, total, removal);
}

RemovalThread::~RemovalThread() {
    RequestStop();
    Wait();
}

bool RemovalThread::Start(RemovalJob job) {
    // An empty root would make the walk start at the current drive's root.
    if (m_thread || IsVolumeOrShareRoot(job.root))
        return false;
    m_job = std::move(job);
    const uintptr_t thread = _beginthreadex(nullptr, 0, RemovalWorker, this, 0, nullptr);
    m_thread.reset(reinterpret_cast<HANDLE>(thread));
    return static_cast<bool>(m_thread);
}

void RemovalThread::RequestStop() {
    m_stop.Set();
}

void RemovalThread::Wait() {
    if (m_thread)
        WaitForSingleObject(m_thread.get(), INFINITE);
}

unsigned __stdcall RemovalThread::RemovalWorker(void* self) {
    auto& thread = *static_cast<RemovalThread*>(self);
    const RemovalJob& job = thread.m_job;
    try {
        unsigned long total = 0;
        CountFolders(job.root, total);
        unsigned long done = 0;
        const TreeRemoval removal{job.window, job.ownPath, job.folderPauseMs, &thread.m_stop};
        if (DeleteTree(job.root, done, total, removal))
            PostMessageW(job.window, uninstall::RemovalFinishedMessage, 0, 0);
    } catch (...) {
        // Out of memory for a path: the files left are the delayed command's to remove, and
        // the dialog keeps waiting rather than offering to finish a removal that did not end.
    }
    return 0;
}

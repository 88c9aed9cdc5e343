#pragma once

#include "win32/StopSignal.h"
#include "win32/UniqueHandle.h"
#include "win32/WorkerThread.h"

#include <windows.h>

#include <string>

// The removal of the installed tree: counted first, then deleted depth first, one progress
// message per folder. Free of dialog code: it knows the dialog only as the window its
// messages go to, so a closed dialog is never touched.

// What DeleteTree needs besides the folder.
struct TreeRemoval {
    // Receives RemovalProgressMessage (WPARAM 0, LPARAM percent) after each folder.
    HWND window{nullptr};
    // The running uninstaller, which is never deleted.
    std::wstring ownPath;
    // Pause after each folder, which paces the progress bar.
    DWORD folderPauseMs{0};
    const win32::StopSignal* stop{nullptr};
};

// Adds to `counter` the folders of the tree at `path`, the folder itself included. Links to
// folders (reparse points) count as one folder and are not entered; names beginning with "."
// are not entered either. A folder that cannot be enumerated still counts as one.
void CountFolders(const std::wstring& path, unsigned long& counter);

// Deletes the tree at `path` depth first, in the order the file system lists it: names
// beginning with "." stay, the own file stays, a link to a folder is removed as the link
// itself (never entered), and each folder is removed after its content with its attributes
// reset. Each folder is opened without following links and held open (nobody can rename it
// meanwhile) while it is listed and emptied through that handle; a sub folder is entered only
// when what bears its name is still the listed folder, no link, and its final path lies where
// the listing put it below the root's. A file is deleted through a handle to the name itself
// whose final path is checked first. So a folder replaced by a link during the walk costs the
// link at most, never what it points to. After each folder (links included) `done` grows by one and
// the percentage done / total * 100 (double precision, truncated) is posted, then the removal
// pauses. Returns false when the stop signal was set: nothing more is deleted or posted.
bool DeleteTree(const std::wstring& path, unsigned long& done, unsigned long total,
                const TreeRemoval& removal);

// The percentage posted after `done` of `total` folders.
int RemovalPercent(unsigned long done, unsigned long total);

// One removal run on a thread of its own.
struct RemovalJob {
    HWND window{nullptr};
    std::wstring root;
    std::wstring ownPath;
    DWORD folderPauseMs{0};
};

// Owns the worker thread. Whoever owns this object outlives the dialog that starts the
// removal, so the thread never depends on the dialog; its destructor stops the worker and
// waits for it.
class RemovalThread {
public:
    RemovalThread() = default;
    RemovalThread(const RemovalThread&) = delete;
    RemovalThread& operator=(const RemovalThread&) = delete;

    // Starts RemovalWorker on the job, once; never on a root that is no folder below a volume
    // or share (IsVolumeOrShareRoot). After CountFolders and DeleteTree over the root it posts
    // RemovalFinishedMessage to the job's window, unless stopped.
    bool Start(RemovalJob job);
    bool IsStarted() const { return m_thread.IsStarted(); }
    void RequestStop() { m_thread.RequestStop(); }
    // Waits until the worker has returned (at once when none was started).
    void Wait() { m_thread.Join(); }

private:
    void Run();

    RemovalJob m_job;
    win32::WorkerThread m_thread;
};

#pragma once

#include "win32/WorkerThread.h"

#include <windows.h>

#include <string>

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

    // Starts the removal on the job, once; never on a root that is no folder below a volume
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

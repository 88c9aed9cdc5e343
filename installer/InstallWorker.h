#pragma once

#include "win32/UniqueHandle.h"
#include "win32/WorkerThread.h"

#include <windows.h>

#include <string>

// Posted by the install worker to the dialog for every visible change besides the progress
// value: WPARAM an InstallState, LPARAM 0. Posted on the same queue as InstallProgressMessage,
// so each one is applied after every progress message posted before it.
constexpr UINT InstallStateMessage = WM_USER + 2001;

enum class InstallState : WPARAM {
    Started = 1, // "正在安装1%..."
    Unpacked,    // value 100 and its text
    Failed,      // "安装失败", close button visible
    Finished,    // finish page, title "完成安装", close button visible
};

// What the worker needs, copied from the dialog when the installation starts: the worker never
// touches the dialog object, which may be gone before the worker ends. A silent installation
// has no dialog (null): the worker posts no states then, and the unpack's progress messages
// land in the unpacking thread's own queue, which nobody reads.
struct InstallJob {
    std::wstring installFolder;
    bool simplifiedEdition = true;
    HWND dialog = nullptr;
};

// How the worker's run ended, for a silent installation's exit code.
enum class InstallOutcome {
    NotRun,
    Installed,
    // The payload resource is missing or empty, or could not be copied or staged.
    PayloadFailed,
    // The unpack reported an error.
    ExtractionFailed,
    // Unpacked, but the uninstall entry or a product key could not be written completely.
    RegistrationFailed,
    // Stopped on request before anything was registered.
    Stopped,
};

// The one installation of the process, on a thread of its own: payload staged and unpacked,
// shortcuts, uninstall entry and product keys written. It reaches the dialog only through
// messages posted to the dialog's window. Owned by the program's entry point, which outlives
// the window: when the window closes early the entry point asks the worker to stop and waits
// for it, so the process never ends in the middle of a file or a registry write.
class InstallWorker {
public:
    InstallWorker() = default;
    InstallWorker(const InstallWorker&) = delete;
    InstallWorker& operator=(const InstallWorker&) = delete;
    // A running thread is stopped and waited for.
    ~InstallWorker() = default;

    // Starts the thread on a copy of `job`. Returns a handle to the thread for the caller to
    // hold; an empty handle when a worker was started before, or when the thread cannot start
    // (the dialog then gets InstallState::Failed).
    win32::UniqueKernelHandle Start(const InstallJob& job);

    // Asks the worker to stop at the next archive entry and to register nothing. The staging
    // file is removed all the same.
    void RequestStop() { m_thread.RequestStop(); }

    // Waits until the thread, if one was started, has ended.
    void Wait() { m_thread.Join(); }

    // How the run ended; NotRun before a thread has ended. Read after Wait.
    InstallOutcome Outcome() const { return m_outcome; }

private:
    void Run();
    bool StopRequested() const { return m_thread.Stop().IsSet(); }
    void Post(InstallState state) const;
    InstallOutcome Unpack();
    bool Register() const;

    InstallJob m_job;
    InstallOutcome m_outcome{InstallOutcome::NotRun};
    win32::WorkerThread m_thread;
};

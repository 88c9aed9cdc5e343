#include "installer/InstallWorker.h"

#include "installer/ExtractPayload.h"
#include "installer/InstallerResources.h"
#include "installer/Registration.h"
#include "installer/ResourceBytes.h"
#include "installer/Shortcuts.h"
#include "installer/StagingFile.h"

#include <process.h>

#include <algorithm>
#include <memory>
#include <new>

InstallWorker::~InstallWorker() {
    RequestStop();
    Wait();
}

win32::UniqueKernelHandle InstallWorker::Start(const InstallJob& job) {
    if (m_thread)
        return {};
    m_job = job;
    const uintptr_t thread =
        _beginthreadex(nullptr, 0, &InstallWorker::ThreadEntry, this, 0, nullptr);
    if (thread == 0) {
        // The page already shows the installation running; without a worker it would stay so.
        Post(InstallState::Failed);
        return {};
    }
    m_thread.reset(reinterpret_cast<HANDLE>(thread));
    HANDLE forCaller = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), m_thread.get(), GetCurrentProcess(), &forCaller, 0,
                         FALSE, DUPLICATE_SAME_ACCESS))
        return {};
    return win32::UniqueKernelHandle(forCaller);
}

void InstallWorker::Wait() {
    if (m_thread)
        WaitForSingleObject(m_thread.get(), INFINITE);
}

unsigned __stdcall InstallWorker::ThreadEntry(void* argument) {
    if (argument) {
        try {
            static_cast<InstallWorker*>(argument)->Run();
        } catch (...) {
            // Only allocation can throw here; the dialog then stays where it is and the window
            // can still be closed.
        }
    }
    return 0;
}

void InstallWorker::Post(InstallState state) const {
    PostMessageW(m_job.dialog, InstallStateMessage, static_cast<WPARAM>(state), 0);
}

void InstallWorker::Run() {
    Post(InstallState::Started);
    if (!Unpack()) {
        Post(InstallState::Failed);
        return;
    }
    // A close while the last entries were written: what is on disk stays, but nothing points
    // to it.
    if (m_stopRequested.load())
        return;
    Register();
    Post(InstallState::Finished);
}

// Stages the payload and unpacks it; true when every entry was unpacked. The staging file is
// gone again when this returns, whatever happened.
bool InstallWorker::Unpack() {
    const std::optional<ResourceBytes> resource =
        FindResourceBytes(GetModuleHandleW(nullptr), kPayloadResourceType, ORVINSTALL_PAYLOAD_ID);
    // A package without its payload fails visibly rather than leaving the window at 1 % with no
    // way to close it but the system's.
    if (!resource)
        return false;
    // The copy is freed before the unpack starts, so the unpack's own buffers do not add to it.
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[resource->size]);
    if (!copy)
        return false;
    std::copy(resource->data, resource->data + resource->size, copy.get());

    StagingFile staging;
    const bool staged = staging.Create(StagingFile::DefaultPath(), copy.get(), resource->size);
    copy.reset();
    if (!staged || m_stopRequested.load())
        return false;
    const int result =
        ExtractPayload(staging.Handle(), m_job.installFolder, m_job.dialog, &m_stopRequested);
    staging.Remove();
    if (result != 0)
        return false;
    Post(InstallState::Unpacked);
    return true;
}

void InstallWorker::Register() const {
    ShortcutInfo shortcut;
    shortcut.target = ClientExecutablePath(m_job.installFolder);
    CreateDesktopShortcut(shortcut);
    CreateProgramsShortcut(shortcut);
    WriteUninstallEntry(shortcut, UninstallerPath(m_job.installFolder));
    ProductKeys(m_job.installFolder, shortcut.target, m_job.simplifiedEdition);
}

#include "installer/InstallWorker.h"

#include "installer/ExtractPayload.h"
#include "installer/InstalledSize.h"
#include "installer/InstallerResources.h"
#include "installer/ModuleVersion.h"
#include "installer/Registration.h"
#include "installer/ResourceBytes.h"
#include "installer/Shortcuts.h"
#include "installer/StagingFile.h"

#include <algorithm>
#include <memory>
#include <new>

win32::UniqueKernelHandle InstallWorker::Start(const InstallJob& job) {
    if (m_thread.IsStarted())
        return {};
    m_job = job;
    // Only allocation can throw in the run; the dialog then stays where it is and the window can
    // still be closed.
    if (!m_thread.Start([this] { Run(); })) {
        // The page already shows the installation running; without a worker it would stay so.
        Post(InstallState::Failed);
        return {};
    }
    return m_thread.DuplicateHandle();
}

void InstallWorker::Post(InstallState state) const {
    // A null window would post to this thread's own queue, which nobody reads.
    if (m_job.dialog)
        PostMessageW(m_job.dialog, InstallStateMessage, static_cast<WPARAM>(state), 0);
}

void InstallWorker::Run() {
    Post(InstallState::Started);
    const InstallOutcome unpacked = Unpack();
    if (unpacked != InstallOutcome::Installed) {
        m_outcome = StopRequested() ? InstallOutcome::Stopped : unpacked;
        Post(InstallState::Failed);
        return;
    }
    // A close while the last entries were written: what is on disk stays, but nothing points
    // to it.
    if (StopRequested()) {
        m_outcome = InstallOutcome::Stopped;
        return;
    }
    m_outcome = Register() ? InstallOutcome::Installed : InstallOutcome::RegistrationFailed;
    Post(InstallState::Finished);
}

// Stages the payload and unpacks it; Installed when every entry was unpacked. The staging file
// is gone again when this returns, whatever happened.
InstallOutcome InstallWorker::Unpack() {
    const std::optional<ResourceBytes> resource =
        FindResourceBytes(GetModuleHandleW(nullptr), kPayloadResourceType, ORVINSTALL_PAYLOAD_ID);
    // A package without its payload fails visibly rather than leaving the window at 1 % with no
    // way to close it but the system's.
    if (!resource)
        return InstallOutcome::PayloadFailed;
    // The copy is freed before the unpack starts, so the unpack's own buffers do not add to it.
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[resource->size]);
    if (!copy)
        return InstallOutcome::PayloadFailed;
    std::copy(resource->data, resource->data + resource->size, copy.get());

    StagingFile staging;
    const bool staged = staging.Create(StagingFile::DefaultPath(), copy.get(), resource->size);
    copy.reset();
    if (!staged)
        return InstallOutcome::PayloadFailed;
    if (StopRequested())
        return InstallOutcome::Stopped;
    const int result = ExtractPayload(staging.Handle(), m_job.installFolder, m_job.dialog,
                                      &m_thread.Stop().Flag());
    staging.Remove();
    if (result != 0)
        return InstallOutcome::ExtractionFailed;
    Post(InstallState::Unpacked);
    return InstallOutcome::Installed;
}

// True when the uninstall entry and the product keys were written completely; the shortcuts'
// results are not examined, as the dialog's finish page never reported them.
bool InstallWorker::Register() const {
    ShortcutInfo shortcut;
    shortcut.target = ClientExecutablePath(m_job.installFolder);
    CreateDesktopShortcut(shortcut);
    CreateProgramsShortcut(shortcut);

    UninstallEntryFacts entry;
    entry.uninstallerPath = UninstallerPath(m_job.installFolder);
    entry.installFolder = m_job.installFolder;
    const std::wstring packageVersion = ModuleVersionText(GetModuleHandleW(nullptr));
    if (!packageVersion.empty())
        entry.version = packageVersion;
    entry.estimatedSizeKb = KilobytesFor(TreeBytes(m_job.installFolder));
    const bool entryWritten = WriteUninstallEntry(shortcut, entry);
    const bool keysWritten =
        ProductKeys(m_job.installFolder, shortcut.target, m_job.simplifiedEdition);
    return entryWritten && keysWritten;
}

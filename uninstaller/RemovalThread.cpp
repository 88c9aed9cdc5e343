#include "uninstaller/RemovalThread.h"

#include "uninstaller/RemovalPaths.h"
#include "uninstaller/RemovalWorker.h"
#include "uninstaller/UninstallerConstants.h"

#include <utility>

bool RemovalThread::Start(RemovalJob job) {
    // An empty root would make the walk start at the current drive's root.
    if (m_thread.IsStarted() || IsVolumeOrShareRoot(job.root))
        return false;
    m_job = std::move(job);
    return m_thread.Start([this] { Run(); });
}

// Out of memory for a path ends the run without the finished message: the files left are the
// delayed command's to remove, and the dialog keeps waiting rather than offering to finish a
// removal that did not end.
void RemovalThread::Run() {
    unsigned long total = 0;
    CountFolders(m_job.root, total);
    unsigned long done = 0;
    const TreeRemoval removal{m_job.window, m_job.ownPath, m_job.folderPauseMs, &m_thread.Stop()};
    if (DeleteTree(m_job.root, done, total, removal))
        PostMessageW(m_job.window, uninstall::RemovalFinishedMessage, 0, 0);
}

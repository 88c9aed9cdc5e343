#include "uninstaller/SilentUninstall.h"

#include "uninstaller/FinishUninstall.h"
#include "uninstaller/RemovalGuard.h"
#include "uninstaller/RemovalThread.h"

#include <windows.h>
#include <shellapi.h>

namespace {

constexpr wchar_t kSilentSwitch[] = L"/S";

} // namespace

bool IsSilentUninstall(const wchar_t* commandLine) {
    if (!commandLine)
        return false;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(commandLine, &count);
    if (!arguments)
        return false;
    bool silent = false;
    // The first is the program's own name.
    for (int i = 1; i < count; ++i)
        silent = silent || _wcsicmp(arguments[i], kSilentSwitch) == 0;
    LocalFree(arguments);
    return silent;
}

int RunSilentUninstall(const std::wstring& ownPath) {
    const RemovalVerdict verdict = CheckRemoval(ownPath);
    if (!verdict.allowed())
        return kSilentUninstallRefused;
    // Without a window nothing paces or shows the progress, so the folders go without a pause.
    RemovalThread removal;
    RemovalJob job;
    job.root = verdict.root;
    job.ownPath = ownPath;
    if (!removal.Start(std::move(job)))
        return kSilentRemovalNotStarted;
    removal.Wait();
    return FinishUninstall(verdict.root, ownPath) ? kSilentUninstalled
                                                  : kSilentDelayedRemovalFailed;
}

#include "installer/ChatInstallMainDailog.h"
#include "installer/InstallDialogNames.h"
#include "installer/InstallWorker.h"
#include "installer/SetupProgram.h"
#include "installer/SilentInstall.h"

#include <new>

// With /S the installation runs without a window and its exit code tells the outcome
// (SilentInstall.h). The dialog ignores every argument and exits with 0 on every path but the
// framework's own skin failure.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR commandLine, int /*show*/) {
    const InstallCommandLine options = ParseInstallCommandLine(commandLine ? commandLine : L"");
    if (options.silent)
        return RunSilentInstall(options);

    const setupui::SetupProgram program(instance);
    // Declared before the window exists and ended after it is gone: a close while the worker
    // runs asks it to stop, and the process ends only once it has.
    InstallWorker worker;
    setupui::SetupProgram::RunDialog(new (std::nothrow) CChatInstallMainDailog(worker),
                                     installui::kWindowTitle);
    worker.RequestStop();
    worker.Wait();
    return 0;
}

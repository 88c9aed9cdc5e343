#include "installer/SetupProgram.h"
#include "uninstaller/RemovalThread.h"
#include "uninstaller/SilentUninstall.h"
#include "uninstaller/UnInstallDialog.h"
#include "uninstaller/UninstallerConstants.h"
#include "win32/ModuleFileName.h"

#include <windows.h>

#include <new>

namespace {

constexpr WORD kProgramIconId = 1;

void SetProgramIcon(HINSTANCE instance, HWND window) {
    const auto big = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                   GetSystemMetrics(SM_CYICON), LR_SHARED));
    const auto small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId),
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (big)
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small)
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

} // namespace

// With /S the uninstall runs without a window and its exit code tells the outcome
// (SilentUninstall.h); the dialog ignores every argument.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    if (IsSilentUninstall(GetCommandLineW()))
        return RunSilentUninstall(win32::ModuleFileName(nullptr));

    const setupui::SetupProgram program(instance);
    // Declared before the dialog and left after the message loop: a worker still running when
    // the window was closed is stopped and waited for here.
    RemovalThread removal;
    setupui::SetupProgram::RunDialog(
        new (std::nothrow) CChatUnInstallMainDailog(removal, win32::ModuleFileName(nullptr)),
        uninstall::kWindowTitle, [instance](HWND window) { SetProgramIcon(instance, window); });
    removal.RequestStop();
    removal.Wait();
    return 0;
}

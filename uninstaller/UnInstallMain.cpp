#include "skinui/SkinWindowManager.h"
#include "skinui/resources/SkinResources.h"
#include "uninstaller/RemovalPaths.h"
#include "uninstaller/RemovalWorker.h"
#include "uninstaller/UnInstallDialog.h"
#include "uninstaller/UninstallerConstants.h"
#include "win32/ModuleFileName.h"

#include <windows.h>
#include <objbase.h>
#include <ole2.h>

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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    CoInitialize(nullptr);
    OleInitialize(nullptr);
    skinui::SkinWindowManager::SetInstance(instance);
    SetResourcePath(skinui::SkinWindowManager::GetInstancePath() +
                    uninstall::kResourceFolderSuffix);
    {
        // Declared before the dialog and left after the message loop: a worker still running
        // when the window was closed is stopped and waited for here.
        RemovalThread removal;
        auto* dialog = new CChatUnInstallMainDailog(removal, win32::ModuleFileName(nullptr));
        if (dialog->Create(nullptr, uninstall::kWindowTitle, uninstall::kWindowStyle,
                           uninstall::kWindowExStyle, 0, 0, 0, 0)) {
            SetProgramIcon(instance, dialog->GetHWND());
            dialog->ShowWindow(true, true);
            skinui::SkinWindowManager::MessageLoop();
        } else {
            delete dialog;
        }
        removal.RequestStop();
        removal.Wait();
    }
    OleUninitialize();
    CoUninitialize();
    return 0;
}

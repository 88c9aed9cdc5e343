#include "installer/ChatInstallMainDailog.h"
#include "installer/InstallDialogNames.h"
#include "installer/InstallWorker.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/resources/SkinResources.h"

#include <objbase.h>
#include <ole2.h>

#include <new>

namespace {

// The framework's resource folder: the executable's folder, one level up.
constexpr wchar_t kResourceFolderSuffix[] = L"..";

} // namespace

// The installer takes no arguments and exits with 0 on every path but the framework's own
// skin failure.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    CoInitialize(nullptr);
    OleInitialize(nullptr);
    skinui::SkinWindowManager::SetInstance(instance);
    skinui::resources::SetResourcePath(skinui::SkinWindowManager::GetInstancePath() +
                                       kResourceFolderSuffix);

    // Declared before the window exists and ended after it is gone: a close while the worker
    // runs asks it to stop, and the process ends only once it has.
    InstallWorker worker;
    if (auto* dialog = new (std::nothrow) CChatInstallMainDailog(worker)) {
        // Once created, the window owns the dialog. A creation that fails after the window
        // existed has deleted it already, so a failure leaves it alone and skips the loop.
        if (dialog->Create(nullptr, installui::kWindowTitle, installui::kWindowStyle,
                           installui::kWindowExStyle, 0, 0, 0, 0)) {
            dialog->ShowWindow(true, true);
            skinui::SkinWindowManager::MessageLoop();
        }
    }
    worker.RequestStop();
    worker.Wait();

    OleUninitialize();
    CoUninitialize();
    return 0;
}

#pragma once

#include "installer/SetupDialogNames.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/window/WindowImplBase.h"
#include "skinui/resources/SkinResources.h"
#include "win32/ComSession.h"

#include <windows.h>

#include <functional>

namespace setupui {

// The installer's and the uninstaller's process around their one dialog: COM and OLE from
// construction to destruction, and the framework told the executable's instance and its
// resource folder.
class SetupProgram {
public:
    explicit SetupProgram(HINSTANCE instance);
    SetupProgram(const SetupProgram&) = delete;
    SetupProgram& operator=(const SetupProgram&) = delete;

    // Creates the dialog's window titled `title`, lets `prepare` see it, shows it with the focus
    // and runs the message loop until the quit message. A null dialog (one that could not be
    // made) runs nothing.
    static void RunDialog(skinui::WindowImplBase* dialog, const wchar_t* title,
                          const std::function<void(HWND)>& prepare = {});

private:
    win32::ComSession m_com{win32::ComSession::With::Ole};
};

inline SetupProgram::SetupProgram(HINSTANCE instance) {
    skinui::SkinWindowManager::SetInstance(instance);
    skinui::resources::SetResourcePath(skinui::SkinWindowManager::GetInstancePath() +
                                       kResourceFolderSuffix);
}

inline void SetupProgram::RunDialog(skinui::WindowImplBase* dialog, const wchar_t* title,
                                    const std::function<void(HWND)>& prepare) {
    // Once created, the window owns the dialog and deletes it with its last message. A creation
    // that fails after the window existed has deleted it already, so a failure leaves it alone.
    if (!dialog || !dialog->Create(nullptr, title, kWindowStyle, kWindowExStyle, 0, 0, 0, 0))
        return;
    if (prepare)
        prepare(dialog->GetHWND());
    dialog->ShowWindow(true, true);
    skinui::SkinWindowManager::MessageLoop();
}

} // namespace setupui

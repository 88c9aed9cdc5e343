#include "installer/SetupProgram.h"

#include "installer/SetupDialog.h"
#include "installer/SetupDialogNames.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/resources/SkinResources.h"

namespace setupui {

SetupProgram::SetupProgram(HINSTANCE instance) {
    skinui::SkinWindowManager::SetInstance(instance);
    skinui::resources::SetResourcePath(skinui::SkinWindowManager::GetInstancePath() +
                                       kResourceFolderSuffix);
}

void SetupProgram::RunDialog(SetupDialog* dialog, const wchar_t* title,
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

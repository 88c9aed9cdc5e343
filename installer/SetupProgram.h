#pragma once

#include "win32/ComSession.h"

#include <windows.h>

#include <functional>

namespace setupui {

class SetupDialog;

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
    static void RunDialog(SetupDialog* dialog, const wchar_t* title,
                          const std::function<void(HWND)>& prepare = {});

private:
    win32::ComSession m_com{win32::ComSession::With::Ole};
};

} // namespace setupui

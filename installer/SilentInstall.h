#pragma once

#include <string>
#include <string_view>

// The installer without a window, for administrators deploying the client:
//
//   OrvInstall.exe /S [/EDITION=hans|hant] [/D=FOLDER]
//
// /S installs what the dialog's fast install would: the recorded or default folder, the
// Simplified edition, logon start on, the client not started. /EDITION=hant picks the
// Traditional edition. /D= must come last: the rest of the command line is the folder, blanks
// included and no quotes needed; trailing blanks and backslashes are dropped. Without /S the
// dialog runs and every argument is ignored. Nothing is registered unless the whole
// installation succeeded.

// Exit codes of a silent installation.
constexpr int kSilentInstalled = 0;
// An argument other than /S, /EDITION=hans, /EDITION=hant and a last /D=FOLDER. Nothing done.
constexpr int kSilentBadArguments = 2;
// The folder is not a full path (X:\... or \\server\share\...), cannot be represented in the
// system code page, or cannot be created. Nothing done.
constexpr int kSilentFolderFailed = 3;
// The payload is missing from the package or could not be staged in the temp folder. Nothing
// unpacked.
constexpr int kSilentPayloadFailed = 4;
// Unpacking failed; what was unpacked before the failure stays in the folder.
constexpr int kSilentExtractionFailed = 5;
// The uninstall entry, a product key or the logon value could not be written; the uninstall
// entry, the logon value and the shortcuts are removed again.
constexpr int kSilentRegistrationFailed = 6;
// (1 stays the framework's fatal skin error of the dialog.)

struct InstallCommandLine {
    bool silent{false};
    // False when an argument is not one of the above.
    bool understood{true};
    bool folderGiven{false};
    std::wstring folder;
    bool simplifiedEdition{true};
};

// The arguments as the entry point receives them (the program name already removed).
InstallCommandLine ParseInstallCommandLine(std::wstring_view arguments);

// True for X:\... and \\server\share\... .
bool IsFullFolderPath(const std::wstring& folder);

// Runs the silent installation of `options` to its end; returns its exit code.
int RunSilentInstall(const InstallCommandLine& options);

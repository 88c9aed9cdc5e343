#pragma once

#include "installer/Shortcuts.h"

#include <windows.h>

#include <string>

// The client's registration with the system: the product keys, the uninstall entry, the logon
// value, the one value read back, and the stopping of running copies before an installation.
// Registry access uses the process's own registry view (the 32-bit one for the shipped
// programs) and never creates a key it was not asked to. All failures are silent: the callers
// go on regardless, so nothing here reports more than a test needs.

// Where the client lands below an install folder (given without a trailing backslash).
std::wstring ClientExecutablePath(const std::wstring& installFolder);
std::wstring UninstallerPath(const std::wstring& installFolder);

// The install folder proposed when none is recorded: <Program Files>\Tolma\Orvia\tamro. Empty
// when Program Files is unknown, so that no relative folder is ever proposed.
std::wstring DefaultInstallFolder();

// Writes valueName = text as REG_SZ (the terminating NUL counted in the data size) into an
// existing key root\subKey. Returns false, writing nothing, when the key cannot be opened for
// setting values; it is never created here.
bool WriteStringValue(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                      const std::wstring& text);

// Creates HKLM\Software\Tolma\tamr and HKCU\Software\Tolma\orvia\tamr one level at a time and
// writes AppName and InstallDir into both, and locale ("hans" for the Simplified Chinese
// edition, "hant" for the Traditional one) into the per-user key. True when every value was
// written.
bool ProductKeys(const std::wstring& installFolder, const std::wstring& clientPath,
                 bool simplifiedEdition);

// What the uninstall entry records besides the names of its ShortcutInfo record.
struct UninstallEntryFacts {
    std::wstring uninstallerPath;
    std::wstring installFolder;
    std::wstring version{product::kDisplayVersion};
    // Installed size in KB, as Programs and Features shows it.
    DWORD estimatedSizeKb{0};
};

// Creates HKLM\...\Uninstall\<entry name> and writes DisplayIcon, DisplayName, DisplayVersion,
// Publisher and UninstallString in that order, then InstallLocation, EstimatedSize (REG_DWORD),
// NoModify = 1 and NoRepair = 1 (REG_DWORD; the client has nothing to modify or repair) and
// QuietUninstallString. UninstallString is the uninstaller path in double quotes,
// QuietUninstallString the same followed by " /S", DisplayIcon the bare path. An entry name
// that is empty or holds a backslash writes nothing, so the Uninstall key itself is never
// touched. True when every value was written.
bool WriteUninstallEntry(const ShortcutInfo& info, const UninstallEntryFacts& facts);

// The registry path of the uninstall entry below HKLM; empty for an entry name that is empty or
// holds a backslash, which would name the Uninstall key itself or a key elsewhere.
std::wstring UninstallEntryKey(const ShortcutInfo& info);

// Sets (enable) or deletes (!enable) the value "tamro" = clientPath of HKLM's Run key. Deleting
// a value that does not exist changes nothing. False when the value could not be set.
bool SetLogonStart(bool enable, const std::wstring& clientPath);

// InstallDir of HKCU\Software\Tolma\tamr, whatever its type, up to its first NUL. Empty when
// the key or the value is missing, and when the text does not fit 255 characters: a cut-off
// path would name another folder, and the caller then proposes the default one.
std::wstring ReadRecordedInstallDir();

// Terminates every running process whose image name is "tamro.exe" without regard to case
// (the calling process excepted), without waiting for them to end. Processes that cannot be
// opened or terminated are skipped.
void StopRunningClient();

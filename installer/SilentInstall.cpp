#include "installer/SilentInstall.h"

#include "installer/InstallFolder.h"
#include "installer/InstallWorker.h"
#include "installer/ProductNames.h"
#include "installer/Registration.h"
#include "installer/Shortcuts.h"
#include "win32/PathSeparator.h"
#include "win32/UniqueHandle.h"

#include <windows.h>

#include <cwctype>

namespace {

constexpr std::wstring_view kSilentSwitch = L"/S";
constexpr std::wstring_view kEditionSwitch = L"/EDITION=";
constexpr std::wstring_view kFolderSwitch = L"/D=";

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i]))
            return false;
    return true;
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

// A backslash left at the end would double in every path built below the folder, and the
// uninstaller compares the registered path with its own.
std::wstring TrimFolder(std::wstring_view folder) {
    while (!folder.empty() && (IsBlank(folder.back()) || folder.back() == win32::kPathSeparator))
        folder.remove_suffix(1);
    return std::wstring(folder);
}

// After a registration that failed halfway: nothing may point to an installation that is not
// complete. The product keys stay; they only record the folder.
void UndoRegistration() {
    const ShortcutInfo names;
    const std::wstring desktopLink = DesktopShortcutPath(names);
    if (!desktopLink.empty())
        DeleteFileW(desktopLink.c_str());
    const std::wstring programs = ProgramsShortcutFolder(names);
    if (!programs.empty()) {
        DeleteFileW((programs + win32::kPathSeparator + ShortcutFileName(names)).c_str());
        RemoveDirectoryW(programs.c_str());
    }
    const std::wstring entryKey = UninstallEntryKey(names);
    if (!entryKey.empty())
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, entryKey.c_str());
    SetLogonStart(false, std::wstring());
}

int ExitCodeFor(InstallOutcome outcome) {
    switch (outcome) {
    case InstallOutcome::Installed:
        return kSilentInstalled;
    case InstallOutcome::PayloadFailed:
        return kSilentPayloadFailed;
    case InstallOutcome::RegistrationFailed:
        return kSilentRegistrationFailed;
    case InstallOutcome::NotRun:
    case InstallOutcome::ExtractionFailed:
    case InstallOutcome::Stopped:
        break;
    }
    return kSilentExtractionFailed;
}

} // namespace

InstallCommandLine ParseInstallCommandLine(std::wstring_view arguments) {
    InstallCommandLine options;
    std::size_t at = 0;
    while (true) {
        while (at < arguments.size() && IsBlank(arguments[at]))
            ++at;
        if (at == arguments.size())
            break;
        const std::wstring_view rest = arguments.substr(at);
        if (StartsWith(rest, kFolderSwitch)) {
            options.folderGiven = true;
            options.folder = TrimFolder(rest.substr(kFolderSwitch.size()));
            break;
        }
        std::size_t end = at;
        while (end < arguments.size() && !IsBlank(arguments[end]))
            ++end;
        const std::wstring_view token = arguments.substr(at, end - at);
        at = end;
        if (SameText(token, kSilentSwitch)) {
            options.silent = true;
        } else if (StartsWith(token, kEditionSwitch)) {
            const std::wstring_view edition = token.substr(kEditionSwitch.size());
            if (SameText(edition, product::kSimplifiedLocale))
                options.simplifiedEdition = true;
            else if (SameText(edition, product::kTraditionalLocale))
                options.simplifiedEdition = false;
            else
                options.understood = false;
        } else {
            options.understood = false;
        }
    }
    return options;
}

bool IsFullFolderPath(const std::wstring& folder) {
    if (folder.size() >= 3 && IsDriveLetter(folder[0]) && folder[1] == L':' && folder[2] == L'\\')
        return true;
    // \\server\share with at least one character in each part.
    if (folder.size() < 5 || folder[0] != L'\\' || folder[1] != L'\\')
        return false;
    const std::size_t shareStart = folder.find(L'\\', 2);
    return shareStart != std::wstring::npos && shareStart > 2 && shareStart + 1 < folder.size();
}

int RunSilentInstall(const InstallCommandLine& options) {
    if (!options.understood)
        return kSilentBadArguments;
    std::wstring folder = options.folder;
    if (!options.folderGiven) {
        folder = ReadRecordedInstallDir();
        if (folder.empty())
            folder = DefaultInstallFolder();
    }
    if (!IsFullFolderPath(folder) || !PrepareInstallFolder(folder))
        return kSilentFolderFailed;
    // As the dialog does when the user leaves its first page: files in use could not be
    // replaced.
    StopRunningClient();

    InstallWorker worker;
    worker.Start({folder, options.simplifiedEdition, nullptr});
    worker.Wait();
    const int code = ExitCodeFor(worker.Outcome());
    if (code == kSilentInstalled && SetLogonStart(true, ClientExecutablePath(folder)))
        return kSilentInstalled;
    if (code == kSilentInstalled || code == kSilentRegistrationFailed) {
        UndoRegistration();
        return kSilentRegistrationFailed;
    }
    return code;
}

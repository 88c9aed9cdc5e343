#include "uninstaller/FinishUninstall.h"

#include "installer/Registration.h"
#include "uninstaller/RemovalGuard.h"
#include "uninstaller/RemovalPaths.h"
#include "win32/ComPtr.h"
#include "win32/ComSession.h"
#include "win32/CoTaskMem.h"
#include "win32/UniqueHandle.h"
#include "win32/PathSeparator.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <memory>
#include <vector>

namespace {

constexpr wchar_t kCommandInterpreter[] = L"cmd.exe";

// The link's target as its item list names it and as its path text says; the item list keeps
// names the ANSI code page cannot hold where the link file stores its path in that page only.
std::vector<std::wstring> ShortcutTargets(const std::wstring& link) {
    std::vector<std::wstring> targets;
    const win32::ComSession com;
    win32::ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.put_void())))
        return targets;
    const auto file = shellLink.query<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(link.c_str(), STGM_READ)))
        return targets;
    ITEMIDLIST* rawList = nullptr;
    if (SUCCEEDED(shellLink->GetIDList(&rawList)) && rawList) {
        const win32::CoTaskMemPtr<ITEMIDLIST> list(rawList);
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(list.get(), path) && path[0] != L'\0')
            targets.push_back(path);
    }
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)) && path[0] != L'\0')
        targets.push_back(path);
    return targets;
}

void RemoveShortcutInside(const std::wstring& link, const std::wstring& root) {
    if (ShortcutTargetsInside(link, root))
        DeleteFileW(link.c_str());
}

} // namespace

bool ShortcutTargetsInside(const std::wstring& link, const std::wstring& root) {
    for (const std::wstring& target : ShortcutTargets(link)) {
        if (SamePath(ComparablePath(target), ComparablePath(root)))
            continue;
        if (IsSameOrAbove(root, target) || IsSameOrAbove(LongPath(root), LongPath(target)))
            return true;
    }
    return false;
}

void RemoveDesktopShortcut(const ShortcutInfo& info, const std::wstring& root) {
    const std::wstring link = DesktopShortcutPath(info);
    if (!link.empty())
        RemoveShortcutInside(link, root);
}

void RemoveProgramsShortcut(const ShortcutInfo& info, const std::wstring& root) {
    const std::wstring folder = ProgramsShortcutFolder(info);
    if (folder.empty())
        return;
    RemoveShortcutInside(folder + win32::kPathSeparator + ShortcutFileName(info), root);
    if (PathIsDirectoryEmptyW(folder.c_str()))
        RemoveDirectoryW(folder.c_str());
}

void RemoveUninstallEntry(const ShortcutInfo& info, const std::wstring& ownPath) {
    const std::wstring entryKey = UninstallEntryKey(info);
    if (entryKey.empty() || !IsRegisteredUninstaller(ownPath))
        return;
    win32::UniqueRegistryKey uninstallKey;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, product::kUninstallKey, 0, KEY_ALL_ACCESS,
                      uninstallKey.put()) != ERROR_SUCCESS)
        return;
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, entryKey.c_str());
}

bool LaunchDelayedRemoval(const std::wstring& root) {
    const auto command = ComposeDelayedRemoval(root);
    if (!command)
        return false;
    if (command->rootInEnvironment &&
        !SetEnvironmentVariableW(kRemovalRootVariable, command->root.c_str()))
        return false;
    // By its full path: a cmd.exe in the current folder or elsewhere on the search path is not
    // the system's. The system folder is also its working folder, since cmd keeps its working
    // folder open and a folder in use cannot be removed.
    const std::wstring systemFolder = PathFromGetter(GetSystemDirectoryW);
    if (systemFolder.empty())
        return false;
    const std::wstring program = systemFolder + win32::kPathSeparator + kCommandInterpreter;
    std::wstring commandLine = L"\"" + program + L"\" " + command->parameters;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, systemFolder.c_str(), &startup, &process))
        return false;
    const win32::UniqueKernelHandle processHandle(process.hProcess);
    const win32::UniqueKernelHandle threadHandle(process.hThread);
    return true;
}

bool FinishUninstall(const std::wstring& root, const std::wstring& ownPath) {
    const ShortcutInfo info;
    RemoveDesktopShortcut(info, root);
    RemoveProgramsShortcut(info, root);
    RemoveUninstallEntry(info, ownPath);
    return LaunchDelayedRemoval(root);
}

#include "uninstaller/FinishUninstall.h"

#include "installer/TextConversion.h"
#include "uninstaller/RemovalPaths.h"
#include "win32/UniqueHandle.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace {

constexpr wchar_t kSeparator = L'\\';
constexpr wchar_t kCommandInterpreter[] = L"cmd.exe";
// ShellExecute reports success with a value above this.
constexpr INT_PTR kShellExecuteErrorLimit = 32;

std::wstring ShortcutFileName(const ShortcutInfo& info) {
    return info.displayName + product::kShortcutExtension;
}

} // namespace

void RemoveDesktopShortcut(const ShortcutInfo& info) {
    const std::string desktop = SpecialFolderPath(product::kDesktopFolder);
    if (desktop.empty())
        return;
    DeleteFileW((AnsiToWide(desktop) + kSeparator + ShortcutFileName(info)).c_str());
}

void RemoveProgramsShortcut(const ShortcutInfo& info) {
    const std::string programs = SpecialFolderPath(product::kCommonProgramsFolder);
    if (programs.empty())
        return;
    const std::wstring folder = AnsiToWide(programs) + kSeparator + info.displayName;
    DeleteFileW((folder + kSeparator + ShortcutFileName(info)).c_str());
    if (PathIsDirectoryEmptyW(folder.c_str()))
        RemoveDirectoryW(folder.c_str());
}

void RemoveUninstallEntry(const ShortcutInfo& info) {
    if (info.entryName.empty() || info.entryName.find(kSeparator) != std::wstring::npos)
        return;
    win32::UniqueRegistryKey uninstallKey;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, product::kUninstallKey, 0, KEY_ALL_ACCESS,
                      uninstallKey.put()) != ERROR_SUCCESS)
        return;
    const std::wstring entryKey =
        std::wstring(product::kUninstallKey) + kSeparator + info.entryName;
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, entryKey.c_str());
}

bool LaunchDelayedRemoval(const std::wstring& root) {
    const auto command = ComposeDelayedRemoval(root);
    if (!command)
        return false;
    if (command->rootInEnvironment && !SetEnvironmentVariableW(kRemovalRootVariable, root.c_str()))
        return false;
    // cmd keeps its working folder open, and a folder in use cannot be removed: started in the
    // uninstaller's own folder (as it is from Explorer) it could never remove it.
    const std::wstring workingFolder = PathFromGetter(GetSystemDirectoryW);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, kCommandInterpreter, command->parameters.c_str(),
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), SW_HIDE));
    return result > kShellExecuteErrorLimit;
}

bool FinishUninstall(const std::wstring& root) {
    const ShortcutInfo info;
    RemoveDesktopShortcut(info);
    RemoveProgramsShortcut(info);
    RemoveUninstallEntry(info);
    return LaunchDelayedRemoval(root);
}

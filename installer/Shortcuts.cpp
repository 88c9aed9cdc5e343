#include "installer/Shortcuts.h"

#include "installer/TextConversion.h"
#include "win32/ComPtr.h"
#include "win32/ComSession.h"
#include "win32/CoTaskMem.h"
#include "win32/PathSeparator.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <memory>

static_assert(product::kDesktopFolder == CSIDL_DESKTOPDIRECTORY);
static_assert(product::kCommonProgramsFolder == CSIDL_COMMON_PROGRAMS);
static_assert(product::kProgramFilesFolder == CSIDL_PROGRAM_FILES);

namespace {

constexpr char kAnsiSeparator = '\\';
// Longest shortcut path, without its terminating NUL, that the shell's path buffers hold.
constexpr std::size_t kMaxShortcutPathLength = MAX_PATH - 1;

bool IsEmpty(const wchar_t* text) {
    return text == nullptr || *text == L'\0';
}

// The display name becomes a file and folder name; a name with a path in it would place the
// shortcut outside the special folder.
bool IsPlainFileName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(L"\\/:") == std::wstring::npos;
}

const wchar_t* TargetOrNull(const ShortcutInfo& info) {
    return info.target.empty() ? nullptr : info.target.c_str();
}

} // namespace

std::string SpecialFolderPath(int csidl) {
    PIDLIST_ABSOLUTE rawList = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &rawList)) || rawList == nullptr)
        return std::string();
    const win32::CoTaskMemPtr<ITEMIDLIST> list(rawList);

    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(list.get(), path))
        return std::string();
    std::string result(path);
    if (!result.empty() && csidl == product::kProgramFilesFolder)
        result += kAnsiSeparator;
    return result;
}

std::wstring ShortcutFileName(const ShortcutInfo& info) {
    return info.displayName + product::kShortcutExtension;
}

std::wstring DesktopShortcutPath(const ShortcutInfo& info) {
    const std::string desktop = SpecialFolderPath(product::kDesktopFolder);
    return desktop.empty() ? std::wstring()
                           : AnsiToWide(desktop) + win32::kPathSeparator + ShortcutFileName(info);
}

std::wstring ProgramsShortcutFolder(const ShortcutInfo& info) {
    const std::string programs = SpecialFolderPath(product::kCommonProgramsFolder);
    return programs.empty() ? std::wstring()
                            : AnsiToWide(programs) + win32::kPathSeparator + info.displayName;
}

bool CreateShellLink(const wchar_t* target, const wchar_t* folder, const wchar_t* fileName,
                     const wchar_t* description) {
    const win32::ComSession com;
    if (IsEmpty(folder))
        return false;
    std::wstring path = folder;
    path += win32::kPathSeparator;
    path += IsEmpty(fileName) ? product::kUnnamedShortcutFile : fileName;
    if (path.size() > kMaxShortcutPathLength)
        return false;

    win32::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())) ||
        !link)
        return false;
    win32::ComPtr<IPersistFile> file = link.query<IPersistFile>(IID_IPersistFile);
    if (!file)
        return false;

    if (!IsEmpty(target))
        link->SetPath(target);
    link->SetShowCmd(SW_SHOWNORMAL);
    link->SetDescription(description ? description : L"");
    return SUCCEEDED(file->Save(path.c_str(), TRUE));
}

bool CreateDesktopShortcut(const ShortcutInfo& info) {
    if (!IsPlainFileName(info.displayName))
        return false;
    const std::string desktop = SpecialFolderPath(product::kDesktopFolder);
    if (desktop.empty())
        return false;
    return CreateShellLink(TargetOrNull(info), AnsiToWide(desktop).c_str(),
                           ShortcutFileName(info).c_str(), info.displayName.c_str());
}

bool CreateProgramsShortcut(const ShortcutInfo& info) {
    if (!IsPlainFileName(info.displayName))
        return false;
    const std::wstring folder = ProgramsShortcutFolder(info);
    if (folder.empty())
        return false;
    // A failed creation shows in the check that follows: a file of that name, or a parent
    // that is not writable, leaves no folder.
    if (!PathIsDirectoryW(folder.c_str()))
        CreateDirectoryW(folder.c_str(), nullptr);
    if (!PathIsDirectoryW(folder.c_str()))
        return false;
    return CreateShellLink(TargetOrNull(info), folder.c_str(), ShortcutFileName(info).c_str(),
                           info.displayName.c_str());
}

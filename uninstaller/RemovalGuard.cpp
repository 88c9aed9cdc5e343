#include "uninstaller/RemovalGuard.h"

#include "installer/ProductNames.h"
#include "uninstaller/RemovalPaths.h"
#include "win32/EnvironmentVariable.h"
#include "win32/UniqueHandle.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>

namespace {

constexpr wchar_t kSeparator = L'\\';

// Folders the removal root must never be nor contain. Known folders that do not exist on a
// system (FOLDERID_ProgramFilesX64 for a 32-bit process, say) are skipped.
const KNOWNFOLDERID* const kProtectedKnownFolders[] = {
    &FOLDERID_Windows,
    &FOLDERID_System,
    &FOLDERID_SystemX86,
    &FOLDERID_ProgramFiles,
    &FOLDERID_ProgramFilesX86,
    &FOLDERID_ProgramFilesX64,
    &FOLDERID_ProgramFilesCommon,
    &FOLDERID_ProgramFilesCommonX86,
    &FOLDERID_ProgramFilesCommonX64,
    &FOLDERID_ProgramData,
    &FOLDERID_UserProfiles,
    &FOLDERID_Profile,
    &FOLDERID_Desktop,
    &FOLDERID_Documents,
    &FOLDERID_Downloads,
    &FOLDERID_Music,
    &FOLDERID_Pictures,
    &FOLDERID_Videos,
    &FOLDERID_Public,
    &FOLDERID_PublicDesktop,
    &FOLDERID_PublicDocuments,
    &FOLDERID_PublicDownloads,
    &FOLDERID_PublicMusic,
    &FOLDERID_PublicPictures,
    &FOLDERID_PublicVideos,
    &FOLDERID_LocalAppData,
    &FOLDERID_RoamingAppData,
    &FOLDERID_StartMenu,
    &FOLDERID_CommonStartMenu,
    &FOLDERID_Programs,
    &FOLDERID_CommonPrograms,
    &FOLDERID_Startup,
    &FOLDERID_CommonStartup,
};

// A 32-bit program on 64-bit Windows sees the x86 Program Files under every known folder
// name; the 64-bit one is only in these variables.
const wchar_t* const kProtectedFolderVariables[] = {L"ProgramW6432", L"CommonProgramW6432"};

struct CoTaskMemDeleter {
    void operator()(wchar_t* memory) const { CoTaskMemFree(memory); }
};

std::wstring KnownFolderPath(const KNOWNFOLDERID& id) {
    wchar_t* raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &raw);
    std::unique_ptr<wchar_t, CoTaskMemDeleter> path(raw);
    if (FAILED(result) || !path)
        return {};
    return path.get();
}

// The path with its links followed, as the file system resolves it; empty when it does not
// exist or cannot be opened.
std::wstring ResolvedPath(const std::wstring& path) {
    win32::UniqueFileHandle handle(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return {};
    std::wstring resolved(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle.get(), resolved.data(),
                                                       static_cast<DWORD>(resolved.size()), 0);
        if (length == 0)
            return {};
        if (length < resolved.size()) {
            resolved.resize(length);
            return ComparablePath(resolved);
        }
        resolved.resize(length);
    }
}

// `path` with short (8.3) components expanded; `path` itself when that fails (for example
// when it does not exist).
std::wstring LongPath(const std::wstring& path) {
    const DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (size == 0)
        return path;
    std::wstring result(size, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), result.data(), size);
    if (length == 0 || length >= size)
        return path;
    result.resize(length);
    return result;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring RegisteredUninstallCommand() {
    const std::wstring entryKey =
        std::wstring(product::kUninstallKey) + kSeparator + product::kEntryName;
    win32::UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, entryKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), product::kUninstallStringValue, nullptr, &type, nullptr,
                         &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0)
        return {};
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.get(), product::kUninstallStringValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS)
        return {};
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
}

void AddProtected(std::vector<std::wstring>& folders, const std::wstring& folder) {
    if (folder.empty())
        return;
    folders.push_back(ComparablePath(folder));
    const std::wstring resolved = ResolvedPath(folder);
    if (!resolved.empty() && !SamePath(resolved, folders.back()))
        folders.push_back(resolved);
}

bool IsProtected(const RemovalFacts& facts, const std::wstring& root) {
    if (IsVolumeOrShareRoot(root))
        return true;
    for (const std::wstring& folder : facts.protectedFolders)
        if (IsSameOrAbove(root, folder))
            return true;
    const std::wstring parent = ParentFolder(ComparablePath(root));
    for (const std::wstring& folder : facts.protectedParents)
        if (SamePath(parent, ComparablePath(folder)))
            return true;
    return false;
}

} // namespace

RemovalVerdict JudgeRemoval(const RemovalFacts& facts) {
    RemovalVerdict verdict;
    verdict.root = RemovalRootOf(facts.ownPath);
    verdict.refusal = RemovalRefusal::None;

    const std::wstring ownFolder = ParentFolder(facts.ownPath);
    if (!SamePath(LastComponent(ownFolder), product::kClientFolder)) {
        verdict.refusal = RemovalRefusal::NotInClientFolder;
        return verdict;
    }

    const std::wstring registered = UninstallCommandPath(facts.registeredCommand);
    const bool registeredHere =
        !registered.empty() && (SamePath(registered, facts.ownPath) ||
                                SamePath(facts.registeredLongPath, facts.ownLongPath));
    if (!facts.clientBesideUs && !registeredHere) {
        verdict.refusal = RemovalRefusal::NotInstalledHere;
        return verdict;
    }

    if (verdict.root.empty() || IsProtected(facts, verdict.root) ||
        (!facts.resolvedRoot.empty() && IsProtected(facts, facts.resolvedRoot)))
        verdict.refusal = RemovalRefusal::ProtectedFolder;
    return verdict;
}

RemovalFacts GatherRemovalFacts(const std::wstring& ownPath) {
    RemovalFacts facts;
    facts.ownPath = ownPath;
    facts.ownLongPath = LongPath(ownPath);
    const std::wstring root = RemovalRootOf(ownPath);
    if (!root.empty())
        facts.resolvedRoot = ResolvedPath(root);
    const std::wstring ownFolder = ParentFolder(ownPath);
    if (!ownFolder.empty())
        facts.clientBesideUs = IsFile(ownFolder + kSeparator + product::kClientExecutable);
    facts.registeredCommand = RegisteredUninstallCommand();
    const std::wstring registered = UninstallCommandPath(facts.registeredCommand);
    if (!registered.empty())
        facts.registeredLongPath = LongPath(registered);

    for (const KNOWNFOLDERID* id : kProtectedKnownFolders)
        AddProtected(facts.protectedFolders, KnownFolderPath(*id));
    for (const wchar_t* name : kProtectedFolderVariables)
        AddProtected(facts.protectedFolders, win32::EnvironmentVariable(name));
    AddProtected(facts.protectedFolders, PathFromGetter(GetWindowsDirectoryW));
    AddProtected(facts.protectedFolders, PathFromGetter(GetSystemDirectoryW));
    AddProtected(facts.protectedFolders, PathFromGetter(GetSystemWow64DirectoryW));
    AddProtected(facts.protectedFolders, PathFromGetter([](wchar_t* buffer, UINT size) -> UINT {
                     return GetTempPathW(size, buffer);
                 }));
    AddProtected(facts.protectedParents, KnownFolderPath(FOLDERID_UserProfiles));
    return facts;
}

RemovalVerdict CheckRemoval(const std::wstring& ownPath) {
    return JudgeRemoval(GatherRemovalFacts(ownPath));
}

#include "uninstaller/RemovalGuard.h"

#include "installer/ProductNames.h"
#include "uninstaller/RemovalPaths.h"
#include "win32/CoTaskMem.h"
#include "win32/EnvironmentVariable.h"
#include "win32/FinalPath.h"
#include "win32/UniqueHandle.h"
#include "win32/PathSeparator.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <memory>

namespace {

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

// Where Windows lists the profiles of every user who ever logged on, wherever they lie. The
// list is machine-wide, so it is read in the 64-bit view from a 32-bit process too.
constexpr wchar_t kProfileListKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr wchar_t kProfileImagePathValue[] = L"ProfileImagePath";
constexpr wchar_t kProfilesDirectoryValue[] = L"ProfilesDirectory";
// Profiles named by the list itself rather than by a user's key.
const wchar_t* const kProfileListProfileValues[] = {L"Default", L"Public"};

// Each loaded user hive (HKEY_USERS\<SID>) names that user's shell folders here; the first
// key may hold %USERPROFILE%, which means that user's profile, not ours.
const wchar_t* const kShellFolderKeys[] = {
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
};
// The variables such values begin with, and where they lead inside the hive's own profile.
const std::pair<const wchar_t*, const wchar_t*> kProfileVariables[] = {
    {L"%USERPROFILE%", L""},
    {L"%APPDATA%", L"\\AppData\\Roaming"},
    {L"%LOCALAPPDATA%", L"\\AppData\\Local"},
};

// Folders below every profile that the shell and other programs share: a root may lie inside
// them, but may neither be nor contain them.
const wchar_t* const kSharedProfileFolders[] = {
    L"AppData\\Local\\Programs",
    L"AppData\\Local\\Temp",
    L"AppData\\Roaming\\Microsoft\\Windows\\Start Menu",
    L"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
    L"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
};

// A root this many levels inside a profile or less (Desktop, AppData\Roaming, Desktop\Games)
// is the user's own; deeper ones may be an install folder.
constexpr int kProfileOwnDepth = 2;
constexpr DWORD kRegistryNameCapacity = 256;

std::wstring KnownFolderPath(const KNOWNFOLDERID& id) {
    wchar_t* raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &raw);
    const win32::CoTaskMemPtr<wchar_t> path(raw);
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
    const std::wstring resolved = win32::FinalPathOf(handle.get());
    return resolved.empty() ? resolved : ComparablePath(resolved);
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct RegistryText {
    std::wstring text;
    bool expandable{false};
};

// A string value as stored (REG_SZ or REG_EXPAND_SZ); empty text when missing or of another
// type.
RegistryText RegistryString(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0)
        return {};
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &bytes) != ERROR_SUCCESS)
        return {};
    value.resize(wcsnlen(value.c_str(), value.size()));
    return {value, type == REG_EXPAND_SZ};
}

std::wstring Expanded(const std::wstring& text) {
    const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::wstring result(size, L'\0');
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), result.data(), size);
    if (length == 0 || length > size)
        return {};
    result.resize(length - 1);
    return result;
}

std::wstring ExpandedString(HKEY key, const wchar_t* name) {
    const RegistryText value = RegistryString(key, name);
    return value.expandable ? Expanded(value.text) : value.text;
}

std::wstring RegisteredUninstallCommand() {
    const std::wstring entryKey =
        std::wstring(product::kUninstallKey) + win32::kPathSeparator + product::kEntryName;
    win32::UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, entryKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return {};
    return RegistryString(key.get(), product::kUninstallStringValue).text;
}

std::wstring VolumePathOf(const std::wstring& path) {
    if (path.empty())
        return {};
    std::wstring volume(path.size() + MAX_PATH, L'\0');
    if (!GetVolumePathNameW(path.c_str(), volume.data(), static_cast<DWORD>(volume.size())))
        return {};
    volume.resize(wcsnlen(volume.c_str(), volume.size()));
    return volume;
}

std::vector<std::wstring> SubKeyNames(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kRegistryNameCapacity] = {};
        DWORD length = kRegistryNameCapacity;
        const LSTATUS status =
            RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
    }
    return names;
}

// The folders directly inside `folder`, links included.
std::vector<std::wstring> SubFolders(const std::wstring& folder) {
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW entry{};
    win32::UniqueFindHandle find(
        FindFirstFileW((ComparablePath(folder) + win32::kPathSeparator + L"*").c_str(), &entry));
    if (!find)
        return folders;
    do {
        const std::wstring name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            folders.push_back(ComparablePath(folder) + win32::kPathSeparator + name);
    } while (FindNextFileW(find.get(), &entry));
    return folders;
}

// The profile list: the folders holding profiles, and every profile with the SID it belongs
// to (empty for the list's own Default and Public).
struct ProfileList {
    std::vector<std::wstring> profilesFolders;
    std::vector<std::pair<std::wstring, std::wstring>> profiles; // SID, folder
};

ProfileList ReadProfileList() {
    ProfileList list;
    win32::UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProfileListKey, 0, KEY_READ | KEY_WOW64_64KEY,
                      key.put()) != ERROR_SUCCESS)
        return list;
    list.profilesFolders.push_back(ExpandedString(key.get(), kProfilesDirectoryValue));
    for (const wchar_t* name : kProfileListProfileValues)
        list.profiles.emplace_back(std::wstring(), ExpandedString(key.get(), name));
    for (const std::wstring& sid : SubKeyNames(key.get())) {
        win32::UniqueRegistryKey profile;
        if (RegOpenKeyExW(key.get(), sid.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                          profile.put()) == ERROR_SUCCESS)
            list.profiles.emplace_back(sid, ExpandedString(profile.get(), kProfileImagePathValue));
    }
    return list;
}

bool StartsWithText(const std::wstring& text, const wchar_t* prefix) {
    const std::size_t length = wcslen(prefix);
    return text.size() >= length && SamePath(text.substr(0, length), prefix);
}

// The shell folders every loaded user hive names, each with that user's own profile in place
// of %USERPROFILE%.
std::vector<std::wstring> LoadedShellFolders(const ProfileList& list) {
    std::vector<std::wstring> folders;
    win32::UniqueRegistryKey users;
    if (RegOpenKeyExW(HKEY_USERS, nullptr, 0, KEY_READ, users.put()) != ERROR_SUCCESS)
        return folders;
    for (const std::wstring& sid : SubKeyNames(users.get())) {
        std::wstring profile;
        for (const auto& [owner, folder] : list.profiles)
            if (!owner.empty() && SamePath(owner, sid))
                profile = folder;
        for (const wchar_t* keyName : kShellFolderKeys) {
            win32::UniqueRegistryKey key;
            if (RegOpenKeyExW(users.get(), (sid + win32::kPathSeparator + keyName).c_str(), 0,
                              KEY_READ, key.put()) != ERROR_SUCCESS)
                continue;
            for (DWORD index = 0;; ++index) {
                wchar_t name[kRegistryNameCapacity] = {};
                DWORD length = kRegistryNameCapacity;
                const LSTATUS status = RegEnumValueW(key.get(), index, name, &length, nullptr,
                                                     nullptr, nullptr, nullptr);
                if (status == ERROR_NO_MORE_ITEMS)
                    break;
                if (status != ERROR_SUCCESS)
                    continue;
                RegistryText value = RegistryString(key.get(), name);
                bool unknown = false;
                for (const auto& [variable, inside] : kProfileVariables) {
                    if (!value.expandable || !StartsWithText(value.text, variable))
                        continue;
                    // A profile the list does not name: that user's Shell Folders key names
                    // the folder resolved.
                    unknown = profile.empty();
                    value.text = profile + inside + value.text.substr(wcslen(variable));
                }
                if (!unknown)
                    folders.push_back(value.expandable ? Expanded(value.text) : value.text);
            }
        }
    }
    return folders;
}

void AddProtected(std::vector<std::wstring>& folders, const std::wstring& folder) {
    // Relative texts (a registry value that is no path) name nothing on this machine.
    if (folder.empty() || PathIsRelativeW(folder.c_str()))
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
    for (const std::wstring& profile : facts.profiles) {
        const int depth = DepthBelow(root, profile);
        if (IsSameOrAbove(root, profile) || (depth >= 0 && depth <= kProfileOwnDepth))
            return true;
    }
    // A folder directly inside a profiles folder is a profile, listed or not.
    for (const std::wstring& folder : facts.protectedParents) {
        const int depth = DepthBelow(root, folder);
        if (depth >= 1 && depth <= kProfileOwnDepth + 1)
            return true;
    }
    return false;
}

// A volume root or mount point: its volume path is itself.
bool IsVolumeRoot(const std::wstring& root, const std::wstring& volume) {
    return SamePath(ComparablePath(root), ComparablePath(volume));
}

bool NamesUninstaller(const std::wstring& command, const std::wstring& longCommandPath,
                      const std::wstring& ownPath, const std::wstring& ownLongPath) {
    const std::wstring registered = UninstallCommandPath(command);
    return !registered.empty() &&
           (SamePath(registered, ownPath) || SamePath(longCommandPath, ownLongPath));
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

    const bool registeredHere = NamesUninstaller(facts.registeredCommand, facts.registeredLongPath,
                                                 facts.ownPath, facts.ownLongPath);
    if (!facts.clientBesideUs && !registeredHere) {
        verdict.refusal = RemovalRefusal::NotInstalledHere;
        return verdict;
    }

    if (verdict.root.empty() || IsVolumeOrShareRoot(verdict.root)) {
        verdict.refusal = RemovalRefusal::ProtectedFolder;
        return verdict;
    }
    if (IsDevicePath(facts.ownPath) || IsDevicePath(verdict.root) ||
        HasStrippedComponent(verdict.root) || facts.resolvedRoot.empty() ||
        IsDevicePath(facts.resolvedRoot) || HasStrippedComponent(facts.resolvedRoot) ||
        facts.rootVolume.empty() || facts.resolvedRootVolume.empty()) {
        verdict.refusal = RemovalRefusal::UncertainFolder;
        return verdict;
    }
    if (IsVolumeRoot(verdict.root, facts.rootVolume) ||
        IsVolumeRoot(facts.resolvedRoot, facts.resolvedRootVolume) ||
        IsProtected(facts, verdict.root) || IsProtected(facts, facts.resolvedRoot))
        verdict.refusal = RemovalRefusal::ProtectedFolder;
    return verdict;
}

RemovalFacts GatherRemovalFacts(const std::wstring& ownPath) {
    RemovalFacts facts;
    facts.ownPath = ownPath;
    facts.ownLongPath = LongPath(ownPath);
    const std::wstring root = RemovalRootOf(ownPath);
    if (!root.empty()) {
        facts.resolvedRoot = ResolvedPath(root);
        facts.rootVolume = VolumePathOf(root);
        facts.resolvedRootVolume = VolumePathOf(facts.resolvedRoot);
    }
    const std::wstring ownFolder = ParentFolder(ownPath);
    if (!ownFolder.empty())
        facts.clientBesideUs =
            IsFile(ownFolder + win32::kPathSeparator + product::kClientExecutable);
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
    const ProfileList list = ReadProfileList();
    for (const std::wstring& folder : LoadedShellFolders(list))
        AddProtected(facts.protectedFolders, folder);

    std::vector<std::wstring> profilesFolders = list.profilesFolders;
    profilesFolders.push_back(KnownFolderPath(FOLDERID_UserProfiles));
    std::vector<std::wstring> profiles = {KnownFolderPath(FOLDERID_Profile),
                                          KnownFolderPath(FOLDERID_Public)};
    for (const auto& [sid, folder] : list.profiles)
        profiles.push_back(folder);
    for (const std::wstring& folder : profilesFolders) {
        AddProtected(facts.protectedFolders, folder);
        AddProtected(facts.protectedParents, folder);
        if (!folder.empty())
            for (const std::wstring& profile : SubFolders(folder))
                profiles.push_back(profile);
    }
    for (const std::wstring& profile : profiles) {
        AddProtected(facts.profiles, profile);
        if (profile.empty())
            continue;
        for (const wchar_t* shared : kSharedProfileFolders)
            AddProtected(facts.protectedFolders,
                         ComparablePath(profile) + win32::kPathSeparator + shared);
    }
    return facts;
}

RemovalVerdict CheckRemoval(const std::wstring& ownPath) {
    return JudgeRemoval(GatherRemovalFacts(ownPath));
}

bool IsRegisteredUninstaller(const std::wstring& ownPath) {
    const std::wstring command = RegisteredUninstallCommand();
    const std::wstring registered = UninstallCommandPath(command);
    return !registered.empty() &&
           NamesUninstaller(command, LongPath(registered), ownPath, LongPath(ownPath));
}

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

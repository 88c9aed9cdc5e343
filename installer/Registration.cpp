#include "installer/Registration.h"

#include "installer/TextConversion.h"
#include "win32/UniqueHandle.h"
#include "win32/PathSeparator.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>
#include <limits>
#include <string_view>

namespace {

// InstallDir is read into a fixed buffer of 256 UTF-16 units (512 bytes); the text must leave
// room for its terminating NUL.
constexpr DWORD kRecordedDirUnits = 256;
constexpr std::size_t kMaxRecordedDirLength = kRecordedDirUnits - 1;

// Creating a sub key through a handle is documented to need KEY_CREATE_SUB_KEY on it; setting
// values is what the product keys are opened for.
constexpr REGSAM kParentAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

enum class SubKeyResult { ParentNotOpened, Created, Failed };

// Opens root\parent and creates (or opens) the sub key `name` below it.
SubKeyResult CreateSubKey(HKEY root, const wchar_t* parent, const wchar_t* name) {
    win32::UniqueRegistryKey parentKey;
    if (RegOpenKeyExW(root, parent, 0, kParentAccess, parentKey.put()) != ERROR_SUCCESS)
        return SubKeyResult::ParentNotOpened;
    win32::UniqueRegistryKey created;
    if (RegCreateKeyW(parentKey.get(), name, created.put()) != ERROR_SUCCESS)
        return SubKeyResult::Failed;
    return SubKeyResult::Created;
}

bool MachineProductKeys(const std::wstring& installFolder, const std::wstring& clientPath) {
    // Software may refuse to open while Tolma below it already exists, so only a refused
    // creation of the company key ends the machine part.
    if (CreateSubKey(HKEY_LOCAL_MACHINE, product::kSoftwareKey, product::kCompanyKeyName) ==
        SubKeyResult::Failed)
        return false;
    CreateSubKey(HKEY_LOCAL_MACHINE, product::kCompanyKey, product::kProductKeyName);
    bool written = WriteStringValue(HKEY_LOCAL_MACHINE, product::kMachineProductKey,
                                    product::kAppNameValue, clientPath);
    written &= WriteStringValue(HKEY_LOCAL_MACHINE, product::kMachineProductKey,
                                product::kInstallDirValue, installFolder);
    return written;
}

bool UserProductKeys(const std::wstring& installFolder, const std::wstring& clientPath,
                     bool simplifiedEdition) {
    if (CreateSubKey(HKEY_CURRENT_USER, product::kSoftwareKey, product::kCompanyKeyName) ==
        SubKeyResult::Failed)
        return false;
    CreateSubKey(HKEY_CURRENT_USER, product::kCompanyKey, product::kPerUserKeyName);
    CreateSubKey(HKEY_CURRENT_USER, product::kUserOrviaKey, product::kProductKeyName);
    bool written = WriteStringValue(HKEY_CURRENT_USER, product::kUserProductKey,
                                    product::kAppNameValue, clientPath);
    written &= WriteStringValue(HKEY_CURRENT_USER, product::kUserProductKey,
                                product::kInstallDirValue, installFolder);
    written &= WriteStringValue(HKEY_CURRENT_USER, product::kUserProductKey, product::kLocaleValue,
                                simplifiedEdition ? product::kSimplifiedLocale
                                                  : product::kTraditionalLocale);
    return written;
}

bool WriteDwordValue(HKEY root, const wchar_t* subKey, const wchar_t* valueName, DWORD value) {
    win32::UniqueRegistryKey key;
    if (RegOpenKeyExW(root, subKey, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

bool IsSameImageName(const wchar_t* imageName, const std::wstring& target) {
    return wcsnlen(imageName, MAX_PATH) == target.size() &&
           _wcsicmp(imageName, target.c_str()) == 0;
}

} // namespace

std::wstring ClientExecutablePath(const std::wstring& installFolder) {
    return installFolder + win32::kPathSeparator + product::kClientFolder + win32::kPathSeparator +
           product::kClientExecutable;
}

std::wstring UninstallerPath(const std::wstring& installFolder) {
    return installFolder + win32::kPathSeparator + product::kClientFolder + win32::kPathSeparator +
           product::kUninstallerFile;
}

std::wstring DefaultInstallFolder() {
    const std::string programFiles = SpecialFolderPath(product::kProgramFilesFolder);
    if (programFiles.empty())
        return std::wstring();
    return AnsiToWide(programFiles) + product::kDefaultInstallSubFolder +
           product::kDefaultInstallLeaf;
}

bool WriteStringValue(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                      const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (bytes > std::numeric_limits<DWORD>::max())
        return false;
    win32::UniqueRegistryKey key;
    if (RegOpenKeyExW(root, subKey, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), valueName, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
}

bool ProductKeys(const std::wstring& installFolder, const std::wstring& clientPath,
                 bool simplifiedEdition) {
    const bool machine = MachineProductKeys(installFolder, clientPath);
    const bool user = UserProductKeys(installFolder, clientPath, simplifiedEdition);
    return machine && user;
}

std::wstring UninstallEntryKey(const ShortcutInfo& info) {
    if (info.entryName.empty() || info.entryName.find(win32::kPathSeparator) != std::wstring::npos)
        return std::wstring();
    return std::wstring(product::kUninstallKey) + win32::kPathSeparator + info.entryName;
}

bool WriteUninstallEntry(const ShortcutInfo& info, const UninstallEntryFacts& facts) {
    const std::wstring entryKey = UninstallEntryKey(info);
    if (entryKey.empty())
        return false;
    CreateSubKey(HKEY_LOCAL_MACHINE, product::kUninstallKey, info.entryName.c_str());
    const wchar_t* key = entryKey.c_str();
    // Quoted: Programs and Features runs the command through CreateProcess, which would take an
    // unquoted path with spaces for "C:\Program.exe" followed by arguments if such a file
    // exists. The icon value is a plain path and stays unquoted.
    const std::wstring command = L"\"" + facts.uninstallerPath + L"\"";
    bool written = WriteStringValue(HKEY_LOCAL_MACHINE, key, product::kDisplayIconValue,
                                    facts.uninstallerPath);
    written &=
        WriteStringValue(HKEY_LOCAL_MACHINE, key, product::kDisplayNameValue, info.displayName);
    written &=
        WriteStringValue(HKEY_LOCAL_MACHINE, key, product::kDisplayVersionValue, facts.version);
    written &=
        WriteStringValue(HKEY_LOCAL_MACHINE, key, product::kPublisherValue, product::kPublisher);
    written &= WriteStringValue(HKEY_LOCAL_MACHINE, key, product::kUninstallStringValue, command);
    written &= WriteStringValue(HKEY_LOCAL_MACHINE, key, product::kInstallLocationValue,
                                facts.installFolder);
    written &= WriteDwordValue(HKEY_LOCAL_MACHINE, key, product::kEstimatedSizeValue,
                               facts.estimatedSizeKb);
    written &= WriteDwordValue(HKEY_LOCAL_MACHINE, key, product::kNoModifyValue, 1);
    written &= WriteDwordValue(HKEY_LOCAL_MACHINE, key, product::kNoRepairValue, 1);
    written &= WriteStringValue(HKEY_LOCAL_MACHINE, key, product::kQuietUninstallStringValue,
                                command + L" " + product::kSilentSwitch);
    return written;
}

bool SetLogonStart(bool enable, const std::wstring& clientPath) {
    if (enable)
        return WriteStringValue(HKEY_LOCAL_MACHINE, product::kRunKey, product::kEntryName,
                                clientPath);
    win32::UniqueRegistryKey run;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, product::kRunKey, 0, KEY_ALL_ACCESS, run.put()) ==
        ERROR_SUCCESS)
        RegDeleteValueW(run.get(), product::kEntryName);
    return true;
}

std::wstring ReadRecordedInstallDir() {
    win32::UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, product::kRecordedInstallDirKey, 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS)
        return std::wstring();
    // The stored type is not checked, so the data may be binary with no NUL and an odd byte
    // count: only the whole units the system reports are looked at, never what follows them.
    wchar_t buffer[kRecordedDirUnits] = {};
    DWORD bytes = sizeof(buffer);
    if (RegQueryValueExW(key.get(), product::kInstallDirValue, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS)
        return std::wstring();
    const std::size_t units = std::min<std::size_t>(bytes / sizeof(wchar_t), kRecordedDirUnits);
    const std::wstring_view data(buffer, units);
    const std::wstring_view text = data.substr(0, data.find(L'\0'));
    if (text.size() > kMaxRecordedDirLength)
        return std::wstring();
    return std::wstring(text);
}

void StopRunningClient() {
    const std::wstring target = product::kClientExecutable;
    win32::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == self || !IsSameImageName(entry.szExeFile, target))
            continue;
        win32::UniqueKernelHandle process(
            OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
        if (process)
            TerminateProcess(process.get(), 0);
    }
}

#include "tests/uninstaller/InstalledState.h"

#include "installer/ProductNames.h"
#include "installer/Registration.h"
#include "installer/TextConversion.h"
#include "tests/registration/RegistryAccess.h"
#include "tests/support/TestSupport.h"

#include <shlobj.h>

namespace uninstalltest {

namespace {

const std::wstring kUninstallEntry =
    std::wstring(product::kUninstallKey) + L"\\" + product::kEntryName;

std::filesystem::path SpecialFolder(int csidl) {
    return std::filesystem::path(AnsiToWide(SpecialFolderPath(csidl)));
}

bool Exists(const std::filesystem::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

InstalledState::InstalledState()
    : desktopLink(SpecialFolder(CSIDL_DESKTOPDIRECTORY) / L"Tamro.lnk"),
      programsFolder(SpecialFolder(CSIDL_COMMON_PROGRAMS) / L"Tamro") {
    Clean();
}

InstalledState::~InstalledState() {
    Clean();
}

void InstalledState::Install(const std::wstring& folder) {
    ShortcutInfo info;
    info.target = ClientExecutablePath(folder);
    CreateDesktopShortcut(info);
    CreateProgramsShortcut(info);
    UninstallEntryFacts facts;
    facts.uninstallerPath = UninstallerPath(folder);
    facts.installFolder = folder;
    WriteUninstallEntry(info, facts);
    ProductKeys(folder, info.target, true);
    SetLogonStart(true, info.target);
}

void InstalledState::Clean() {
    registrytest::RemoveProductRegistration();
    DeleteFileW(desktopLink.c_str());
    testsupport::RemoveTree(programsFolder);
}

bool InstalledState::HasShortcuts() const {
    return Exists(desktopLink) && Exists(programsFolder / L"Tamro.lnk");
}

bool InstalledState::HasAnyShortcut() const {
    return Exists(desktopLink) || Exists(programsFolder);
}

bool InstalledState::HasUninstallEntry() const {
    return registrytest::KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry);
}

bool InstalledState::HasProductKeysAndLogonValue() const {
    using namespace product;
    return registrytest::QueryValue(HKEY_LOCAL_MACHINE, kMachineProductKey, kInstallDirValue) &&
           registrytest::QueryValue(HKEY_LOCAL_MACHINE, kMachineProductKey, kAppNameValue) &&
           registrytest::QueryValue(HKEY_CURRENT_USER, kUserProductKey, kInstallDirValue) &&
           registrytest::QueryValue(HKEY_CURRENT_USER, kUserProductKey, kLocaleValue) &&
           registrytest::QueryValue(HKEY_LOCAL_MACHINE, kRunKey, kEntryName);
}

} // namespace uninstalltest

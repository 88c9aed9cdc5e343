#pragma once

#include "installer/ProductVersion.h"

// Every fixed name the installer and the uninstaller leave on a machine: registry keys and
// values, folder and file names, and the texts stored with them. The uninstaller must find
// exactly what the installer wrote, so both take these names from here.

namespace product {

// Names of the client as the user and the system see it.
constexpr wchar_t kDisplayName[] = L"Tamro";
constexpr wchar_t kEntryName[] = L"tamro";

// Installed layout below the install folder: <install>\tamro\tamro.exe and
// <install>\tamro\UnInstall.exe. The client's image name is also how a running copy is found.
// The payload's file is uninstall.exe; file names compare without case, so both spellings name
// the same file.
constexpr wchar_t kClientFolder[] = L"tamro";
constexpr wchar_t kClientExecutable[] = L"tamro.exe";
constexpr wchar_t kUninstallerFile[] = L"UnInstall.exe";

// Proposed install folder below Program Files: <Program Files>\Tolma\Orvia\tamro.
constexpr wchar_t kDefaultInstallSubFolder[] = L"Tolma\\Orvia\\";
constexpr wchar_t kDefaultInstallLeaf[] = L"tamro";

// Shell special folders (CSIDL values): the current user's desktop, the all-users Programs menu
// and Program Files.
constexpr int kDesktopFolder = 0x0010;
constexpr int kCommonProgramsFolder = 0x0017;
constexpr int kProgramFilesFolder = 0x0026;

// Shortcut files.
constexpr wchar_t kShortcutExtension[] = L".lnk";
constexpr wchar_t kUnnamedShortcutFile[] = L"unknown.lnk";

// Registry keys. The product keys are created one level at a time below Software.
constexpr wchar_t kSoftwareKey[] = L"Software";
constexpr wchar_t kCompanyKeyName[] = L"Tolma";
constexpr wchar_t kProductKeyName[] = L"tamr";
constexpr wchar_t kPerUserKeyName[] = L"orvia";
constexpr wchar_t kCompanyKey[] = L"Software\\Tolma";
constexpr wchar_t kMachineProductKey[] = L"Software\\Tolma\\tamr";
constexpr wchar_t kUserOrviaKey[] = L"Software\\Tolma\\orvia";
constexpr wchar_t kUserProductKey[] = L"Software\\Tolma\\orvia\\tamr";
// Read back under HKEY_CURRENT_USER, never written by the installer.
constexpr wchar_t kRecordedInstallDirKey[] = L"Software\\Tolma\\tamr";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Registry values of the product keys.
constexpr wchar_t kAppNameValue[] = L"AppName";
constexpr wchar_t kInstallDirValue[] = L"InstallDir";
constexpr wchar_t kLocaleValue[] = L"locale";
constexpr wchar_t kSimplifiedLocale[] = L"hans";
constexpr wchar_t kTraditionalLocale[] = L"hant";

// Registry values of the uninstall entry.
constexpr wchar_t kDisplayIconValue[] = L"DisplayIcon";
constexpr wchar_t kDisplayNameValue[] = L"DisplayName";
constexpr wchar_t kDisplayVersionValue[] = L"DisplayVersion";
constexpr wchar_t kPublisherValue[] = L"Publisher";
constexpr wchar_t kUninstallStringValue[] = L"UninstallString";
constexpr wchar_t kInstallLocationValue[] = L"InstallLocation";
constexpr wchar_t kEstimatedSizeValue[] = L"EstimatedSize";
constexpr wchar_t kNoModifyValue[] = L"NoModify";
constexpr wchar_t kNoRepairValue[] = L"NoRepair";
constexpr wchar_t kQuietUninstallStringValue[] = L"QuietUninstallString";
// The version the programs were built with; a setup package records its own version resource
// instead, which differs when the package was made for a client of another version.
constexpr wchar_t kDisplayVersion[] = L"" ORVIA_VERSION_TEXT;
constexpr wchar_t kPublisher[] = L"" ORVIA_COMPANY_NAME;
// What follows the quoted uninstaller path in QuietUninstallString.
constexpr wchar_t kSilentSwitch[] = L"/S";

} // namespace product

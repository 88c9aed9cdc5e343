#pragma once

#include <filesystem>
#include <string>

// What a completed installation leaves in the registry and the shell, made with the
// installer's own registration code, and removed again so each test starts and ends clean.
namespace uninstalltest {

class InstalledState {
public:
    InstalledState();
    ~InstalledState();
    InstalledState(const InstalledState&) = delete;
    InstalledState& operator=(const InstalledState&) = delete;

    // Both shortcuts, the uninstall entry, the product keys and the logon value for an
    // installation into `folder`.
    void Install(const std::wstring& folder);
    void Clean();

    bool HasShortcuts() const;
    bool HasAnyShortcut() const;
    bool HasUninstallEntry() const;
    // The product keys and the Run value, which an uninstall keeps.
    bool HasProductKeysAndLogonValue() const;

    const std::filesystem::path desktopLink;
    const std::filesystem::path programsFolder;
};

} // namespace uninstalltest

#pragma once

#include <string>
#include <vector>

// The uninstaller deletes the parent of its own folder. Before anything is touched it makes
// sure that folder is an installation of the client and nothing a user or the system keeps
// elsewhere: run from a download folder, a copy or a wrong place, it would otherwise delete an
// unrelated tree.

enum class RemovalRefusal {
    None,
    // The checks have not run (or could not finish): nothing may be removed.
    NotChecked,
    // Its own folder is not named "tamro".
    NotInClientFolder,
    // Neither tamro.exe lies beside it nor does the uninstall entry name this very file.
    NotInstalledHere,
    // The root is a drive or share root, a volume or mount point, a profile or a folder one or
    // two levels inside one, or a system or user folder (or above one).
    ProtectedFolder,
    // The root cannot be pinned down: its final path cannot be obtained, it lies in the device
    // namespace, or a component ends in a blank or a dot (which Win32 strips).
    UncertainFolder,
};

// What the checks look at, gathered from the system by GatherRemovalFacts.
struct RemovalFacts {
    // Full path of the running uninstaller.
    std::wstring ownPath;
    // ownPath with short (8.3) components expanded; ownPath itself when that fails.
    std::wstring ownLongPath;
    // The root as the file system resolves it (links followed); empty when unknown.
    std::wstring resolvedRoot;
    // The volume paths (GetVolumePathNameW) of the root and of the resolved root; empty when
    // unknown.
    std::wstring rootVolume;
    std::wstring resolvedRootVolume;
    // Whether a file tamro.exe (not a folder) is in the uninstaller's own folder.
    bool clientBesideUs{false};
    // UninstallString of the uninstall entry, and its program path with short components
    // expanded; empty when there is no entry.
    std::wstring registeredCommand;
    std::wstring registeredLongPath;
    // Folders the root must neither be nor lie above, each as given and as resolved.
    std::vector<std::wstring> protectedFolders;
    // Folders holding profiles: the root may not lie one, two or three levels inside them.
    std::vector<std::wstring> protectedParents;
    // Every profile of the machine, each as given and as resolved: the root may neither
    // contain one nor lie one or two levels inside one.
    std::vector<std::wstring> profiles;
};

struct RemovalVerdict {
    RemovalRefusal refusal{RemovalRefusal::NotChecked};
    // The folder the removal deletes; set even when refused, for the message.
    std::wstring root;

    bool allowed() const { return refusal == RemovalRefusal::None; }
};

// The checks themselves, in order: own folder name, installation, protected folders.
RemovalVerdict JudgeRemoval(const RemovalFacts& facts);

// Reads the facts for an uninstaller at ownPath from the file system, the registry (the
// profile list and the shell folders of every loaded user hive) and the shell's known folders.
RemovalFacts GatherRemovalFacts(const std::wstring& ownPath);

// GatherRemovalFacts, then JudgeRemoval.
RemovalVerdict CheckRemoval(const std::wstring& ownPath);

// Whether the uninstall entry's UninstallString (quoted or not) names the uninstaller at
// ownPath, compared without case and with short names expanded.
bool IsRegisteredUninstaller(const std::wstring& ownPath);

// `path` with short (8.3) components expanded; `path` itself when that fails (for example
// when it does not exist).
std::wstring LongPath(const std::wstring& path);

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
    // The root is a drive or share root, a profile, or a system or user folder (or above one).
    ProtectedFolder,
};

// What the checks look at, gathered from the system by GatherRemovalFacts.
struct RemovalFacts {
    // Full path of the running uninstaller.
    std::wstring ownPath;
    // ownPath with short (8.3) components expanded; ownPath itself when that fails.
    std::wstring ownLongPath;
    // The root as the file system resolves it (links followed); empty when unknown.
    std::wstring resolvedRoot;
    // Whether a file tamro.exe (not a folder) is in the uninstaller's own folder.
    bool clientBesideUs{false};
    // UninstallString of the uninstall entry, and its program path with short components
    // expanded; empty when there is no entry.
    std::wstring registeredCommand;
    std::wstring registeredLongPath;
    // Folders the root must neither be nor lie above, each as given and as resolved.
    std::vector<std::wstring> protectedFolders;
    // Folders whose direct children must not be the root (the folder holding the profiles).
    std::vector<std::wstring> protectedParents;
};

struct RemovalVerdict {
    RemovalRefusal refusal{RemovalRefusal::NotChecked};
    // The folder the removal deletes; set even when refused, for the message.
    std::wstring root;

    bool allowed() const { return refusal == RemovalRefusal::None; }
};

// The checks themselves, in order: own folder name, installation, protected folders.
RemovalVerdict JudgeRemoval(const RemovalFacts& facts);

// Reads the facts for an uninstaller at ownPath from the file system, the registry and the
// shell's known folders.
RemovalFacts GatherRemovalFacts(const std::wstring& ownPath);

// GatherRemovalFacts, then JudgeRemoval.
RemovalVerdict CheckRemoval(const std::wstring& ownPath);

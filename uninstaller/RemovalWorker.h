#pragma once

#include "win32/StopSignal.h"

#include <windows.h>

#include <string>

// The removal of the installed tree: counted first, then deleted depth first, one progress
// message per folder. Free of dialog code: it knows the dialog only as the window its
// messages go to, so a closed dialog is never touched.

// What DeleteTree needs besides the folder.
struct TreeRemoval {
    // Receives RemovalProgressMessage (WPARAM 0, LPARAM percent) after each folder.
    HWND window{nullptr};
    // The running uninstaller, which is never deleted.
    std::wstring ownPath;
    // Pause after each folder, which paces the progress bar.
    DWORD folderPauseMs{0};
    const win32::StopSignal* stop{nullptr};
};

// Adds to `counter` the folders of the tree at `path`, the folder itself included. Links to
// folders (reparse points) count as one folder and are not entered; names beginning with "."
// are not entered either. A folder that cannot be enumerated still counts as one.
void CountFolders(const std::wstring& path, unsigned long& counter);

// Deletes the tree at `path` depth first, in the order the file system lists it: names
// beginning with "." stay, the own file stays, a link to a folder is removed as the link
// itself (never entered), and each folder is removed after its content with its attributes
// reset. Each folder is opened without following links and held open (nobody can rename it
// meanwhile) while it is listed and emptied through that handle; a sub folder is entered only
// when what bears its name is still the listed folder, no link, and its final path lies where
// the listing put it below the root's. A file is deleted through a handle to the name itself
// whose final path is checked first. So a folder replaced by a link during the walk costs the
// link at most, never what it points to. After each folder (links included) `done` grows by one and
// the percentage done / total * 100 (double precision, truncated) is posted, then the removal
// pauses. Returns false when the stop signal was set: nothing more is deleted or posted.
bool DeleteTree(const std::wstring& path, unsigned long& done, unsigned long total,
                const TreeRemoval& removal);

// The percentage posted after `done` of `total` folders.
int RemovalPercent(unsigned long done, unsigned long total);

#pragma once

#include <windows.h>
#include <shtypes.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Real folder trees, links and message queues for the uninstaller's tests.
namespace uninstalltest {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& content);

// Every entry below `root` by relative path: a folder as "<folder>", a file as its bytes.
// Names beginning with "." are included. Links are listed, never entered.
using TreeSnapshot = std::map<std::wstring, std::string>;
TreeSnapshot Snapshot(const fs::path& root);

bool Exists(const fs::path& path);

// Waits up to `timeoutMs` for `path` to disappear; false when it is still there.
bool WaitUntilGone(const fs::path& path, DWORD timeoutMs);

// The shell's known folder, empty when it has none.
fs::path KnownFolder(const KNOWNFOLDERID& id);

bool IsWine();

// How a link to a folder was made. Windows makes junctions; Wine 8 accepts neither
// FSCTL_SET_REPARSE_POINT nor CreateSymbolicLinkW (a stub that makes nothing), but shows a
// Unix symbolic link as a folder with FILE_ATTRIBUTE_REPARSE_POINT, so there the link is made
// on the Unix side.
enum class LinkKind { None, Junction, SymbolicLink, UnixLink };
LinkKind MakeFolderLink(const fs::path& link, const fs::path& target);
// A symbolic link to a file: CreateSymbolicLinkW where the account may make one, under Wine a
// Unix symbolic link (which Wine shows as the file it leads to).
LinkKind MakeFileLink(const fs::path& link, const fs::path& target);
// Removes a link made by MakeFolderLink or MakeFileLink, never what it points to.
void RemoveFolderLink(const fs::path& link, LinkKind kind);

// A window that only receives posted messages, read back with TakeMessages.
class MessageWindow {
public:
    MessageWindow();
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND get() const { return m_window; }
    // The LPARAMs of the `message` posts waiting in the queue, oldest first.
    std::vector<LPARAM> Take(UINT message);
    // Whether a `message` post is waiting, removing it.
    bool TakeOne(UINT message);

private:
    HWND m_window{nullptr};
};

} // namespace uninstalltest

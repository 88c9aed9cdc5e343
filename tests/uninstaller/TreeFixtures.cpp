#include "tests/uninstaller/TreeFixtures.h"

#include "win32/UniqueHandle.h"
#include "win32/Utf8.h"

#include <shlobj.h>
#include <winioctl.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace uninstalltest {

namespace {

// The mount point layout of FSCTL_SET_REPARSE_POINT for a junction: tag, lengths, then the
// substitute name ("\??\<target>") and the print name, each NUL-terminated.
struct MountPointHeader {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
};
constexpr std::size_t kReparseHeaderSize = 8; // tag, dataLength, reserved

bool IsLinkAttribute(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeJunction(const fs::path& link, const fs::path& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    win32::UniqueFileHandle handle(
        CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    bool made = false;
    if (handle) {
        const std::wstring substitute = L"\\??\\" + target.wstring();
        const std::wstring print = target.wstring();
        const std::size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
        std::vector<BYTE> buffer(sizeof(MountPointHeader) + names);
        MountPointHeader header{};
        header.tag = IO_REPARSE_TAG_MOUNT_POINT;
        header.substituteLength = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
        header.printOffset = static_cast<WORD>((substitute.size() + 1) * sizeof(wchar_t));
        header.printLength = static_cast<WORD>(print.size() * sizeof(wchar_t));
        header.dataLength =
            static_cast<WORD>(sizeof(MountPointHeader) - kReparseHeaderSize + names);
        std::memcpy(buffer.data(), &header, sizeof(header));
        std::memcpy(buffer.data() + sizeof(header), substitute.c_str(),
                    (substitute.size() + 1) * sizeof(wchar_t));
        std::memcpy(buffer.data() + sizeof(header) + header.printOffset, print.c_str(),
                    (print.size() + 1) * sizeof(wchar_t));
        DWORD returned = 0;
        made = DeviceIoControl(handle.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                               static_cast<DWORD>(buffer.size()), nullptr, 0, &returned,
                               nullptr) != FALSE;
    }
    handle.reset();
    if (!made || !IsLinkAttribute(link)) {
        RemoveDirectoryW(link.c_str());
        return false;
    }
    return true;
}

// Wine maps its drives onto the Unix file system; this names a Windows path there.
std::string UnixPath(const fs::path& path) {
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return {};
    char* unix = convert(path.c_str());
    if (!unix)
        return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Starts a Unix program under Wine, which runs Unix executables given by their Z: path. Wine
// does not make it a Windows process one could wait for: callers watch for its effect.
bool StartUnix(const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    win32::UniqueKernelHandle processHandle(process.hProcess);
    win32::UniqueKernelHandle threadHandle(process.hThread);
    return true;
}

// Waits up to five seconds for `isLink(path)` to become `wanted`.
bool WaitForLink(const fs::path& path, bool wanted) {
    for (int i = 0; i < 100; ++i) {
        if (IsLinkAttribute(path) == wanted)
            return true;
        Sleep(50);
    }
    return false;
}

std::wstring Quoted(const std::string& text) {
    return L"\"" + win32::FromUtf8(text) + L"\"";
}

bool MakeUnixLink(const fs::path& link, const fs::path& target) {
    const std::string unixLink = UnixPath(link);
    const std::string unixTarget = UnixPath(target);
    if (unixLink.empty() || unixTarget.empty())
        return false;
    return StartUnix(L"Z:\\bin\\ln", L"-s " + Quoted(unixTarget) + L" " + Quoted(unixLink)) &&
           WaitForLink(link, true);
}

} // namespace

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file << content;
}

TreeSnapshot Snapshot(const fs::path& root) {
    TreeSnapshot snapshot;
    std::vector<fs::path> pending{root};
    while (!pending.empty()) {
        const fs::path folder = pending.back();
        pending.pop_back();
        WIN32_FIND_DATAW entry{};
        win32::UniqueFindHandle find(FindFirstFileW((folder / L"*").c_str(), &entry));
        if (!find)
            continue;
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const fs::path path = folder / name;
            const std::wstring relative = path.lexically_relative(root).wstring();
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                snapshot[relative] = "<link>";
            } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                snapshot[relative] = "<folder>";
                pending.push_back(path);
            } else {
                std::ifstream file(path, std::ios::binary);
                snapshot[relative] = std::string(std::istreambuf_iterator<char>(file), {});
            }
        } while (FindNextFileW(find.get(), &entry));
    }
    return snapshot;
}

bool Exists(const fs::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitUntilGone(const fs::path& path, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (Exists(path)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(100);
    }
    return true;
}

fs::path KnownFolder(const KNOWNFOLDERID& id) {
    wchar_t* path = nullptr;
    fs::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        result = path;
    CoTaskMemFree(path);
    return result;
}

bool IsWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

LinkKind MakeFolderLink(const fs::path& link, const fs::path& target) {
    if (MakeJunction(link, target))
        return LinkKind::Junction;
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY |
                                SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
        IsLinkAttribute(link))
        return LinkKind::SymbolicLink;
    if (IsWine() && MakeUnixLink(link, target))
        return LinkKind::UnixLink;
    return LinkKind::None;
}

LinkKind MakeFileLink(const fs::path& link, const fs::path& target) {
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(),
                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
        IsLinkAttribute(link))
        return LinkKind::SymbolicLink;
    if (!IsWine())
        return LinkKind::None;
    const std::string unixLink = UnixPath(link);
    const std::string unixTarget = UnixPath(target);
    if (unixLink.empty() || unixTarget.empty() ||
        !StartUnix(L"Z:\\bin\\ln", L"-s " + Quoted(unixTarget) + L" " + Quoted(unixLink)))
        return LinkKind::None;
    for (int i = 0; i < 100 && !Exists(link); ++i)
        Sleep(50);
    return Exists(link) ? LinkKind::UnixLink : LinkKind::None;
}

void RemoveFolderLink(const fs::path& link, LinkKind kind) {
    // Wine may show a Unix link to a file as that file, so it is removed by its kind alone.
    if (kind == LinkKind::UnixLink) {
        const std::string unixLink = UnixPath(link);
        if (!unixLink.empty() && StartUnix(L"Z:\\bin\\rm", L"-f " + Quoted(unixLink)))
            for (int i = 0; i < 100 && Exists(link); ++i)
                Sleep(50);
        return;
    }
    if (!IsLinkAttribute(link))
        return;
    // A link to a file goes as a file, one to a folder as a folder.
    if (!RemoveDirectoryW(link.c_str()))
        DeleteFileW(link.c_str());
}

MessageWindow::MessageWindow()
    : m_window(CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr)) {}

MessageWindow::~MessageWindow() {
    if (m_window)
        DestroyWindow(m_window);
}

std::vector<LPARAM> MessageWindow::Take(UINT message) {
    std::vector<LPARAM> values;
    MSG msg{};
    while (PeekMessageW(&msg, m_window, message, message, PM_REMOVE))
        values.push_back(msg.lParam);
    return values;
}

bool MessageWindow::TakeOne(UINT message) {
    MSG msg{};
    return PeekMessageW(&msg, m_window, message, message, PM_REMOVE) != FALSE;
}

} // namespace uninstalltest

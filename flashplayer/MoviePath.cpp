#include "flashplayer/MoviePath.h"

#include "win32/ModuleFileName.h"
#include "win32/PathSeparator.h"

#include <windows.h>

namespace flashplayer {

namespace {

// A path the control and the file system can take without long-path support: MAX_PATH counts
// the terminating NUL.
bool FitsPathLimit(const std::wstring& path) {
    return path.size() < MAX_PATH;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::wstring> Beside(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty())
        return std::nullopt;
    std::wstring path = folder + win32::kPathSeparator + name;
    if (!FitsPathLimit(path) || !Exists(path))
        return std::nullopt;
    return path;
}

} // namespace

std::optional<std::wstring> ResolveMoviePath(const std::wstring& movie,
                                             const std::wstring& currentDirectory,
                                             const std::wstring& programFolder) {
    if (movie.find(win32::kPathSeparator) != std::wstring::npos)
        return movie;
    if (auto path = Beside(currentDirectory, movie))
        return path;
    return Beside(programFolder, movie);
}

std::optional<std::wstring> ResolveMoviePath(const std::wstring& movie) {
    return ResolveMoviePath(movie, CurrentDirectory(), ProgramFolder());
}

std::wstring CurrentDirectory() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        if (length == 0)
            return {};
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        // Too small: length is the size needed, terminating NUL included.
        folder.resize(length);
    }
}

std::wstring ProgramFolder() {
    const std::wstring path = win32::ModuleFileName(nullptr);
    const std::size_t slash = path.rfind(win32::kPathSeparator);
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

} // namespace flashplayer

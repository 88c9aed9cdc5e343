#pragma once

#include <optional>
#include <string>

namespace flashplayer {

// Where the movie named on the command line is. A name with a backslash is a path and is used
// as it is, unchecked. A bare name is looked for in the current directory, then in the program's
// own folder; a place where the joined path would not fit the system's path limit (MAX_PATH) is
// passed over rather than cut. Nothing when the name is found nowhere.
std::optional<std::wstring> ResolveMoviePath(const std::wstring& movie);

// The same search with the two folders given, for tests.
std::optional<std::wstring> ResolveMoviePath(const std::wstring& movie,
                                             const std::wstring& currentDirectory,
                                             const std::wstring& programFolder);

// The current directory as the system reports it, however long; empty on failure.
std::wstring CurrentDirectory();

// The folder of the running executable, without the trailing backslash; empty on failure.
std::wstring ProgramFolder();

} // namespace flashplayer

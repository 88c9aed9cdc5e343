#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// Value of an environment variable the test harness sets (ORVIA_SOURCE_DIR, ORVIA_BINARY_DIR,
// ORVIA_ARTIFACTS), in the form the running platform reads; empty when unset.
std::filesystem::path HarnessPath(const char* variable);

// Folder where tests keep what a person may want to look at afterwards (screenshots, reports).
std::filesystem::path ArtifactsFolder();

// A new, empty, uniquely named folder below the system temp folder, removed with everything in
// it (read-only files included) when the object goes away.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& tag = "test");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::wstring wide() const { return m_path.wstring(); }

private:
    std::filesystem::path m_path;
};

// Removes a folder tree even when some of its files are read-only. Errors are ignored.
void RemoveTree(const std::filesystem::path& folder);

} // namespace testsupport

#include "tests/support/TestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace testsupport {

namespace {

unsigned long ProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

} // namespace

fs::path HarnessPath(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? fs::path(value) : fs::path();
}

fs::path ArtifactsFolder() {
    fs::path folder = HarnessPath("ORVIA_ARTIFACTS");
    if (folder.empty())
        folder = fs::temp_directory_path() / "orvia-artifacts";
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return folder;
}

ScratchFolder::ScratchFolder(const std::string& tag) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = fs::temp_directory_path() / (tag + "-" + std::to_string(ProcessId()) + "-" +
                                          std::to_string(ticks) + "-" + std::to_string(counter++));
    fs::create_directories(m_path);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(m_path);
}

void RemoveTree(const fs::path& folder) {
    std::error_code error;
#ifdef _WIN32
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
    fs::remove_all(folder, error);
}

} // namespace testsupport

#include "installer/Registration.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"
#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kEndWaitMilliseconds = 10000;

fs::path SleeperProgram() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / L"registration_sleeper.exe";
}

// Process ids the snapshot lists under exactly this image name.
std::set<DWORD> SnapshotIds(const std::wstring& imageName) {
    std::set<DWORD> ids;
    win32::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        if (imageName == entry.szExeFile)
            ids.insert(entry.th32ProcessID);
    return ids;
}

TEST(StopRunningClient, EndsExactlyTheProcessesNamedTamroExe) {
    testsupport::ScratchFolder scratch("stopclient");
    const fs::path sleeper = SleeperProgram();
    ASSERT_TRUE(fs::exists(sleeper)) << sleeper.string();

    // One folder per copy: file names compare without case, so tamro.exe and TAMRO.EXE
    // cannot share one.
    const std::vector<std::wstring> names = {L"tamro.exe", L"TAMRO.EXE", L"tamro.exe.bak",
                                             L"mytamro.exe"};
    // Copies of the sleeper under those image names, ended when the test is over.
    std::vector<testsupport::ChildProcess> children;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const fs::path folder = scratch.path() / std::to_wstring(i);
        fs::create_directory(folder);
        fs::copy_file(sleeper, folder / names[i]);
        children.emplace_back((folder / names[i]).wstring());
        ASSERT_TRUE(children.back()) << fs::path(names[i]).string();
    }
    // The snapshot names each copy by its bare image name, the case as on disk.
    for (std::size_t i = 0; i < names.size(); ++i) {
        bool listed = false;
        for (int attempt = 0; attempt < 100 && !listed; ++attempt) {
            listed = SnapshotIds(names[i]).count(children[i].id()) != 0;
            if (!listed)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(listed) << fs::path(names[i]).string();
    }

    StopRunningClient();

    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(children[i].ExitCode(kEndWaitMilliseconds), std::optional<DWORD>(0))
            << fs::path(names[i]).string();
    for (std::size_t i = 2; i < names.size(); ++i)
        EXPECT_FALSE(children[i].ExitCode(200)) << fs::path(names[i]).string();
}

} // namespace

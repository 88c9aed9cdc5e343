#include "installer/Registration.h"
#include "tests/support/TestSupport.h"
#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <filesystem>
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

// A copy of the sleeper started under a chosen image name; terminated when the test is over,
// so a failing test leaves nothing running.
class ChildProcess {
public:
    ChildProcess(const fs::path& image) : m_image(image) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        std::wstring commandLine = L"\"" + image.wstring() + L"\"";
        if (CreateProcessW(image.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, nullptr, &startup, &info)) {
            m_process.reset(info.hProcess);
            CloseHandle(info.hThread);
            m_id = info.dwProcessId;
        }
    }
    ~ChildProcess() {
        if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.get(), 1);
            WaitForSingleObject(m_process.get(), kEndWaitMilliseconds);
        }
    }

    bool started() const { return static_cast<bool>(m_process); }
    DWORD id() const { return m_id; }
    const fs::path& image() const { return m_image; }

    bool endsWithin(DWORD milliseconds) const {
        return WaitForSingleObject(m_process.get(), milliseconds) == WAIT_OBJECT_0;
    }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_process.get(), &code);
        return code;
    }

private:
    fs::path m_image;
    win32::UniqueKernelHandle m_process;
    DWORD m_id{0};
};

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
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const fs::path folder = scratch.path() / std::to_wstring(i);
        fs::create_directory(folder);
        fs::copy_file(sleeper, folder / names[i]);
        children.push_back(std::make_unique<ChildProcess>(folder / names[i]));
        ASSERT_TRUE(children.back()->started()) << fs::path(names[i]).string();
    }
    // The snapshot names each copy by its bare image name, the case as on disk.
    for (const auto& child : children) {
        const std::wstring name = child->image().filename().wstring();
        bool listed = false;
        for (int attempt = 0; attempt < 100 && !listed; ++attempt) {
            listed = SnapshotIds(name).count(child->id()) != 0;
            if (!listed)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(listed) << fs::path(name).string();
    }

    StopRunningClient();

    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(children[i]->endsWithin(kEndWaitMilliseconds)) << fs::path(names[i]).string();
        EXPECT_EQ(children[i]->exitCode(), 0u) << fs::path(names[i]).string();
    }
    for (std::size_t i = 2; i < names.size(); ++i)
        EXPECT_FALSE(children[i]->endsWithin(200)) << fs::path(names[i]).string();
}

} // namespace

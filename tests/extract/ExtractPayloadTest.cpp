// ExtractPayload under Wine, with a real (message-only) window receiving the progress messages.
// The archives come from make-archives.sh; see there for what each holds.
#include "installer/ExtractPayload.h"
#include "installer/PayloadSource.h"
#include "sevenzip/Archive.h"
#include "tests/support/TestSupport.h"
#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Records the LPARAM of every InstallProgressMessage its window receives.
class ProgressWindow {
public:
    ProgressWindow() {
        static const ATOM windowClass = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &ProgressWindow::Procedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ExtractPayloadTestProgress";
            return RegisterClassW(&wc);
        }();
        m_window = CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ProgressWindow() { DestroyWindow(m_window); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    HWND get() const { return m_window; }

    // Delivers everything queued for the window and gives the percentages received so far.
    std::vector<LPARAM> Received() {
        MSG msg;
        while (PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        return m_values;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == InstallProgressMessage) {
            EXPECT_EQ(wParam, 0u);
            self->m_values.push_back(lParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window{nullptr};
    std::vector<LPARAM> m_values;
};

fs::path Archives() {
    return testsupport::HarnessPath("ORVIA_BINARY_DIR") / "tests/extract/archives";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool IsReadOnly(const fs::path& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::size_t CountEntries(const fs::path& folder) {
    if (!fs::exists(folder))
        return 0;
    return static_cast<std::size_t>(std::distance(fs::recursive_directory_iterator(folder),
                                                  fs::recursive_directory_iterator()));
}

// What the progress messages must be: one per file entry, its position in the whole entry list
// (folders included) as an integer percentage.
std::vector<LPARAM> ExpectedProgress(const fs::path& archivePath, std::size_t limit = SIZE_MAX) {
    PayloadSource source;
    EXPECT_TRUE(source.Open(archivePath.wstring()));
    sevenzip::Archive archive;
    EXPECT_EQ(archive.Open(source), SZ_OK);
    std::vector<LPARAM> values;
    const std::uint32_t count = archive.EntryCount();
    for (std::uint32_t i = 0; i < count && values.size() < limit; i++)
        if (!archive.IsDirectory(i))
            values.push_back(static_cast<LPARAM>(static_cast<double>(i + 1) / count * 100.0));
    return values;
}

// How many file entries come before the entry named `name`; SIZE_MAX when there is none.
std::size_t FilesBefore(const fs::path& archivePath, const std::u16string& name) {
    PayloadSource source;
    EXPECT_TRUE(source.Open(archivePath.wstring()));
    sevenzip::Archive archive;
    EXPECT_EQ(archive.Open(source), SZ_OK);
    std::size_t files = 0;
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        if (archive.Name(i) == name)
            return files;
        if (!archive.IsDirectory(i))
            files++;
    }
    ADD_FAILURE() << "no entry of that name";
    return SIZE_MAX;
}

// Rewrites an entry name in an archive with a plain header (same length) and fixes the CRCs.
std::string Renamed(std::string archive, const std::u16string& from, const std::u16string& to) {
    std::string needle, replacement;
    for (std::size_t i = 0; i < from.size(); i++) {
        needle += static_cast<char>(from[i] & 0xFF);
        needle += static_cast<char>(from[i] >> 8);
        replacement += static_cast<char>(to[i] & 0xFF);
        replacement += static_cast<char>(to[i] >> 8);
    }
    EXPECT_EQ(from.size(), to.size());
    std::size_t at = archive.find(needle, 32);
    EXPECT_NE(at, std::string::npos);
    if (at == std::string::npos || from.size() != to.size())
        return archive;
    archive.replace(at, replacement.size(), replacement);
    auto le64 = [&](std::size_t pos) {
        std::uint64_t v = 0;
        for (int k = 7; k >= 0; k--)
            v = v << 8 | static_cast<unsigned char>(archive[pos + k]);
        return v;
    };
    auto putCrc = [&](std::size_t pos, const char* data, std::size_t size) {
        uLong crc = crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(data), size);
        for (int k = 0; k < 4; k++)
            archive[pos + k] = static_cast<char>(crc >> (8 * k));
    };
    const std::size_t headerAt = 32 + static_cast<std::size_t>(le64(12));
    putCrc(28, archive.data() + headerAt, static_cast<std::size_t>(le64(20)));
    putCrc(8, archive.data() + 12, 20);
    return archive;
}

TEST(ExtractPayload, MapsThePayloadLayoutIntoTheInstallFolder) {
    testsupport::ScratchFolder scratch("extract");
    const fs::path install = scratch.path() / L"安装" / L"Tamro";
    ProgressWindow window;
    ASSERT_EQ(
        ExtractPayload((Archives() / "payload.7z").wstring(), install.wstring(), window.get()), 0);

    // "install/data/..." lands in the install folder, "/" turned into "\".
    const std::string exe = ReadFile(install / "tamro" / "tamro.exe");
    EXPECT_EQ(exe.size(), 300000u);
    std::string original(300000, '\0');
    std::ifstream("Z:/usr/bin/7zz", std::ios::binary).read(&original[0], 300000);
    EXPECT_EQ(exe, original);
    std::ostringstream numbers;
    for (int n = 1; n <= 20000; n++)
        numbers << n << "\n";
    EXPECT_EQ(ReadFile(install / "res" / "i18n" / "hans" / "strings.txt"), numbers.str());
    EXPECT_EQ(ReadFile(install / "res" / "i18n" / "hans" / L"说明.txt"), "中文内容\r\n");
    EXPECT_TRUE(fs::is_directory(install / "emptydir"));
    EXPECT_TRUE(fs::exists(install / "empty.dat"));
    EXPECT_EQ(fs::file_size(install / "empty.dat"), 0u);
    // Names without "install/data" keep their whole name below the install folder.
    EXPECT_EQ(ReadFile(install / "install" / "Licence.txt"), "licence text\r\n");
    EXPECT_EQ(ReadFile(install / "install" / "res" / "comskin.conf"), "[skin]\r\n");
    // Folders before "install/data" are dropped along with it.
    EXPECT_EQ(ReadFile(install / "y"), "y\r\n");
    EXPECT_TRUE(fs::is_directory(install / "pre" / "fix" / "install"));
    EXPECT_FALSE(fs::exists(install / "pre" / "fix" / "install" / "data"));
    EXPECT_FALSE(fs::exists(install / "data"));
    // Made on Unix: only the Windows bits of the attributes apply, read-only among them.
    EXPECT_TRUE(IsReadOnly(install / "readonly.ini"));
    EXPECT_EQ(ReadFile(install / "readonly.ini"), "keep me\r\n");
    EXPECT_FALSE(IsReadOnly(install / "zz_last.txt"));

    const std::vector<LPARAM> progress = window.Received();
    EXPECT_EQ(progress, ExpectedProgress(Archives() / "payload.7z"));
    ASSERT_EQ(progress.size(), 9u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100);
}

TEST(ExtractPayload, SeveralSolidBlocksGiveTheSameTree) {
    testsupport::ScratchFolder scratch("blocks");
    ProgressWindow window;
    ASSERT_EQ(ExtractPayload((Archives() / "payload.7z").wstring(),
                             (scratch.path() / "one").wstring(), window.get()),
              0);
    ASSERT_EQ(ExtractPayload((Archives() / "twoblocks.7z").wstring(),
                             (scratch.path() / "many").wstring(), window.get()),
              0);
    for (const auto& entry : fs::recursive_directory_iterator(scratch.path() / "one")) {
        const fs::path other =
            scratch.path() / "many" / fs::relative(entry.path(), scratch.path() / "one");
        ASSERT_TRUE(fs::exists(other)) << other;
        if (entry.is_regular_file()) {
            EXPECT_EQ(ReadFile(entry.path()), ReadFile(other)) << other;
        }
    }
    EXPECT_EQ(CountEntries(scratch.path() / "one"), CountEntries(scratch.path() / "many"));
    window.Received();
}

// The blocks are written side by side; the progress is a sequential run's all the same.
TEST(ExtractPayload, BlocksSideBySidePostProgressInArchiveOrder) {
    testsupport::ScratchFolder scratch("order");
    for (const char* name : {"twoblocks.7z", "copyblocks.7z"}) {
        ProgressWindow window;
        ASSERT_EQ(ExtractPayload((Archives() / name).wstring(), (scratch.path() / name).wstring(),
                                 window.get()),
                  0);
        EXPECT_EQ(window.Received(), ExpectedProgress(Archives() / name)) << name;
        EXPECT_TRUE(IsReadOnly(scratch.path() / name / "readonly.ini"));
    }
}

// Damage in the first block's first file while the later blocks are written by other threads:
// the result is that file's, and nothing after it stays on disk.
TEST(ExtractPayload, DamageInTheFirstBlockLeavesNothingAfterIt) {
    testsupport::ScratchFolder scratch("firstblock");
    std::string bytes = ReadFile(Archives() / "copyblocks.7z");
    bytes[40] ^= 0x01;
    WriteFile(scratch.path() / "bad.7z", bytes);
    ProgressWindow window;
    const fs::path out = scratch.path() / "out";
    EXPECT_EQ(ExtractPayload((scratch.path() / "bad.7z").wstring(), out.wstring(), window.get()),
              SZ_ERROR_CRC);
    PayloadSource source;
    ASSERT_TRUE(source.Open((scratch.path() / "bad.7z").wstring()));
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    ASSERT_GT(archive.BlockCount(), 2u);
    std::uint32_t damaged = 0;
    std::size_t filesBefore = 0;
    for (; archive.BlockOf(damaged) != 0; damaged++)
        filesBefore += !archive.IsDirectory(damaged);
    // The files before it (without data) were reported, nothing from it on.
    EXPECT_EQ(window.Received(), ExpectedProgress(scratch.path() / "bad.7z", filesBefore));
    for (std::uint32_t i = damaged + 1; i < archive.EntryCount(); i++) {
        const std::u16string& name = archive.Name(i);
        const fs::path relative =
            fs::path(std::wstring(name.begin(), name.end())).lexically_relative("install/data");
        if (!relative.empty() && relative.native()[0] != L'.') {
            EXPECT_FALSE(fs::exists(out / relative)) << relative;
        }
    }
}

// Runs of zeros and of a short pattern that end just past one of the decoder's pieces: the last
// input byte is read while output is still due. Each must come out whole.
TEST(ExtractPayload, ExtremeRatiosComeOutWhole) {
    testsupport::ScratchFolder scratch("extreme");
    ProgressWindow window;
    ASSERT_EQ(ExtractPayload((Archives() / "boundary.7z").wstring(),
                             (scratch.path() / "boundary").wstring(), window.get()),
              0);
    const fs::path sources = Archives() / "boundary-src" / "install" / "data";
    std::size_t compared = 0;
    for (const auto& entry : fs::directory_iterator(sources)) {
        EXPECT_TRUE(ReadFile(entry.path()) ==
                    ReadFile(scratch.path() / "boundary" / entry.path().filename()))
            << entry.path();
        compared++;
    }
    EXPECT_EQ(compared, 24u);

    const fs::path zeros = scratch.path() / "zeros" / "zeros.bin";
    ASSERT_EQ(ExtractPayload((Archives() / "zeros250.7z").wstring(),
                             (scratch.path() / "zeros").wstring(), window.get()),
              0);
    ASSERT_EQ(fs::file_size(zeros), 250u << 20);
    std::ifstream in(zeros, std::ios::binary);
    std::vector<char> block(1 << 20);
    bool allZero = true;
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
        allZero = allZero && std::all_of(block.begin(), block.begin() + in.gcount(),
                                         [](char c) { return c == 0; });
    EXPECT_TRUE(allZero);
    window.Received();
}

// Another 7z writer: names start with "./" and the top folder is an entry named ".". Such names
// stand for the same places as without the dots.
TEST(ExtractPayload, DotComponentsNameTheFolderTheyStandIn) {
    testsupport::ScratchFolder scratch("dots");
    ProgressWindow window7zz;
    ASSERT_EQ(ExtractPayload((Archives() / "payload.7z").wstring(),
                             (scratch.path() / "7zz").wstring(), window7zz.get()),
              0);
    ProgressWindow window;
    ASSERT_EQ(ExtractPayload((Archives() / "dots.7z").wstring(),
                             (scratch.path() / "bsdtar").wstring(), window.get()),
              0);
    EXPECT_EQ(window.Received(), ExpectedProgress(Archives() / "dots.7z"));
    for (const auto& entry : fs::recursive_directory_iterator(scratch.path() / "7zz")) {
        const fs::path other =
            scratch.path() / "bsdtar" / fs::relative(entry.path(), scratch.path() / "7zz");
        ASSERT_TRUE(fs::exists(other)) << other;
        if (entry.is_regular_file()) {
            EXPECT_TRUE(ReadFile(entry.path()) == ReadFile(other)) << other;
            EXPECT_EQ(IsReadOnly(entry.path()), IsReadOnly(other)) << other;
        }
    }
    EXPECT_EQ(CountEntries(scratch.path() / "7zz"), CountEntries(scratch.path() / "bsdtar"));
}

TEST(ExtractPayload, FoldersOnlyAndEmptyArchivesPostNothing) {
    testsupport::ScratchFolder scratch("folders");
    ProgressWindow window;
    EXPECT_EQ(ExtractPayload((Archives() / "folders.7z").wstring(),
                             (scratch.path() / "f").wstring(), window.get()),
              0);
    EXPECT_TRUE(fs::is_directory(scratch.path() / "f" / "a" / "b"));
    EXPECT_TRUE(fs::is_directory(scratch.path() / "f" / "install" / "res"));
    EXPECT_EQ(ExtractPayload((Archives() / "empty.7z").wstring(),
                             (scratch.path() / "e" / "new").wstring(), window.get()),
              0);
    EXPECT_TRUE(fs::is_directory(scratch.path() / "e" / "new"));
    EXPECT_EQ(CountEntries(scratch.path() / "e" / "new"), 0u);
    EXPECT_TRUE(window.Received().empty());
}

TEST(ExtractPayload, FailsBeforeReadingWhenFolderOrArchiveIsMissing) {
    testsupport::ScratchFolder scratch("missing");
    ProgressWindow window;
    WriteFile(scratch.path() / "file", "not a folder");
    EXPECT_NE(ExtractPayload((Archives() / "payload.7z").wstring(),
                             (scratch.path() / "file" / "sub").wstring(), window.get()),
              0);
    EXPECT_NE(ExtractPayload((scratch.path() / "absent.7z").wstring(),
                             (scratch.path() / "out").wstring(), window.get()),
              0);
    EXPECT_EQ(CountEntries(scratch.path() / "out"), 0u);
    WriteFile(scratch.path() / "not.7z", "this is not an archive at all, not even close");
    EXPECT_EQ(ExtractPayload((scratch.path() / "not.7z").wstring(),
                             (scratch.path() / "out2").wstring(), window.get()),
              SZ_ERROR_NO_ARCHIVE);
    EXPECT_EQ(CountEntries(scratch.path() / "out2"), 0u);
    EXPECT_TRUE(window.Received().empty());
}

TEST(ExtractPayload, TargetPathsLongerThanMaxPathStopWithoutWriting) {
    testsupport::ScratchFolder scratch("long");
    // 80 characters of folder plus a 204-character name cannot fit in 260.
    std::wstring folder = (scratch.path() / "x").wstring();
    ASSERT_LT(folder.size(), 80u);
    folder.append(80 - folder.size(), L'd');
    ProgressWindow window;
    EXPECT_EQ(ExtractPayload((Archives() / "longname.7z").wstring(), folder, window.get()),
              kExtractFileError);
    // The folders listed before the file were made; the file itself was not.
    EXPECT_TRUE(fs::is_directory(fs::path(folder) / "install"));
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        EXPECT_FALSE(entry.is_regular_file()) << entry.path();
    EXPECT_TRUE(window.Received().empty());
}

TEST(ExtractPayload, NamesLeavingTheInstallFolderFailTheExtraction) {
    testsupport::ScratchFolder scratch("escape");
    const std::string original = ReadFile(Archives() / "copy.7z");
    for (const std::u16string& escape : {std::u16string(u"install/data/../escaped1.exe"),
                                         std::u16string(u"install/data/C:/escapedx.exe"),
                                         std::u16string(u"install/data//escaped_xy.exe"),
                                         std::u16string(u"install/data/tt\\..\\..\\ee.exe")}) {
        WriteFile(scratch.path() / "bad.7z",
                  Renamed(original, u"install/data/tamro/tamro.exe", escape));
        const fs::path install = scratch.path() / "inner" / "install";
        ProgressWindow window;
        EXPECT_NE(
            ExtractPayload((scratch.path() / "bad.7z").wstring(), install.wstring(), window.get()),
            0);
        EXPECT_FALSE(fs::exists(scratch.path() / "inner" / "escaped1.exe"));
        EXPECT_FALSE(fs::exists(scratch.path() / "ee.exe"));
        EXPECT_FALSE(fs::exists(scratch.path() / "inner" / "ee.exe"));
        EXPECT_FALSE(fs::exists("C:/escapedx.exe"));
        EXPECT_FALSE(fs::exists(install / "escaped_xy.exe"));
        // Every file before the bad name was written and reported, nothing from it on.
        EXPECT_EQ(window.Received(),
                  ExpectedProgress(scratch.path() / "bad.7z",
                                   FilesBefore(scratch.path() / "bad.7z", escape)));
        testsupport::RemoveTree(scratch.path() / "inner");
    }
}

TEST(ExtractPayload, DamagedDataStopsWithTheDecoderCode) {
    testsupport::ScratchFolder scratch("crc");
    std::string bytes = ReadFile(Archives() / "copy.7z");
    // Stored data starts right after the signature header; the first file's bytes lie there.
    bytes[40] ^= 0x01;
    WriteFile(scratch.path() / "bad.7z", bytes);
    ProgressWindow window;
    EXPECT_EQ(ExtractPayload((scratch.path() / "bad.7z").wstring(),
                             (scratch.path() / "out").wstring(), window.get()),
              SZ_ERROR_CRC);
    // Entries before the damaged one were written and reported.
    const std::vector<LPARAM> progress = window.Received();
    EXPECT_LT(progress.size(), 9u);
    EXPECT_EQ(progress, ExpectedProgress(scratch.path() / "bad.7z", progress.size()));
}

// The block is decoded as it is written: damage in its middle stops the extraction there. The
// files before it are whole and reported, the one being written stays as far as it got, no
// later one is begun.
TEST(ExtractPayload, DamageMidBlockKeepsTheFilesBeforeIt) {
    testsupport::ScratchFolder scratch("midblock");
    ProgressWindow wholeWindow;
    ASSERT_EQ(ExtractPayload((Archives() / "midblock.7z").wstring(),
                             (scratch.path() / "whole").wstring(), wholeWindow.get()),
              0);
    const std::size_t fileCount = wholeWindow.Received().size();
    std::string bytes = ReadFile(Archives() / "midblock.7z");
    std::uint64_t headerOffset = 0;
    for (int k = 7; k >= 0; k--)
        headerOffset = headerOffset << 8 | static_cast<unsigned char>(bytes[12 + k]);
    bytes[32 + static_cast<std::size_t>(headerOffset) / 2] ^= 0x10;
    WriteFile(scratch.path() / "bad.7z", bytes);
    ProgressWindow window;
    const int result = ExtractPayload((scratch.path() / "bad.7z").wstring(),
                                      (scratch.path() / "out").wstring(), window.get());
    EXPECT_TRUE(result == SZ_ERROR_DATA || result == SZ_ERROR_CRC) << result;
    const std::vector<LPARAM> progress = window.Received();
    EXPECT_GT(progress.size(), 2u);
    EXPECT_LT(progress.size() + 2, fileCount);
    EXPECT_EQ(progress, ExpectedProgress(scratch.path() / "bad.7z", progress.size()));

    PayloadSource source;
    ASSERT_TRUE(source.Open((scratch.path() / "bad.7z").wstring()));
    sevenzip::Archive archive;
    ASSERT_EQ(archive.Open(source), SZ_OK);
    std::size_t files = 0;
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        if (archive.IsDirectory(i))
            continue;
        const std::u16string& name = archive.Name(i);
        const fs::path relative =
            fs::path(std::wstring(name.begin(), name.end())).lexically_relative("install/data");
        const fs::path written = scratch.path() / "out" / relative;
        if (files < progress.size()) {
            EXPECT_TRUE(ReadFile(written) == ReadFile(scratch.path() / "whole" / relative))
                << relative;
        } else if (files > progress.size()) {
            EXPECT_FALSE(fs::exists(written)) << relative;
        }
        files++;
    }
}

TEST(ExtractPayload, UnwritableFileGivesElevenAndStops) {
    testsupport::ScratchFolder scratch("rewrite");
    const fs::path install = scratch.path() / "out";
    // A folder where the last file should go: the file cannot be created.
    fs::create_directories(install / "zz_last.txt");
    ProgressWindow window;
    EXPECT_EQ(
        ExtractPayload((Archives() / "payload.7z").wstring(), install.wstring(), window.get()),
        kExtractFileError);
    // Every file before it was written and reported; nothing after it.
    EXPECT_EQ(window.Received(), ExpectedProgress(Archives() / "payload.7z",
                                                  FilesBefore(Archives() / "payload.7z",
                                                              u"install/data/zz_last.txt")));
    EXPECT_TRUE(fs::is_directory(install / "zz_last.txt"));
}

// The installer holds its staging file open, denying others write and delete access, and
// unpacks through that very handle.
TEST(ExtractPayload, UnpacksFromAFileHeldOpenAgainstOtherWriters) {
    testsupport::ScratchFolder scratch("held");
    const fs::path staged = scratch.path() / "staged.7z";
    fs::copy_file(Archives() / "payload.7z", staged);
    win32::UniqueFileHandle held(CreateFileW(staged.c_str(), GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileW(staged.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, 0, nullptr));
    ProgressWindow window;
    ASSERT_EQ(ExtractPayload(held.get(), (scratch.path() / "out").wstring(), window.get()), 0);
    EXPECT_EQ(ReadFile(scratch.path() / "out" / "zz_last.txt"), "last\r\n");
    EXPECT_EQ(window.Received(), ExpectedProgress(Archives() / "payload.7z"));
    // The caller's handle stays usable after the extraction closed its duplicate.
    LARGE_INTEGER size{};
    EXPECT_TRUE(GetFileSizeEx(held.get(), &size));
    EXPECT_EQ(static_cast<std::uintmax_t>(size.QuadPart), fs::file_size(staged));
}

TEST(ExtractPayload, AStopRequestEndsTheExtractionBetweenEntries) {
    testsupport::ScratchFolder scratch("stop");
    win32::UniqueFileHandle archive(CreateFileW((Archives() / "payload.7z").c_str(), GENERIC_READ,
                                                FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(archive);
    ProgressWindow window;
    std::atomic<bool> stop{true};
    EXPECT_EQ(
        ExtractPayload(archive.get(), (scratch.path() / "out").wstring(), window.get(), &stop),
        kExtractStopped);
    EXPECT_EQ(CountEntries(scratch.path() / "out"), 0u);
    EXPECT_TRUE(window.Received().empty());
    stop = false;
    EXPECT_EQ(
        ExtractPayload(archive.get(), (scratch.path() / "out").wstring(), window.get(), &stop), 0);
}

} // namespace

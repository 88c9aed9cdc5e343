// The end-to-end tests' eyes and hands inside Wine: reads back what a program left in the
// registry, in shell links and on disk, finds windows and their state, and does the few things
// a test needs to set up or to provoke (a registry value, a WM_CLOSE from another program).
//
// Without arguments it reads commands from standard input, one per line, fields separated by
// tabs, UTF-8, and answers each with exactly one line (see ProbeAnswer.h). The window commands
// are listed in WindowCommands.h; the others:
//
//   reg ROOT KEY VALUE           type (REG_SZ, REG_DWORD, ...) and data; error when missing
//                                (ROOT: HKLM, HKCU or HKCR; an empty VALUE is the key's default)
//   regkey ROOT KEY              exists 0|1
//   setreg ROOT KEY VALUE DATA   writes REG_SZ, creating the key
//   delkey ROOT KEY              removes the key with everything below it
//   delval ROOT KEY VALUE        removes one value
//   lnk PATH                     target arguments workdir description showcmd icon iconindex hotkey
//   folder CSIDL                 path of a shell special folder
//   temp                         the user's temp folder
//   lock PATH                    what another process may do to the file: write, delete, rename,
//                                replace, read (1 allowed, 0 refused) with the error codes
//   procs IMAGE                  count of running processes with that image name
//   kill IMAGE                   terminates them; count
//
// and the program facts of ProgramFacts.h (version, shown).
//
// With a mode on its command line (launch, backdrop, owner) it does that one thing instead; see
// ProgramModes.h.
#include "tests/e2e/probe/ProbeAnswer.h"
#include "tests/e2e/probe/ProgramFacts.h"
#include "tests/e2e/probe/ProgramModes.h"
#include "tests/e2e/probe/WindowCommands.h"
#include "win32/ComPtr.h"
#include "win32/ComSession.h"
#include "win32/UniqueHandle.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace e2eprobe;

namespace {

HKEY ParseRoot(const std::wstring& text) {
    if (text == L"HKLM")
        return HKEY_LOCAL_MACHINE;
    if (text == L"HKCU")
        return HKEY_CURRENT_USER;
    if (text == L"HKCR")
        return HKEY_CLASSES_ROOT;
    return nullptr;
}

std::wstring TypeName(DWORD type) {
    static const std::map<DWORD, std::wstring> names{{REG_SZ, L"REG_SZ"},
                                                     {REG_EXPAND_SZ, L"REG_EXPAND_SZ"},
                                                     {REG_DWORD, L"REG_DWORD"},
                                                     {REG_BINARY, L"REG_BINARY"},
                                                     {REG_MULTI_SZ, L"REG_MULTI_SZ"}};
    const auto found = names.find(type);
    return found == names.end() ? std::to_wstring(type) : found->second;
}

Result RegCommand(const Fields& args) {
    HKEY root = ParseRoot(args.at(1));
    win32::UniqueRegistryKey key;
    if (!root ||
        RegOpenKeyExW(root, args.at(2).c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return Fail(L"no key");
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), args.at(3).c_str(), nullptr, &type, nullptr, &bytes) !=
        ERROR_SUCCESS)
        return Fail(L"no value");
    std::vector<BYTE> data(bytes + sizeof(wchar_t), 0);
    if (RegQueryValueExW(key.get(), args.at(3).c_str(), nullptr, &type, data.data(), &bytes) !=
        ERROR_SUCCESS)
        return Fail(L"cannot read");
    Result result;
    result.answer.Add(L"type", TypeName(type)).Add(L"bytes", bytes);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // Every unit of the stored data, a terminator included, so that the test sees it.
        std::wstring units(bytes / sizeof(wchar_t), L'\0');
        memcpy(units.data(), data.data(), units.size() * sizeof(wchar_t));
        const size_t end = units.find(L'\0');
        result.answer.Add(L"data", units.substr(0, end))
            .Add(L"terminated", end == units.size() - 1 ? 1 : 0);
    } else if (type == REG_DWORD) {
        DWORD value = 0;
        memcpy(&value, data.data(), sizeof(value));
        result.answer.Add(L"data", value);
    }
    return result;
}

Result RegKeyCommand(const Fields& args) {
    HKEY root = ParseRoot(args.at(1));
    win32::UniqueRegistryKey key;
    Result result;
    result.answer.Add(L"exists", root && RegOpenKeyExW(root, args.at(2).c_str(), 0, KEY_READ,
                                                       key.put()) == ERROR_SUCCESS);
    return result;
}

Result SetRegCommand(const Fields& args) {
    HKEY root = ParseRoot(args.at(1));
    win32::UniqueRegistryKey key;
    if (!root || RegCreateKeyExW(root, args.at(2).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                 key.put(), nullptr) != ERROR_SUCCESS)
        return Fail(L"cannot create the key");
    const std::wstring& data = args.at(4);
    if (RegSetValueExW(key.get(), args.at(3).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        return Fail(L"cannot write");
    return {};
}

Result DelKeyCommand(const Fields& args) {
    HKEY root = ParseRoot(args.at(1));
    const LSTATUS status =
        root ? RegDeleteTreeW(root, args.at(2).c_str()) : ERROR_INVALID_PARAMETER;
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyW(root, args.at(2).c_str());
        return {};
    }
    return Fail(L"status " + std::to_wstring(status));
}

Result DelValCommand(const Fields& args) {
    HKEY root = ParseRoot(args.at(1));
    win32::UniqueRegistryKey key;
    if (root &&
        RegOpenKeyExW(root, args.at(2).c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        RegDeleteValueW(key.get(), args.at(3).c_str());
    return {};
}

Result LinkCommand(const Fields& args) {
    win32::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())))
        return Fail(L"no shell link object");
    auto persist = link.query<IPersistFile>(IID_IPersistFile);
    if (!persist || FAILED(persist->Load(args.at(1).c_str(), STGM_READ)))
        return Fail(L"cannot load");
    wchar_t target[MAX_PATH * 2] = {};
    wchar_t arguments[MAX_PATH * 2] = {};
    wchar_t workdir[MAX_PATH * 2] = {};
    wchar_t description[MAX_PATH * 2] = {};
    wchar_t icon[MAX_PATH * 2] = {};
    int iconIndex = 0;
    int show = 0;
    WORD hotkey = 0;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(arguments, MAX_PATH);
    link->GetWorkingDirectory(workdir, MAX_PATH);
    link->GetDescription(description, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &iconIndex);
    link->GetShowCmd(&show);
    link->GetHotkey(&hotkey);
    Result result;
    result.answer.Add(L"target", target)
        .Add(L"arguments", arguments)
        .Add(L"workdir", workdir)
        .Add(L"description", description)
        .Add(L"showcmd", show)
        .Add(L"icon", icon)
        .Add(L"iconindex", iconIndex)
        .Add(L"hotkey", hotkey);
    return result;
}

Result FolderCommand(const Fields& args) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, std::stoi(args.at(1), nullptr, 0), nullptr, 0, path)))
        return Fail(L"unknown folder");
    Result result;
    result.answer.Add(L"path", path);
    return result;
}

Result TempCommand(const Fields&) {
    wchar_t path[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, path);
    Result result;
    result.answer.Add(L"path", path);
    return result;
}

// One attempt: 1 when allowed, else 0 and the error code.
void Attempt(Answer& answer, const std::wstring& name, bool allowed) {
    const DWORD error = allowed ? 0 : GetLastError();
    answer.Add(name, allowed ? 1 : 0).Add(name + L".error", error);
}

Result LockCommand(const Fields& args) {
    const std::wstring& path = args.at(1);
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    Result result;
    {
        win32::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        Attempt(result.answer, L"write", static_cast<bool>(file));
    }
    {
        win32::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        Attempt(result.answer, L"read", static_cast<bool>(file));
    }
    const std::wstring aside = path + L".moved";
    const bool renamed = MoveFileExW(path.c_str(), aside.c_str(), 0) != FALSE;
    Attempt(result.answer, L"rename", renamed);
    if (renamed)
        MoveFileExW(aside.c_str(), path.c_str(), 0);
    // Another archive put in its place, the way an attacker would swap it.
    const std::wstring other = path + L".other";
    {
        win32::UniqueFileHandle file(CreateFileW(other.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file)
            WriteFile(file.get(), "7z", 2, &written, nullptr);
    }
    Attempt(result.answer, L"replace",
            MoveFileExW(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE);
    DeleteFileW(other.c_str());
    const bool deleted = DeleteFileW(path.c_str()) != FALSE;
    Attempt(result.answer, L"delete", deleted);
    return result;
}

template <typename Visit> int ForProcesses(const std::wstring& image, Visit visit) {
    win32::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, image.c_str()) == 0) {
            ++count;
            visit(entry.th32ProcessID);
        }
    }
    return count;
}

Result ProcsCommand(const Fields& args) {
    Result result;
    result.answer.Add(L"count", ForProcesses(args.at(1), [](DWORD) {}));
    return result;
}

Result KillCommand(const Fields& args) {
    Result result;
    result.answer.Add(L"count", ForProcesses(args.at(1), [](DWORD pid) {
                          win32::UniqueKernelHandle process(
                              OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
                          if (process && TerminateProcess(process.get(), 0))
                              WaitForSingleObject(process.get(), 5000);
                      }));
    return result;
}

using Command = std::function<Result(const Fields&)>;

const std::map<std::wstring, std::pair<size_t, Command>>& Commands() {
    static const std::map<std::wstring, std::pair<size_t, Command>> commands{
        {L"window", {2, FindWindowCommand}}, {L"windowof", {3, WindowOfCommand}},
        {L"children", {2, ChildrenCommand}}, {L"caret", {2, CaretCommand}},
        {L"close", {2, CloseCommand}},       {L"hittest", {4, HitTestCommand}},
        {L"screen", {1, ScreenCommand}},     {L"reg", {4, RegCommand}},
        {L"regkey", {3, RegKeyCommand}},     {L"setreg", {5, SetRegCommand}},
        {L"delkey", {3, DelKeyCommand}},     {L"delval", {4, DelValCommand}},
        {L"lnk", {2, LinkCommand}},          {L"folder", {2, FolderCommand}},
        {L"temp", {1, TempCommand}},         {L"lock", {2, LockCommand}},
        {L"procs", {2, ProcsCommand}},       {L"kill", {2, KillCommand}},
        {L"version", {2, VersionCommand}},   {L"shown", {2, ShownCommand}}};
    return commands;
}

Result Run(const Fields& fields) {
    if (fields.empty())
        return Fail(L"empty command");
    const auto found = Commands().find(fields[0]);
    if (found == Commands().end())
        return Fail(L"unknown command " + fields[0]);
    if (fields.size() < found->second.first)
        return Fail(L"too few fields for " + fields[0]);
    try {
        return found->second.second(fields);
    } catch (const std::exception&) {
        return Fail(L"bad field in " + fields[0]);
    }
}

int AnswerCommands() {
    const win32::ComSession com;
    AnswerCommandLines(Run);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Binary mode: the answers are UTF-8 bytes with plain line feeds.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2)
        return AnswerCommands();
    const std::wstring mode = argv[1];
    const auto number = [&](int index, long fallback) {
        return argc > index ? std::wcstol(argv[index], nullptr, 10) : fallback;
    };
    if (mode == L"launch" && argc > 2)
        return Launch(argv[2], static_cast<unsigned long>(number(3, 60000)));
    if (mode == L"backdrop")
        return ShowBackdrop(static_cast<int>(number(2, 60)));
    if (mode == L"owner")
        return ShowOwner(static_cast<int>(number(2, 60)));
    Print(Fail(L"unknown mode " + mode));
    return 2;
}

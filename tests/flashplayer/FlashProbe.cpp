// The Windows side of the player's end-to-end tests: what a script on the Linux side cannot do
// itself through the X display. Each command prints key=value lines and exits with 0 when it
// found what it looked for.
//
//   flashprobe launch EXE TIMEOUT_MS   starts EXE with exactly the command-line tail in
//                                      ORVIA_PROBE_TAIL (in ORVIA_PROBE_CWD when set), prints
//                                      pid=<id>, waits, prints exit=<status> elapsed=<ms>
//   flashprobe window PID TIMEOUT_MS   waits for process PID's visible player window, prints
//                                      its facts
//   flashprobe hittest PID X Y         that window's answer to WM_NCHITTEST at screen X,Y
//   flashprobe close PID               posts WM_CLOSE to that window
//   flashprobe messagebox TIMEOUT_MS   waits for the "error" message box, prints its text and
//                                      the screen centre of its button
//   flashprobe backdrop SECONDS        covers the screen with a known checkerboard
//   flashprobe owner SECONDS           shows an ordinary window to own the player; prints it
#include "win32/UniqueHandle.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kPlayerClass[] = L"MyOleControl";
// The backdrop's two colours, far from any colour of the stand-in's picture.
constexpr COLORREF kBackdropLight = RGB(255, 255, 255);
constexpr COLORREF kBackdropDark = RGB(0, 150, 60);
constexpr int kBackdropSquare = 32;

std::wstring Environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

void Print(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vwprintf(format, arguments);
    va_end(arguments);
    fflush(stdout);
}

std::wstring HandleText(HWND window) {
    return std::to_wstring(reinterpret_cast<INT_PTR>(window));
}

struct PlayerSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchPlayer(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<PlayerSearch*>(data);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || wcscmp(className, kPlayerClass) != 0 ||
        !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The visible player window of one process: windows of players that are still closing stay
// out of the way.
HWND FindPlayer(DWORD process) {
    PlayerSearch search{process, nullptr};
    EnumWindows(MatchPlayer, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Condition> bool WaitFor(DWORD timeout, Condition condition) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > timeout)
            return false;
        Sleep(25);
    }
}

int Launch(const wchar_t* program, DWORD timeout) {
    // Quoted program name, one blank, then the tail exactly as given: the C runtime hands the
    // program everything after the blanks that follow its name.
    const std::wstring tail = Environment(L"ORVIA_PROBE_TAIL");
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
    if (!tail.empty())
        commandLine += L" " + tail;
    const std::wstring folder = Environment(L"ORVIA_PROBE_CWD");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const DWORD start = GetTickCount();
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        Print(L"error=CreateProcess %lu\n", GetLastError());
        return 2;
    }
    const win32::UniqueKernelHandle processHandle(process.hProcess);
    const win32::UniqueKernelHandle threadHandle(process.hThread);
    Print(L"pid=%lu\n", process.dwProcessId);
    if (WaitForSingleObject(process.hProcess, timeout) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        Print(L"error=timeout\n");
        return 3;
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    Print(L"exit=%lu\nelapsed=%lu\n", status, GetTickCount() - start);
    return 0;
}

int Window(DWORD process, DWORD timeout) {
    HWND window = nullptr;
    if (!WaitFor(timeout, [&] { return (window = FindPlayer(process)) != nullptr; })) {
        Print(L"error=no player window\n");
        return 1;
    }
    RECT bounds{};
    GetWindowRect(window, &bounds);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    Print(L"hwnd=%ls\nexstyle=0x%08lX\nstyle=0x%08lX\nrect=%ld,%ld,%ld,%ld\nowner=%ls\n"
          L"title=%ls\nfullscreen=%d,%d\n",
          HandleText(window).c_str(),
          static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_EXSTYLE)),
          static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_STYLE)), bounds.left, bounds.top,
          bounds.right, bounds.bottom, HandleText(GetWindow(window, GW_OWNER)).c_str(), title,
          GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    return 0;
}

int HitTest(DWORD process, int x, int y) {
    HWND window = FindPlayer(process);
    if (!window)
        return 1;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000,
                             &result))
        return 1;
    Print(L"hittest=%ld\n", static_cast<long>(static_cast<LRESULT>(result)));
    return 0;
}

BOOL CALLBACK FindChildren(HWND child, LPARAM found) {
    auto* controls = reinterpret_cast<std::pair<HWND, HWND>*>(found);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (_wcsicmp(className, L"Static") == 0 && GetWindowTextLengthW(child) > 0)
        controls->first = child;
    else if (_wcsicmp(className, L"Button") == 0)
        controls->second = child;
    return TRUE;
}

int MessageBoxFacts(DWORD timeout) {
    HWND box = nullptr;
    if (!WaitFor(timeout, [&] {
            box = FindWindowW(L"#32770", L"error");
            return box && IsWindowVisible(box);
        })) {
        Print(L"error=no message box\n");
        return 1;
    }
    std::pair<HWND, HWND> controls{nullptr, nullptr};
    EnumChildWindows(box, FindChildren, reinterpret_cast<LPARAM>(&controls));
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(controls.first)) + 1, L'\0');
    text.resize(GetWindowTextW(controls.first, text.data(), static_cast<int>(text.size())));
    RECT button{};
    GetWindowRect(controls.second, &button);
    int buttons = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        buttons += _wcsicmp(className, L"Button") == 0 && IsWindowVisible(child);
    }
    // The text may hold anything the command line held; it is written as UTF-16 code units in
    // hexadecimal so that no console code page can change it.
    Print(L"texthex=");
    for (wchar_t c : text)
        Print(L"%04X", static_cast<unsigned>(c));
    RECT bounds{};
    GetWindowRect(box, &bounds);
    Print(L"\nbuttons=%d\nbutton=%ld,%ld\nrect=%ld,%ld,%ld,%ld\n", buttons,
          (button.left + button.right) / 2, (button.top + button.bottom) / 2, bounds.left,
          bounds.top, bounds.right, bounds.bottom);
    return 0;
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        RECT client{};
        GetClientRect(window, &client);
        const HBRUSH light = CreateSolidBrush(kBackdropLight);
        const HBRUSH dark = CreateSolidBrush(kBackdropDark);
        for (int y = 0; y < client.bottom; y += kBackdropSquare)
            for (int x = 0; x < client.right; x += kBackdropSquare) {
                const RECT square{x, y, x + kBackdropSquare, y + kBackdropSquare};
                FillRect(dc, &square, ((x + y) / kBackdropSquare) % 2 ? dark : light);
            }
        DeleteObject(light);
        DeleteObject(dark);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int ShowWindowFor(const wchar_t* className, WNDPROC procedure, DWORD style, int seconds) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassW(&windowClass);
    const bool backdrop = procedure == BackdropProc;
    const int width = backdrop ? GetSystemMetrics(SM_CXSCREEN) : 320;
    const int height = backdrop ? GetSystemMetrics(SM_CYSCREEN) : 240;
    HWND window =
        CreateWindowExW(0, className, className, style, backdrop ? 0 : 40, backdrop ? 0 : 40, width,
                        height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    UpdateWindow(window);
    Print(L"hwnd=%ls\n", HandleText(window).c_str());
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    MSG message{};
    while (GetTickCount() < end && IsWindow(window)) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const auto number = [&](int index, long fallback) {
        return argc > index ? std::wcstol(argv[index], nullptr, 10) : fallback;
    };
    if (command == L"launch" && argc > 2)
        return Launch(argv[2], static_cast<DWORD>(number(3, 60000)));
    const auto process = [&] { return static_cast<DWORD>(number(2, 0)); };
    if (command == L"window" && argc > 2)
        return Window(process(), static_cast<DWORD>(number(3, 10000)));
    if (command == L"hittest" && argc > 4)
        return HitTest(process(), static_cast<int>(number(3, 0)), static_cast<int>(number(4, 0)));
    if (command == L"close" && argc > 2) {
        HWND window = FindPlayer(process());
        return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"messagebox")
        return MessageBoxFacts(static_cast<DWORD>(number(2, 10000)));
    if (command == L"backdrop")
        return ShowWindowFor(L"FlashProbeBackdrop", BackdropProc, WS_POPUP | WS_VISIBLE,
                             static_cast<int>(number(2, 60)));
    if (command == L"owner")
        return ShowWindowFor(L"FlashProbeOwner", DefWindowProcW, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             static_cast<int>(number(2, 60)));
    std::fwprintf(stderr, L"usage: see the top of FlashProbe.cpp\n");
    return 2;
}

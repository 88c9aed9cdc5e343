#include "tests/e2e/probe/ProgramModes.h"

#include "tests/e2e/probe/ProbeAnswer.h"
#include "tests/support/ChildProcess.h"
#include "win32/EnvironmentVariable.h"
#include "win32/GdiObject.h"

#include <windows.h>

#include <optional>
#include <string>

namespace e2eprobe {

namespace {

// The backdrop's two colours, far from any colour the programs under test paint.
constexpr COLORREF kBackdropLight = RGB(255, 255, 255);
constexpr COLORREF kBackdropDark = RGB(0, 150, 60);
constexpr int kBackdropSquare = 32;

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        RECT client{};
        GetClientRect(window, &client);
        const win32::UniqueBrush light(CreateSolidBrush(kBackdropLight));
        const win32::UniqueBrush dark(CreateSolidBrush(kBackdropDark));
        for (int y = 0; y < client.bottom; y += kBackdropSquare)
            for (int x = 0; x < client.right; x += kBackdropSquare) {
                const RECT square{x, y, x + kBackdropSquare, y + kBackdropSquare};
                FillRect(dc, &square, ((x + y) / kBackdropSquare) % 2 ? dark.get() : light.get());
            }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int ShowWindowFor(const wchar_t* className, WNDPROC procedure, DWORD style, const RECT& bounds,
                  int seconds) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, className, className, style, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        Print(Fail(L"no window"));
        return 1;
    }
    UpdateWindow(window);
    Result shown;
    shown.answer.Add(L"hwnd", window);
    Print(shown);
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

int Launch(const wchar_t* program, unsigned long timeoutMs) {
    // Quoted program name, one blank, then the tail exactly as given: the C runtime hands the
    // program everything after the blanks that follow its name.
    const DWORD start = GetTickCount();
    const testsupport::ChildProcess child(program, win32::EnvironmentVariable(L"ORVIA_PROBE_TAIL"),
                                          win32::EnvironmentVariable(L"ORVIA_PROBE_CWD"));
    if (!child) {
        Print(Fail(L"CreateProcess " + std::to_wstring(GetLastError())));
        return 2;
    }
    Result started;
    started.answer.Add(L"pid", child.id());
    Print(started);
    const std::optional<DWORD> status = child.ExitCode(timeoutMs);
    if (!status) {
        Print(Fail(L"timeout"));
        return 3;
    }
    Result ended;
    ended.answer.Add(L"exit", *status).Add(L"elapsed", GetTickCount() - start);
    Print(ended);
    return 0;
}

int ShowBackdrop(int seconds) {
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return ShowWindowFor(L"E2eProbeBackdrop", BackdropProc, WS_POPUP | WS_VISIBLE, screen, seconds);
}

int ShowOwner(int seconds) {
    return ShowWindowFor(L"E2eProbeOwner", DefWindowProcW, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                         {40, 40, 40 + 320, 40 + 240}, seconds);
}

} // namespace e2eprobe

// extractdriver ARCHIVE FOLDER
// Unpacks ARCHIVE into FOLDER exactly as the installer does, with a message-only window in
// place of the install dialog, then prints "result: N" and "progress: v1 v2 ..." (the LPARAM
// of every InstallProgressMessage, in arrival order). The exit status is the result.
#include "installer/ExtractPayload.h"

#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

std::vector<LPARAM> g_progress;

LRESULT CALLBACK RecordProgress(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == InstallProgressMessage) {
        g_progress.push_back(lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 3) {
        std::fprintf(stderr, "usage: extractdriver ARCHIVE FOLDER\n");
        return 1;
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = RecordProgress;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ExtractDriverProgress";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    const int result = ExtractPayload(argv[1], argv[2], window);
    LocalFree(argv);
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    DestroyWindow(window);

    std::printf("result: %d\nprogress:", result);
    for (LPARAM value : g_progress)
        std::printf(" %ld", static_cast<long>(value));
    std::printf("\n");
    return result;
}

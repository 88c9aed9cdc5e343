// Stands in for a program of the client that is not built yet (the Flash player), so that the
// demo client has a file at its place. It only says what it is.
#include <windows.h>

namespace {

#if PLACEHOLDER_KIND == 2
constexpr wchar_t kText[] = L"这是 Flash 动画播放器 orvflash.exe 的占位程序（演示客户端）。";
#else
#error "PLACEHOLDER_KIND is 2 (Flash player)"
#endif

} // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    MessageBoxW(nullptr, kText, L"Tamro", MB_OK | MB_ICONINFORMATION);
    return 0;
}

// A stand-in for the chat client, so that a demo setup package installs something that runs:
// a window titled "Tamro" that shows the edition the installer recorded and its own folder.
#include "installer/ProductNames.h"
#include "win32/GdiObject.h"
#include "win32/ModuleFileName.h"
#include "win32/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"TamroDemoClient";
constexpr wchar_t kFontFace[] = L"微软雅黑";
constexpr int kFontHeight = 16;
constexpr int kWidth = 460;
constexpr int kHeight = 220;
constexpr int kMargin = 24;

std::wstring RecordedEdition() {
    win32::UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, product::kUserProductKey, 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS)
        return {};
    wchar_t value[64] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), product::kLocaleValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return value;
}

std::wstring EditionText() {
    const std::wstring locale = RecordedEdition();
    if (locale == product::kSimplifiedLocale)
        return L"版本：简体中文 (hans)";
    if (locale == product::kTraditionalLocale)
        return L"版本：繁體中文 (hant)";
    return L"版本：未记录";
}

std::wstring OwnFolder() {
    const std::wstring path = win32::ModuleFileName(nullptr);
    return path.substr(0, path.find_last_of(L'\\'));
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    win32::UniqueFont font(CreateFontW(-kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       CLEARTYPE_QUALITY, DEFAULT_PITCH, kFontFace));
    HGDIOBJ old = SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(40, 48, 60));
    const std::wstring text = std::wstring(L"Tamro 多人视频（演示客户端）\n\n") + EditionText() +
                              L"\n安装位置：" + OwnFolder();
    RECT area{kMargin, kMargin, client.right - kMargin, client.bottom - kMargin};
    DrawTextW(dc, text.c_str(), -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(window, &paint);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window =
        CreateWindowExW(0, kWindowClass, product::kDisplayName,
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

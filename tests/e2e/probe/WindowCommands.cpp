#include "tests/e2e/probe/WindowCommands.h"

#include "tests/support/ChildProcess.h"

#include <algorithm>
#include <cwchar>
#include <optional>
#include <vector>

namespace e2eprobe {

namespace {

// How long a window may take to answer a message sent to it: a hung program gets a failed
// answer, not a probe that hangs with it.
constexpr UINT kAnswerTimeoutMs = 5000;

// The window's text; nothing when the window does not answer in time.
std::optional<std::wstring> WindowText(HWND window) {
    // WM_GETTEXT reaches into controls of other processes too (a native edit's content).
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &length))
        return std::nullopt;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied))
        return std::nullopt;
    text.resize(std::min(static_cast<size_t>(copied), text.size() - 1));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring Hex(LONG_PTR value) {
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

struct WindowSearch {
    std::wstring className;
    const std::wstring* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (!IsWindowVisible(window) || ClassOf(window) != search->className)
        return TRUE;
    if (search->title && WindowText(window) != *search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

Result WindowFacts(HWND window, const std::wstring& className) {
    if (!window)
        return Fail(L"no visible window of class " + className);
    const std::optional<std::wstring> title = WindowText(window);
    if (!title)
        return Fail(L"the window does not answer");
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(window, &pid);
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    Result result;
    result.answer.Add(L"hwnd", window)
        .Add(L"pid", pid)
        .Add(L"tid", tid)
        .Add(L"x", origin.x)
        .Add(L"y", origin.y)
        .Add(L"w", client.right)
        .Add(L"h", client.bottom)
        .Add(L"left", bounds.left)
        .Add(L"top", bounds.top)
        .Add(L"right", bounds.right)
        .Add(L"bottom", bounds.bottom)
        .Add(L"style", Hex(GetWindowLongPtrW(window, GWL_STYLE)))
        .Add(L"exstyle", Hex(GetWindowLongPtrW(window, GWL_EXSTYLE)))
        .Add(L"owner", GetWindow(window, GW_OWNER))
        .Add(L"title", *title);
    return result;
}

} // namespace

Result FindWindowCommand(const Fields& args) {
    WindowSearch search{args.at(1), args.size() > 2 ? &args[2] : nullptr, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return WindowFacts(search.found, search.className);
}

Result WindowOfCommand(const Fields& args) {
    const auto process = static_cast<DWORD>(std::wcstoul(args.at(1).c_str(), nullptr, 10));
    return WindowFacts(testsupport::FindProcessWindow(process, args.at(2).c_str()), args.at(2));
}

Result ChildrenCommand(const Fields& args) {
    HWND parent = ParseWindow(args.at(1));
    if (!IsWindow(parent))
        return Fail(L"no such window");
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&children));
    Result result;
    result.answer.Add(L"count", static_cast<long long>(children.size()));
    for (size_t i = 0; i < children.size(); ++i) {
        const std::wstring prefix = std::to_wstring(i) + L".";
        // The child's rectangle in the parent's client coordinates.
        RECT rc{};
        GetWindowRect(children[i], &rc);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
        const std::optional<std::wstring> text = WindowText(children[i]);
        if (!text)
            return Fail(L"a child window does not answer");
        result.answer.Add(prefix + L"class", ClassOf(children[i]))
            .Add(prefix + L"visible", IsWindowVisible(children[i]) ? 1 : 0)
            .Add(prefix + L"text", *text)
            .Add(prefix + L"x", rc.left)
            .Add(prefix + L"y", rc.top)
            .Add(prefix + L"w", rc.right - rc.left)
            .Add(prefix + L"h", rc.bottom - rc.top);
    }
    return result;
}

Result CaretCommand(const Fields& args) {
    HWND window = ParseWindow(args.at(1));
    const DWORD tid = GetWindowThreadProcessId(window, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!tid || !GetGUIThreadInfo(tid, &info))
        return Fail(L"no thread information");
    Result result;
    result.answer.Add(L"caret", info.hwndCaret)
        .Add(L"blinking", (info.flags & GUI_CARETBLINKING) ? 1 : 0)
        .Add(L"x", info.rcCaret.left)
        .Add(L"y", info.rcCaret.top)
        .Add(L"w", info.rcCaret.right - info.rcCaret.left)
        .Add(L"h", info.rcCaret.bottom - info.rcCaret.top)
        .Add(L"focus", info.hwndFocus);
    return result;
}

Result CloseCommand(const Fields& args) {
    if (!PostMessageW(ParseWindow(args.at(1)), WM_CLOSE, 0, 0))
        return Fail(L"cannot post");
    return {};
}

Result HitTestCommand(const Fields& args) {
    const int x = std::stoi(args.at(2));
    const int y = std::stoi(args.at(3));
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(ParseWindow(args.at(1)), WM_NCHITTEST, 0, MAKELPARAM(x, y),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer))
        return Fail(L"no answer");
    Result result;
    result.answer.Add(L"hittest", static_cast<long long>(static_cast<LRESULT>(answer)));
    return result;
}

Result ScreenCommand(const Fields& /*args*/) {
    Result result;
    result.answer.Add(L"w", GetSystemMetrics(SM_CXSCREEN))
        .Add(L"h", GetSystemMetrics(SM_CYSCREEN))
        .Add(L"fullw", GetSystemMetrics(SM_CXFULLSCREEN))
        .Add(L"fullh", GetSystemMetrics(SM_CYFULLSCREEN));
    return result;
}

} // namespace e2eprobe

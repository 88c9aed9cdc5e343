// What a screen reader sees of another program's window, through Active Accessibility only:
// the end-to-end tests read the accessible tree of the installer and the uninstaller, act on
// it, and record the WinEvents the programs raise.
//
// Reads commands from standard input, one per line, fields separated by tabs, UTF-8, and
// answers each with one line (see tests/e2e/probe/ProbeAnswer.h):
//
//   tree HWND            the client object (self.*) and each child i: name role state value
//                        description action x y w h; count, and children (AccessibleChildren's
//                        count, for comparison)
//   act HWND ID          accDoDefaultAction on child ID; hr
//   focus HWND           get_accFocus: id (0 for none, -1 for the window itself)
//   hit HWND X Y         accHitTest at a screen point: id
//   nav HWND ID DIR      accNavigate (DIR: a NAVDIR_ number): id (0 for none)
//   select HWND ID       accSelect with SELFLAG_TAKEFOCUS; hr
//   hold HWND            keeps the client object of the window for "held"
//   held                 calls on the kept object after its window may be gone: count.hr, name.hr
//   watch PID            starts recording the program's focus, show, hide, state, name and
//                        value WinEvents (out of context)
//   events               the recorded events since the last "events": count and, for each,
//                        event, child and name (the child's name when the event came)
#include "tests/e2e/probe/ProbeAnswer.h"
#include "win32/ComPtr.h"
#include "win32/ComSession.h"

#include <windows.h>
#include <oleacc.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

using namespace e2eprobe;
using win32::ComPtr;

namespace {

VARIANT Child(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring Take(BSTR text) {
    std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring{};
    SysFreeString(text);
    return result;
}

std::wstring Hex(HRESULT hr) {
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"%08lx", static_cast<unsigned long>(hr));
    return text;
}

// The id a VARIANT result names: the child id, -1 for the object itself, 0 for nothing.
LONG IdOf(const VARIANT& result) {
    if (result.vt == VT_I4)
        return result.lVal == CHILDID_SELF ? -1 : result.lVal;
    return 0;
}

ComPtr<IAccessible> ClientObject(HWND window) {
    ComPtr<IAccessible> object;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               object.put_void());
    return object;
}

void Describe(IAccessible* object, LONG id, const std::wstring& prefix, Answer& answer) {
    const VARIANT child = Child(id);
    BSTR text = nullptr;
    object->get_accName(child, &text);
    answer.Add(prefix + L"name", Take(text));
    text = nullptr;
    object->get_accValue(child, &text);
    answer.Add(prefix + L"value", Take(text));
    text = nullptr;
    object->get_accDescription(child, &text);
    answer.Add(prefix + L"desc", Take(text));
    text = nullptr;
    object->get_accDefaultAction(child, &text);
    answer.Add(prefix + L"action", Take(text));
    VARIANT role;
    VariantInit(&role);
    object->get_accRole(child, &role);
    answer.Add(prefix + L"role", role.vt == VT_I4 ? role.lVal : -1);
    wchar_t roleText[64] = {};
    if (role.vt == VT_I4)
        GetRoleTextW(static_cast<DWORD>(role.lVal), roleText, 64);
    answer.Add(prefix + L"roletext", roleText);
    VARIANT state;
    VariantInit(&state);
    object->get_accState(child, &state);
    answer.Add(prefix + L"state", state.vt == VT_I4 ? state.lVal : -1);
    LONG x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, child);
    answer.Add(prefix + L"x", x).Add(prefix + L"y", y).Add(prefix + L"w", w).Add(prefix + L"h", h);
}

Result Tree(HWND window) {
    ComPtr<IAccessible> object = ClientObject(window);
    if (!object)
        return Fail(L"no accessible object");
    Result result;
    Describe(object.get(), CHILDID_SELF, L"self.", result.answer);
    LONG count = 0;
    const HRESULT hr = object->get_accChildCount(&count);
    if (FAILED(hr))
        return Fail(L"get_accChildCount " + Hex(hr));
    result.answer.Add(L"count", count);
    for (LONG id = 1; id <= count; ++id)
        Describe(object.get(), id, std::to_wstring(id) + L".", result.answer);
    std::vector<VARIANT> children(static_cast<size_t>(count > 0 ? count : 1));
    LONG obtained = 0;
    AccessibleChildren(object.get(), 0, count, children.data(), &obtained);
    for (VARIANT& child : children)
        VariantClear(&child);
    result.answer.Add(L"children", obtained);
    return result;
}

Result WithObject(const Fields& f, size_t arguments,
                  Result (*run)(IAccessible* object, const Fields& f)) {
    if (f.size() < arguments + 1)
        return Fail(L"missing arguments");
    ComPtr<IAccessible> object = ClientObject(ParseWindow(f[1]));
    if (!object)
        return Fail(L"no accessible object");
    return run(object.get(), f);
}

LONG Number(const std::wstring& text) {
    return static_cast<LONG>(std::wcstol(text.c_str(), nullptr, 10));
}

Result HrAnswer(HRESULT hr) {
    Result result;
    result.answer.Add(L"hr", Hex(hr));
    return result;
}

Result IdAnswer(HRESULT hr, VARIANT& found) {
    Result result;
    result.answer.Add(L"hr", Hex(hr)).Add(L"id", IdOf(found));
    VariantClear(&found);
    return result;
}

// The events recorded by the hook thread.
struct Recorded {
    DWORD event;
    LONG child;
    std::wstring name;
};
std::mutex g_eventsLock;
std::vector<Recorded> g_events;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                         DWORD) {
    if (object != OBJID_CLIENT)
        return;
    std::wstring name;
    ComPtr<IAccessible> accessible;
    VARIANT which;
    VariantInit(&which);
    if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object),
                                            static_cast<DWORD>(child), accessible.put(), &which))) {
        BSTR text = nullptr;
        accessible->get_accName(which, &text);
        name = Take(text);
        VariantClear(&which);
    }
    const std::lock_guard<std::mutex> lock(g_eventsLock);
    g_events.push_back({event, child, name});
}

DWORD WINAPI WatchThread(void* parameter) {
    CoInitialize(nullptr);
    const auto pid = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(parameter));
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_VALUECHANGE, nullptr,
                                         OnWinEvent, pid, 0, WINEVENT_OUTOFCONTEXT);
    MSG msg{};
    while (hook && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (hook)
        UnhookWinEvent(hook);
    CoUninitialize();
    return 0;
}

ComPtr<IAccessible> g_held;

Result Run(const Fields& f) {
    const std::wstring& command = f[0];
    if (command == L"tree" && f.size() > 1)
        return Tree(ParseWindow(f[1]));
    if (command == L"act")
        return WithObject(f, 2, [](IAccessible* object, const Fields& f) {
            return HrAnswer(object->accDoDefaultAction(Child(Number(f[2]))));
        });
    if (command == L"select")
        return WithObject(f, 2, [](IAccessible* object, const Fields& f) {
            return HrAnswer(object->accSelect(SELFLAG_TAKEFOCUS, Child(Number(f[2]))));
        });
    if (command == L"focus")
        return WithObject(f, 1, [](IAccessible* object, const Fields&) {
            VARIANT found;
            VariantInit(&found);
            const HRESULT hr = object->get_accFocus(&found);
            return IdAnswer(hr, found);
        });
    if (command == L"hit")
        return WithObject(f, 3, [](IAccessible* object, const Fields& f) {
            VARIANT found;
            VariantInit(&found);
            const HRESULT hr = object->accHitTest(Number(f[2]), Number(f[3]), &found);
            return IdAnswer(hr, found);
        });
    if (command == L"nav")
        return WithObject(f, 3, [](IAccessible* object, const Fields& f) {
            VARIANT found;
            VariantInit(&found);
            const HRESULT hr = object->accNavigate(Number(f[3]), Child(Number(f[2])), &found);
            return IdAnswer(hr, found);
        });
    if (command == L"hold" && f.size() > 1) {
        g_held = ClientObject(ParseWindow(f[1]));
        return g_held ? Result{} : Fail(L"no accessible object");
    }
    if (command == L"held") {
        if (!g_held)
            return Fail(L"nothing held");
        LONG count = 0;
        BSTR name = nullptr;
        Result result;
        result.answer.Add(L"count.hr", Hex(g_held->get_accChildCount(&count)));
        result.answer.Add(L"name.hr", Hex(g_held->get_accName(Child(1), &name)));
        SysFreeString(name);
        g_held.reset();
        return result;
    }
    if (command == L"watch" && f.size() > 1) {
        const auto pid = static_cast<UINT_PTR>(Number(f[1]));
        HANDLE thread =
            CreateThread(nullptr, 0, WatchThread, reinterpret_cast<void*>(pid), 0, nullptr);
        if (!thread)
            return Fail(L"no watch thread");
        CloseHandle(thread);
        return {};
    }
    if (command == L"events") {
        std::vector<Recorded> events;
        {
            const std::lock_guard<std::mutex> lock(g_eventsLock);
            events.swap(g_events);
        }
        Result result;
        result.answer.Add(L"count", static_cast<long long>(events.size()));
        for (size_t i = 0; i < events.size(); ++i) {
            const std::wstring prefix = std::to_wstring(i) + L".";
            result.answer.Add(prefix + L"event", static_cast<long long>(events[i].event))
                .Add(prefix + L"child", events[i].child)
                .Add(prefix + L"name", events[i].name);
        }
        return result;
    }
    return Fail(L"unknown command " + command);
}

} // namespace

int wmain() {
    // Binary mode: the answers are UTF-8 bytes with plain line feeds.
    _setmode(_fileno(stdout), _O_BINARY);
    const win32::ComSession com;
    AnswerCommandLines(Run);
    g_held.reset();
    return 0;
}

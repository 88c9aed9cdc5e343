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
#include "tests/support/AccessibleProperties.h"
#include "win32/Bstr.h"
#include "win32/ComPtr.h"
#include "win32/ComSession.h"
#include "win32/Variant.h"

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

using testsupport::AccessibleNumber;
using testsupport::AccessibleText;

VARIANT Child(LONG id) {
    return testsupport::ChildVariant(id);
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
    answer.Add(prefix + L"name", AccessibleText(object, &IAccessible::get_accName, id));
    answer.Add(prefix + L"value", AccessibleText(object, &IAccessible::get_accValue, id));
    answer.Add(prefix + L"desc", AccessibleText(object, &IAccessible::get_accDescription, id));
    answer.Add(prefix + L"action", AccessibleText(object, &IAccessible::get_accDefaultAction, id));
    const LONG role = AccessibleNumber(object, &IAccessible::get_accRole, id);
    answer.Add(prefix + L"role", role);
    wchar_t roleText[64] = {};
    if (role != -1)
        GetRoleTextW(static_cast<DWORD>(role), roleText, 64);
    answer.Add(prefix + L"roletext", roleText);
    answer.Add(prefix + L"state", AccessibleNumber(object, &IAccessible::get_accState, id));
    LONG x = 0, y = 0, w = 0, h = 0;
    object->accLocation(&x, &y, &w, &h, Child(id));
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
    std::vector<win32::Variant> children(static_cast<size_t>(count > 0 ? count : 1));
    LONG obtained = 0;
    AccessibleChildren(object.get(), 0, count, win32::VariantArray(children.data()), &obtained);
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

Result IdAnswer(HRESULT hr, const win32::Variant& found) {
    Result result;
    result.answer.Add(L"hr", Hex(hr)).Add(L"id", IdOf(*found.get()));
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
    win32::Variant which;
    if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object),
                                            static_cast<DWORD>(child), accessible.put(),
                                            which.put()))) {
        win32::UniqueBstr text;
        accessible->get_accName(*which.get(), text.put());
        if (text)
            name.assign(text.get(), SysStringLen(text.get()));
    }
    const std::lock_guard<std::mutex> lock(g_eventsLock);
    g_events.push_back({event, child, name});
}

DWORD WINAPI WatchThread(void* parameter) {
    const win32::ComSession com;
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
            win32::Variant found;
            const HRESULT hr = object->get_accFocus(found.put());
            return IdAnswer(hr, found);
        });
    if (command == L"hit")
        return WithObject(f, 3, [](IAccessible* object, const Fields& f) {
            win32::Variant found;
            const HRESULT hr = object->accHitTest(Number(f[2]), Number(f[3]), found.put());
            return IdAnswer(hr, found);
        });
    if (command == L"nav")
        return WithObject(f, 3, [](IAccessible* object, const Fields& f) {
            win32::Variant found;
            const HRESULT hr = object->accNavigate(Number(f[3]), Child(Number(f[2])), found.put());
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
        win32::UniqueBstr name;
        Result result;
        result.answer.Add(L"count.hr", Hex(g_held->get_accChildCount(&count)));
        result.answer.Add(L"name.hr", Hex(g_held->get_accName(Child(1), name.put())));
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

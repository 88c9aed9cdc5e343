#include "skinui/access/SkinAccessible.h"

#include "skinui/access/AccessibleTree.h"
#include "skinui/core/ControlUI.h"
#include "skinui/core/SkinWindowManager.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace skinui::access {
namespace {

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, LONG id) {
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = id;
}

POINT Centre(const RECT& rc) {
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// Whether `to` lies wholly beyond `from` in the direction, and how far: the offset across the
// direction counts double, so the control straight ahead wins over a nearer one off to a side.
bool InDirection(LONG direction, const RECT& from, const RECT& to, LONG& distance) {
    const POINT a = Centre(from);
    const POINT b = Centre(to);
    const LONG dx = b.x - a.x;
    const LONG dy = b.y - a.y;
    bool ahead = false;
    bool horizontal = true;
    switch (direction) {
    case NAVDIR_LEFT:
        ahead = to.right <= from.left;
        break;
    case NAVDIR_RIGHT:
        ahead = to.left >= from.right;
        break;
    case NAVDIR_UP:
        ahead = to.bottom <= from.top;
        horizontal = false;
        break;
    case NAVDIR_DOWN:
        ahead = to.top >= from.bottom;
        horizontal = false;
        break;
    default:
        return false;
    }
    distance = horizontal ? dx * dx + 4 * dy * dy : dy * dy + 4 * dx * dx;
    return ahead;
}

} // namespace

SkinAccessible::SkinAccessible(SkinWindowManager& manager, HWND window, UINT actionMessage)
    : m_manager(&manager), m_window(window), m_actionMessage(actionMessage) {}

void SkinAccessible::Disconnect() {
    m_manager = nullptr;
    m_window = nullptr;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE SkinAccessible::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE SkinAccessible::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE SkinAccessible::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                                 EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT SkinAccessible::Resolve(const VARIANT& child, CControlUI*& control) const {
    control = nullptr;
    if (!m_manager || !IsWindow(m_window))
        return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF)
        return S_OK;
    const std::vector<CControlUI*> exposed = ExposedControls(m_manager->GetRoot());
    if (child.lVal < 1 || static_cast<size_t>(child.lVal) > exposed.size())
        return E_INVALIDARG;
    control = exposed[static_cast<size_t>(child.lVal) - 1];
    return S_OK;
}

RECT SkinAccessible::ScreenRect(CControlUI* control) const {
    RECT rc{};
    if (control)
        rc = control->GetPos();
    else
        GetClientRect(m_window, &rc);
    MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accParent(IDispatch** parent) {
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!m_manager)
        return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(m_window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accChildCount(LONG* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!m_manager || !IsWindow(m_window))
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<LONG>(ExposedControls(m_manager->GetRoot()).size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CControlUI* control = nullptr;
    const HRESULT hr = Resolve(child, control);
    if (FAILED(hr))
        return hr;
    // The controls are simple elements of this object, not objects of their own.
    return control ? S_FALSE : E_INVALIDARG;
}

template <typename TextOf>
HRESULT SkinAccessible::AnswerText(const VARIANT& child, BSTR* out, TextOf textOf) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CControlUI* control = nullptr;
    const HRESULT hr = Resolve(child, control);
    if (FAILED(hr))
        return hr;
    return ReturnText(textOf(control), out);
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accName(VARIANT child, BSTR* name) {
    return AnswerText(child, name, [this](CControlUI* control) {
        if (control)
            return NameOf(m_manager->GetRoot(), control);
        wchar_t title[256] = {};
        GetWindowTextW(m_window, title, static_cast<int>(sizeof(title) / sizeof(title[0])));
        return std::wstring(title);
    });
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accValue(VARIANT child, BSTR* value) {
    return AnswerText(child, value, [](CControlUI* control) {
        return control ? ValueOf(control) : std::wstring{};
    });
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accDescription(VARIANT child, BSTR* description) {
    return AnswerText(child, description, [](CControlUI* control) {
        return control ? DescriptionOf(control) : std::wstring{};
    });
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role)
        return E_POINTER;
    VariantInit(role);
    CControlUI* control = nullptr;
    const HRESULT hr = Resolve(child, control);
    if (FAILED(hr))
        return hr;
    SetChild(role, control ? RoleOf(control) : ROLE_SYSTEM_CLIENT);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state)
        return E_POINTER;
    VariantInit(state);
    CControlUI* control = nullptr;
    const HRESULT hr = Resolve(child, control);
    if (FAILED(hr))
        return hr;
    const bool windowFocused = GetFocus() == m_window;
    LONG flags = 0;
    if (!control) {
        flags = STATE_SYSTEM_FOCUSABLE | (windowFocused ? STATE_SYSTEM_FOCUSED : 0);
        if (!IsWindowVisible(m_window))
            flags |= STATE_SYSTEM_INVISIBLE;
    } else {
        flags = StateOf(control);
        if (windowFocused && m_manager->GetFocus() == control)
            flags |= STATE_SYSTEM_FOCUSED;
    }
    SetChild(state, flags);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accHelp(VARIANT child, BSTR* help) {
    return AnswerText(child, help, [](CControlUI*) { return std::wstring{}; });
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    CControlUI* control = nullptr;
    const HRESULT hr = Resolve(child, control);
    return FAILED(hr) ? hr : S_FALSE;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return AnswerText(child, shortcut, [](CControlUI* control) {
        return control && control->GetShortcut() != 0
                   ? std::wstring(L"Alt+") + control->GetShortcut()
                   : std::wstring{};
    });
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accFocus(VARIANT* child) {
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!m_manager || !IsWindow(m_window))
        return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != m_window && !IsChild(m_window, GetFocus()))
        return S_FALSE;
    CControlUI* focus = ExposedAncestor(m_manager->GetRoot(), m_manager->GetFocus());
    const LONG id = focus ? ChildIdOf(m_manager->GetRoot(), focus) : 0;
    SetChild(child, id > 0 ? id : CHILDID_SELF);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accSelection(VARIANT* children) {
    if (!children)
        return E_POINTER;
    VariantInit(children);
    return m_manager ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    return AnswerText(child, action, [](CControlUI* control) {
        return control ? DefaultActionOf(control) : std::wstring{};
    });
}

HRESULT STDMETHODCALLTYPE SkinAccessible::accSelect(LONG flags, VARIANT child) {
    CControlUI* control = nullptr;
    const HRESULT hr = Resolve(child, control);
    if (FAILED(hr))
        return hr;
    if (flags != SELFLAG_TAKEFOCUS)
        return E_INVALIDARG;
    if (control && (!IsShown(control) || !IsUsable(control)))
        return S_FALSE;
    SetForegroundWindow(m_window);
    ::SetFocus(m_window);
    if (control)
        m_manager->SetFocus(control);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::accLocation(LONG* left, LONG* top, LONG* width,
                                                      LONG* height, VARIANT child) {
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    CControlUI* control = nullptr;
    const HRESULT hr = Resolve(child, control);
    if (FAILED(hr))
        return hr;
    if (control && !IsShown(control))
        return S_FALSE;
    const RECT rc = ScreenRect(control);
    *left = rc.left;
    *top = rc.top;
    *width = rc.right - rc.left;
    *height = rc.bottom - rc.top;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    if (!end)
        return E_POINTER;
    VariantInit(end);
    CControlUI* from = nullptr;
    const HRESULT hr = Resolve(start, from);
    if (FAILED(hr))
        return hr;
    const std::vector<CControlUI*> exposed = ExposedControls(m_manager->GetRoot());
    std::vector<LONG> shown;
    for (size_t i = 0; i < exposed.size(); ++i)
        if (IsShown(exposed[i]))
            shown.push_back(static_cast<LONG>(i) + 1);
    if (!from) {
        // From the window itself only its children can be reached; siblings are the window
        // object's to give.
        if (shown.empty() || (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD))
            return S_FALSE;
        SetChild(end, direction == NAVDIR_FIRSTCHILD ? shown.front() : shown.back());
        return S_OK;
    }
    const LONG own = start.lVal;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS) {
        const auto it = std::find(shown.begin(), shown.end(), own);
        if (it == shown.end())
            return S_FALSE;
        if (direction == NAVDIR_NEXT && it + 1 != shown.end()) {
            SetChild(end, *(it + 1));
            return S_OK;
        }
        if (direction == NAVDIR_PREVIOUS && it != shown.begin()) {
            SetChild(end, *(it - 1));
            return S_OK;
        }
        return S_FALSE;
    }
    if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)
        return S_FALSE;
    LONG best = 0;
    LONG bestDistance = LONG_MAX;
    for (LONG id : shown) {
        LONG distance = 0;
        if (id != own &&
            InDirection(direction, from->GetPos(), exposed[id - 1]->GetPos(), distance) &&
            distance < bestDistance) {
            best = id;
            bestDistance = distance;
        }
    }
    if (best == 0)
        return S_FALSE;
    SetChild(end, best);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::accHitTest(LONG x, LONG y, VARIANT* child) {
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!m_manager || !IsWindow(m_window))
        return CO_E_OBJNOTCONNECTED;
    POINT pt{x, y};
    ScreenToClient(m_window, &pt);
    RECT client{};
    GetClientRect(m_window, &client);
    if (!PtInRect(&client, pt))
        return S_FALSE;
    CControlUI* root = m_manager->GetRoot();
    CControlUI* hit = ExposedAncestor(root, m_manager->FindControl(pt));
    const LONG id = hit ? ChildIdOf(root, hit) : 0;
    SetChild(child, id > 0 ? id : CHILDID_SELF);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::accDoDefaultAction(VARIANT child) {
    CControlUI* control = nullptr;
    const HRESULT hr = Resolve(child, control);
    if (FAILED(hr))
        return hr;
    if (!control || DefaultActionOf(control).empty() || !IsShown(control) || !IsUsable(control))
        return DISP_E_MEMBERNOTFOUND;
    // Carried out from the window's own queue, as a click would be: the action may open a
    // modal dialog or close the window, which must not happen inside the caller's call.
    return PostMessageW(m_window, m_actionMessage, static_cast<WPARAM>(child.lVal), 0)
               ? S_OK
               : HRESULT_FROM_WIN32(GetLastError());
}

HRESULT STDMETHODCALLTYPE SkinAccessible::put_accName(VARIANT, BSTR) {
    return m_manager ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT STDMETHODCALLTYPE SkinAccessible::put_accValue(VARIANT, BSTR) {
    return m_manager ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

} // namespace skinui::access

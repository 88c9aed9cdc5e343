#include "tests/skinui/access/AccessFixture.h"

#include "skinui/controls/OptionUI.h"
#include "skinui/controls/ProgressUI.h"
#include "skinui/layouts/TabLayoutUI.h"

#include <vector>

using namespace skintest;

namespace {

TEST_F(AccessWindow, ClientObjectNamesEveryControlWithItsRoleAndState) {
    ASSERT_TRUE(Object());
    VARIANT self = Child(CHILDID_SELF);
    VARIANT role;
    VariantInit(&role);
    ASSERT_EQ(Object()->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLIENT);

    struct Expected {
        const wchar_t* name;
        LONG role;
        LONG state;  // the flags that must be set
        LONG absent; // the flags that must not
    };
    // In tree order; the logo (a picture without a name) and the layouts are not announced.
    const std::vector<Expected> expected = {
        {L"Setup", ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, STATE_SYSTEM_FOCUSABLE},
        {L"Close", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_INVISIBLE},
        {L"Red", ROLE_SYSTEM_RADIOBUTTON, STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE, 0},
        {L"Green", ROLE_SYSTEM_RADIOBUTTON, 0, STATE_SYSTEM_CHECKED},
        {L"Blue", ROLE_SYSTEM_RADIOBUTTON, 0, STATE_SYSTEM_CHECKED},
        {L"I agree", ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_CHECKED},
        {L"Folder", ROLE_SYSTEM_STATICTEXT, 0, 0},
        {L"Folder", ROLE_SYSTEM_TEXT, STATE_SYSTEM_READONLY, 0},
        {L"Next", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_UNAVAILABLE},
        {L"Later", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_UNAVAILABLE, 0},
        {L"Licence", ROLE_SYSTEM_LINK, STATE_SYSTEM_LINKED, 0},
        {L"Progress", ROLE_SYSTEM_PROGRESSBAR, STATE_SYSTEM_INVISIBLE, 0},
        {L"Finish", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_INVISIBLE, 0},
        {L"Notes", ROLE_SYSTEM_TEXT, STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_FOCUSABLE, 0},
        {L"Done", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_INVISIBLE, 0},
    };
    LONG count = 0;
    ASSERT_EQ(Object()->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, static_cast<LONG>(expected.size()));
    for (LONG id = 1; id <= count; ++id) {
        const Expected& want = expected[static_cast<size_t>(id) - 1];
        EXPECT_EQ(NameOf(id), want.name) << "child " << id;
        EXPECT_EQ(RoleOf(id), want.role) << want.name;
        EXPECT_EQ(StateOf(id) & want.state, want.state) << want.name;
        EXPECT_EQ(StateOf(id) & want.absent, 0) << want.name;
    }
    EXPECT_EQ(ValueOf(8), L"C:\\Program Files");
    EXPECT_EQ(ValueOf(12), L"25%");

    // AccessibleChildren walks the same children.
    std::vector<win32::Variant> children(static_cast<size_t>(count));
    LONG obtained = 0;
    ASSERT_EQ(
        AccessibleChildren(Object(), 0, count, win32::VariantArray(children.data()), &obtained),
        S_OK);
    EXPECT_EQ(obtained, count);
}

TEST_F(AccessWindow, StateAndPageChangesShowInTheTree) {
    auto* agree = skinui::InterfaceCast<skinui::COptionUI>(Find(L"agree"));
    ASSERT_TRUE(agree);
    agree->Selected(true);
    EXPECT_TRUE(StateOf(IdOf(L"I agree")) & STATE_SYSTEM_CHECKED);
    Find(L"next")->SetEnabled(false);
    EXPECT_TRUE(StateOf(IdOf(L"Next")) & STATE_SYSTEM_UNAVAILABLE);

    auto* pages = skinui::InterfaceCast<skinui::CTabLayoutUI>(Find(L"pages"));
    ASSERT_TRUE(pages);
    pages->SelectItem(1);
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_TRUE(StateOf(IdOf(L"Next")) & STATE_SYSTEM_INVISIBLE);
    EXPECT_FALSE(StateOf(IdOf(L"Finish")) & STATE_SYSTEM_INVISIBLE);
    skinui::InterfaceCast<skinui::CProgressUI>(Find(L"progress"))->SetValue(150);
    EXPECT_EQ(ValueOf(IdOf(L"Progress")), L"75%");
    // A page switch puts the focus on the page's first control.
    EXPECT_EQ(Focus(), Find(L"finish"));
    EXPECT_EQ(FocusId(), IdOf(L"Finish"));
}

TEST_F(AccessWindow, DefaultActionDoesWhatAClickDoes) {
    EXPECT_EQ(Object()->accDoDefaultAction(Child(IdOf(L"Next"))), S_OK);
    EXPECT_TRUE(PumpUntil("the click", [this] { return window->Count(L"click", L"next") == 1; }));

    EXPECT_EQ(Object()->accDoDefaultAction(Child(IdOf(L"I agree"))), S_OK);
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_TRUE(StateOf(IdOf(L"I agree")) & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(Object()->accDoDefaultAction(Child(IdOf(L"Green"))), S_OK);
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_TRUE(StateOf(IdOf(L"Green")) & STATE_SYSTEM_CHECKED);
    EXPECT_FALSE(StateOf(IdOf(L"Red")) & STATE_SYSTEM_CHECKED);

    EXPECT_EQ(Object()->accDoDefaultAction(Child(IdOf(L"Later"))), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Object()->accDoDefaultAction(Child(IdOf(L"Setup"))), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Object()->accDoDefaultAction(Child(IdOf(L"Finish"))), DISP_E_MEMBERNOTFOUND)
        << "a button of a hidden page";
    EXPECT_TRUE(PumpUntilIdle());
    EXPECT_EQ(window->Count(L"click", L"disabled"), 0);
    EXPECT_EQ(window->Count(L"click", L"finish"), 0);

    EXPECT_EQ(Object()->accDoDefaultAction(Child(IdOf(L"Close"))), S_OK);
    EXPECT_TRUE(PumpUntil("the close", [this] { return !window->closeCodes.empty(); }));
    EXPECT_EQ(Object()->accDoDefaultAction(Child(99)), E_INVALIDARG);
}

TEST_F(AccessWindow, LocationHitTestNavigationAndFocus) {
    const LONG next = IdOf(L"Next");
    LONG x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(Object()->accLocation(&x, &y, &w, &h, Child(next)), S_OK);
    const RECT pos = Find(L"next")->GetPos();
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(x, origin.x + pos.left);
    EXPECT_EQ(y, origin.y + pos.top);
    EXPECT_EQ(w, pos.right - pos.left);
    EXPECT_EQ(h, pos.bottom - pos.top);

    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(Object()->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
    EXPECT_EQ(hit.lVal, next);
    ASSERT_EQ(Object()->accHitTest(origin.x + 300, origin.y + 280, &hit), S_OK);
    EXPECT_EQ(hit.lVal, CHILDID_SELF) << "a point on no announced control";
    EXPECT_EQ(Object()->accHitTest(origin.x - 5, origin.y - 5, &hit), S_FALSE);

    VARIANT found;
    VariantInit(&found);
    ASSERT_EQ(Object()->accNavigate(NAVDIR_NEXT, Child(next), &found), S_OK);
    EXPECT_EQ(NameOf(found.lVal), L"Later");
    ASSERT_EQ(Object()->accNavigate(NAVDIR_PREVIOUS, Child(next), &found), S_OK);
    EXPECT_EQ(NameOf(found.lVal), L"Folder");
    ASSERT_EQ(Object()->accNavigate(NAVDIR_DOWN, Child(next), &found), S_OK);
    EXPECT_EQ(NameOf(found.lVal), L"Later");
    ASSERT_EQ(Object()->accNavigate(NAVDIR_RIGHT, Child(IdOf(L"Red")), &found), S_OK);
    EXPECT_EQ(NameOf(found.lVal), L"Green");
    ASSERT_EQ(Object()->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &found), S_OK);
    EXPECT_EQ(NameOf(found.lVal), L"Setup");
    ASSERT_EQ(Object()->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &found), S_OK);
    EXPECT_EQ(NameOf(found.lVal), L"Licence") << "the last shown child";

    ASSERT_EQ(Object()->accSelect(SELFLAG_TAKEFOCUS, Child(next)), S_OK);
    EXPECT_EQ(Focus(), Find(L"next"));
    EXPECT_EQ(FocusId(), next);
    EXPECT_TRUE(StateOf(next) & STATE_SYSTEM_FOCUSED);
}

TEST_F(AccessWindow, TextGettersOfAnUnknownChildFailWithNoText) {
    using Getter = testsupport::AccessibleTextGetter;
    const Getter getters[] = {&IAccessible::get_accName,
                              &IAccessible::get_accValue,
                              &IAccessible::get_accDescription,
                              &IAccessible::get_accHelp,
                              &IAccessible::get_accKeyboardShortcut,
                              &IAccessible::get_accDefaultAction};
    // A caller that does not clear its out parameter must not be left holding what it held.
    wchar_t stale[] = L"stale";
    for (size_t i = 0; i < std::size(getters); ++i) {
        BSTR text = stale;
        EXPECT_EQ((Object()->*getters[i])(Child(99), &text), E_INVALIDARG) << "getter " << i;
        EXPECT_EQ(text, nullptr) << "getter " << i;
    }
}

TEST_F(AccessWindow, TheObjectOutlivesItsWindowDisconnected) {
    win32::ComPtr<IAccessible> held;
    AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               held.put_void());
    ASSERT_TRUE(held);
    LONG count = 0;
    ASSERT_EQ(held->get_accChildCount(&count), S_OK);
    DestroyWindow(hwnd);
    EXPECT_TRUE(PumpUntilIdle());
    window.reset();
    EXPECT_EQ(held->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(held->get_accName(Child(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(held->accDoDefaultAction(Child(1)), CO_E_OBJNOTCONNECTED);
    VARIANT hit;
    VariantInit(&hit);
    EXPECT_EQ(held->accHitTest(0, 0, &hit), CO_E_OBJNOTCONNECTED);
    VARIANT selection;
    VariantInit(&selection);
    EXPECT_EQ(held->get_accSelection(&selection), CO_E_OBJNOTCONNECTED);
    IDispatch* parent = nullptr;
    EXPECT_EQ(held->get_accParent(&parent), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(parent, nullptr);
    held.reset();
}

// The WinEvents of the window, recorded by an out-of-context hook of this thread.
std::vector<std::pair<DWORD, LONG>> g_events;

void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT)
        g_events.emplace_back(event, child);
}

TEST_F(AccessWindow, ChangesAreAnnouncedAsWinEvents) {
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_VALUECHANGE, nullptr,
                                         Record, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    g_events.clear();
    const auto seen = [](DWORD event, LONG child) {
        for (const auto& recorded : g_events)
            if (recorded.first == event && recorded.second == child)
                return true;
        return false;
    };
    Find(L"next")->SetFocus();
    EXPECT_TRUE(
        PumpUntil("the focus event", [&] { return seen(EVENT_OBJECT_FOCUS, IdOf(L"Next")); }));
    skinui::InterfaceCast<skinui::COptionUI>(Find(L"agree"))->Selected(true);
    EXPECT_TRUE(PumpUntil("the state event",
                          [&] { return seen(EVENT_OBJECT_STATECHANGE, IdOf(L"I agree")); }));
    Find(L"title")->SetText(L"Installing");
    EXPECT_TRUE(PumpUntil("the name event",
                          [&] { return seen(EVENT_OBJECT_NAMECHANGE, IdOf(L"Installing")); }));
    skinui::InterfaceCast<skinui::CTabLayoutUI>(Find(L"pages"))->SelectItem(1);
    EXPECT_TRUE(PumpUntil("the page's controls shown",
                          [&] { return seen(EVENT_OBJECT_SHOW, IdOf(L"Finish")); }));
    EXPECT_TRUE(seen(EVENT_OBJECT_HIDE, IdOf(L"Next")));
    skinui::InterfaceCast<skinui::CProgressUI>(Find(L"progress"))->SetValue(60);
    EXPECT_TRUE(PumpUntil("the value event",
                          [&] { return seen(EVENT_OBJECT_VALUECHANGE, IdOf(L"Progress")); }));
    UnhookWinEvent(hook);
}

} // namespace

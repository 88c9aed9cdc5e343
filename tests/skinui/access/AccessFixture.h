#pragma once

#include "tests/skinui/support/TestWindow.h"
#include "tests/support/AccessibleProperties.h"

#include "skinui/core/SkinWindowManager.h"
#include "win32/ComPtr.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <memory>
#include <string>

namespace skintest {

// A window of the skin below, open, with COM on the test thread so it can hand out its
// IAccessible as it would to a screen reader.
constexpr wchar_t kAccessSkin[] = LR"(<Window size="400,300">
  <VerticalLayout name="root">
    <HorizontalLayout height="30">
      <Label name="logo" width="20" bkimage="logo.png" />
      <Label name="title" width="100" text="Setup" />
      <Control />
      <Button name="closebtn" width="20" accname="Close" tooltip="Close the window" />
    </HorizontalLayout>
    <TabLayout name="pages" height="200">
      <VerticalLayout name="first">
        <HorizontalLayout height="30">
          <Option name="red" width="60" group="colour" selected="true" text="Red" />
          <Option name="green" width="60" group="colour" text="Green" />
          <Option name="blue" width="60" group="colour" text="Blue" />
        </HorizontalLayout>
        <Option name="agree" height="30" text="I agree" />
        <Text name="folderlabel" height="20" text="Folder" />
        <Edit name="folder" height="30" readonly="true" text="C:\Program Files" />
        <Button name="next" height="30" text="Next" />
        <Button name="disabled" height="30" text="Later" enabled="false" />
        <Button name="licence" height="20" text="Licence" accrole="link" />
      </VerticalLayout>
      <VerticalLayout name="second">
        <Progress name="progress" accname="Progress" height="30" min="0" max="200" value="50"
                  text="Working" />
        <Button name="finish" height="30" text="Finish" />
      </VerticalLayout>
      <VerticalLayout name="third">
        <Edit name="notes" accname="Notes" height="30" />
        <Button name="done" height="30" text="Done" />
      </VerticalLayout>
    </TabLayout>
  </VerticalLayout>
</Window>)";

class AccessWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        window = std::make_unique<TestWindow>(kAccessSkin);
        hwnd = window->Open();
        ASSERT_TRUE(hwnd);
        ASSERT_TRUE(PumpUntil("windowinit", [this] { return window->Count(L"windowinit") > 0; }));
    }
    void TearDown() override {
        object.reset();
        if (hwnd && IsWindow(hwnd))
            DestroyWindow(hwnd);
        EXPECT_TRUE(PumpUntilIdle()) << "closing the window";
        window.reset();
        CoUninitialize();
    }

    skinui::CControlUI* Find(const wchar_t* name) { return window->Manager().FindControl(name); }
    IAccessible* Object() {
        if (!object)
            AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                       object.put_void());
        return object.get();
    }
    static VARIANT Child(LONG id) { return testsupport::ChildVariant(id); }
    // The child id of the exposed control whose name is `name`; 0 when none is.
    LONG IdOf(const std::wstring& name) {
        LONG count = 0;
        Object()->get_accChildCount(&count);
        for (LONG id = 1; id <= count; ++id)
            if (NameOf(id) == name)
                return id;
        return 0;
    }
    std::wstring NameOf(LONG id) {
        return testsupport::AccessibleText(Object(), &IAccessible::get_accName, id);
    }
    LONG RoleOf(LONG id) {
        return testsupport::AccessibleNumber(Object(), &IAccessible::get_accRole, id);
    }
    LONG StateOf(LONG id) {
        return testsupport::AccessibleNumber(Object(), &IAccessible::get_accState, id);
    }
    std::wstring ValueOf(LONG id) {
        return testsupport::AccessibleText(Object(), &IAccessible::get_accValue, id);
    }
    LONG FocusId() {
        win32::Variant focus;
        Object()->get_accFocus(focus.put());
        return focus.get()->vt == VT_I4 ? focus.get()->lVal : -1;
    }
    void Key(WPARAM key) {
        PostMessageW(hwnd, WM_KEYDOWN, key, 1);
        PostMessageW(hwnd, WM_KEYUP, key, 0xC0000001);
        EXPECT_TRUE(PumpUntilIdle()) << "key " << key;
    }
    skinui::CControlUI* Focus() { return window->Manager().GetFocus(); }

    std::unique_ptr<TestWindow> window;
    HWND hwnd = nullptr;
    win32::ComPtr<IAccessible> object;
};

} // namespace skintest

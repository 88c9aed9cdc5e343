#include "tools/flashstandin/ComMethod.h"
#include "win32/Variant.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// How the stand-in's COM methods answer their callers, and the VARIANT owner its events are
// built from.
namespace {

using flashstandin::Answer;
using flashstandin::AnswerFlag;
using flashstandin::AnswerText;
using flashstandin::Guarded;

// Counts its releases, to see what an owner lets go of.
class CountedUnknown : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID /*iid*/, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references{1};
};

TEST(StandInComMethod, GuardedTurnsWhatTheBodyThrowsIntoAnHresult) {
    EXPECT_EQ(Guarded([] { return S_FALSE; }), S_FALSE);
    EXPECT_EQ(Guarded([] {}), S_OK);
    EXPECT_EQ(Guarded([]() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(Guarded([] { throw std::runtime_error("anything else"); }), E_UNEXPECTED);
}

TEST(StandInComMethod, AnswersGoThroughTheOutParameter) {
    long number = 0;
    EXPECT_EQ(Answer(&number, 42), S_OK);
    EXPECT_EQ(number, 42);
    EXPECT_EQ(Answer(static_cast<long*>(nullptr), 42), E_POINTER);

    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(AnswerFlag(&flag, true), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE) << "COM's true is -1, not 1";
    EXPECT_EQ(AnswerFlag(&flag, false), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(AnswerFlag(nullptr, true), E_POINTER);

    BSTR text = nullptr;
    EXPECT_EQ(AnswerText(&text, std::wstring(L"a\0b", 3)), S_OK);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(flashstandin::Text(text), std::wstring(L"a\0b", 3));
    SysFreeString(text);
    EXPECT_EQ(AnswerText(&text, L""), S_OK);
    ASSERT_NE(text, nullptr) << "an empty text is still a string the caller frees";
    EXPECT_EQ(SysStringLen(text), 0u);
    SysFreeString(text);
    EXPECT_EQ(AnswerText(nullptr, L"x"), E_POINTER);
    EXPECT_EQ(flashstandin::Text(nullptr), L"");
}

TEST(StandInComMethod, VariantOwnsWhatItHolds) {
    CountedUnknown object;
    {
        win32::Variant owner;
        EXPECT_EQ(owner.get()->vt, VT_EMPTY);
        object.AddRef();
        owner.put()->vt = VT_UNKNOWN;
        owner.get()->punkVal = &object;
        win32::Variant moved(std::move(owner));
        EXPECT_EQ(owner.get()->vt, VT_EMPTY) << "the reference went with the move";
        EXPECT_EQ(object.references, 2u);
        moved = win32::Variant::FromLong(7);
        EXPECT_EQ(object.references, 1u) << "the value replaced is cleared";
        object.AddRef();
        moved.put()->vt = VT_UNKNOWN;
        moved.get()->punkVal = &object;
    }
    EXPECT_EQ(object.references, 1u) << "an owner going away releases what it holds";

    const win32::Variant text = win32::Variant::FromString(L"quit");
    EXPECT_EQ(text.get()->vt, VT_BSTR);
    EXPECT_STREQ(text.get()->bstrVal, L"quit");
    const win32::Variant empty = win32::Variant::FromString(nullptr);
    ASSERT_EQ(empty.get()->vt, VT_BSTR);
    ASSERT_NE(empty.get()->bstrVal, nullptr);
    EXPECT_EQ(SysStringLen(empty.get()->bstrVal), 0u);
}

TEST(StandInComMethod, VariantOwnersAreTheArgumentArrayOfACall) {
    std::vector<win32::Variant> arguments;
    arguments.push_back(win32::Variant::FromLong(1));
    arguments.push_back(win32::Variant::FromString(L"click"));
    const DISPPARAMS parameters{win32::VariantArray(arguments.data()), nullptr, 2, 0};
    EXPECT_EQ(parameters.rgvarg[0].vt, VT_I4);
    EXPECT_EQ(parameters.rgvarg[0].lVal, 1);
    EXPECT_EQ(parameters.rgvarg[1].vt, VT_BSTR);
    EXPECT_STREQ(parameters.rgvarg[1].bstrVal, L"click");
    EXPECT_EQ(win32::VariantArray(nullptr), nullptr);
}

} // namespace

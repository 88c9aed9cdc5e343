#include "flashplayer/ShockwaveFlash.h"
#include "tools/flashstandin/ShockwaveFlashDefaults.h"

#include <gtest/gtest.h>

#include <string>

// The player calls the real Flash control through its vtable, so each method it uses must sit in
// the slot the control's type library gives it. The slots below are written out from that type
// library's layout (IUnknown 0-2, IDispatch 3-6, then IShockwaveFlash's members in order), not
// derived from the declaration under test.
namespace {

class RecordingFlash : public flashstandin::ShockwaveFlashDefaults {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID /*iid*/, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE FlashVersion(long* version) override {
        *version = 0x00080000;
        return Record("FlashVersion");
    }
    HRESULT STDMETHODCALLTYPE put_WMode(BSTR) override { return Record("put_WMode"); }
    HRESULT STDMETHODCALLTYPE put_Scale(BSTR) override { return Record("put_Scale"); }
    HRESULT STDMETHODCALLTYPE put_BackgroundColor(long) override {
        return Record("put_BackgroundColor");
    }
    HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL) override {
        return Record("put_EmbedMovie");
    }
    HRESULT STDMETHODCALLTYPE LoadMovie(int, BSTR) override { return Record("LoadMovie"); }
    HRESULT STDMETHODCALLTYPE CallFunction(BSTR, BSTR* response) override {
        *response = nullptr;
        return Record("CallFunction");
    }
    HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL) override { return Record("put_Loop"); }
    HRESULT STDMETHODCALLTYPE Play() override { return Record("Play"); }
    HRESULT STDMETHODCALLTYPE put_AllowFullScreen(BSTR) override {
        return Record("put_AllowFullScreen");
    }
    HRESULT STDMETHODCALLTYPE put_BrowserZoom(BSTR) override { return Record("put_BrowserZoom"); }

    std::string last;

private:
    HRESULT Record(const char* name) {
        last = name;
        return S_OK;
    }
};

// Calls slot `slot` of the object's vtable as a method of type Method.
template <typename Method, typename... Arguments>
HRESULT CallSlot(IShockwaveFlash* object, int slot, Arguments... arguments) {
    void** vtable = *reinterpret_cast<void***>(object);
    return reinterpret_cast<Method>(vtable[slot])(object, arguments...);
}

using NoArguments = HRESULT(STDMETHODCALLTYPE*)(IShockwaveFlash*);
using WithLongOut = HRESULT(STDMETHODCALLTYPE*)(IShockwaveFlash*, long*);
using WithString = HRESULT(STDMETHODCALLTYPE*)(IShockwaveFlash*, BSTR);
using WithLong = HRESULT(STDMETHODCALLTYPE*)(IShockwaveFlash*, long);
using WithBool = HRESULT(STDMETHODCALLTYPE*)(IShockwaveFlash*, VARIANT_BOOL);
using WithLayerAndUrl = HRESULT(STDMETHODCALLTYPE*)(IShockwaveFlash*, int, BSTR);
using WithRequest = HRESULT(STDMETHODCALLTYPE*)(IShockwaveFlash*, BSTR, BSTR*);

TEST(ShockwaveFlashLayout, EveryMethodThePlayerCallsSitsInItsTypeLibrarySlot) {
    RecordingFlash recorder;
    IShockwaveFlash* flash = &recorder;
    long version = 0;
    BSTR response = nullptr;

    EXPECT_EQ(CallSlot<WithLongOut>(flash, 39, &version), S_OK);
    EXPECT_EQ(recorder.last, "FlashVersion");
    EXPECT_EQ(version, 0x00080000);
    CallSlot<WithString>(flash, 41, nullptr);
    EXPECT_EQ(recorder.last, "put_WMode");
    CallSlot<WithString>(flash, 49, nullptr);
    EXPECT_EQ(recorder.last, "put_Scale");
    CallSlot<WithLong>(flash, 18, 0L);
    EXPECT_EQ(recorder.last, "put_BackgroundColor");
    CallSlot<WithBool>(flash, 53, VARIANT_FALSE);
    EXPECT_EQ(recorder.last, "put_EmbedMovie");
    CallSlot<WithLayerAndUrl>(flash, 58, 0, nullptr);
    EXPECT_EQ(recorder.last, "LoadMovie");
    CallSlot<WithRequest>(flash, 93, nullptr, &response);
    EXPECT_EQ(recorder.last, "CallFunction");
    CallSlot<WithBool>(flash, 20, VARIANT_FALSE);
    EXPECT_EQ(recorder.last, "put_Loop");
    CallSlot<NoArguments>(flash, 28);
    EXPECT_EQ(recorder.last, "Play");
}

TEST(ShockwaveFlashLayout, TheWholeInterfaceIsDeclared) {
    // The last member of the classic type library, and the last of the later additions.
    RecordingFlash recorder;
    CallSlot<WithString>(&recorder, 99, nullptr);
    EXPECT_EQ(recorder.last, "put_AllowFullScreen");
    CallSlot<WithString>(&recorder, 105, nullptr);
    EXPECT_EQ(recorder.last, "put_BrowserZoom");
}

TEST(ShockwaveFlashLayout, IdentifiersAreTheControls) {
    wchar_t text[40] = {};
    StringFromGUID2(CLSID_ShockwaveFlash, text, 40);
    EXPECT_STREQ(text, L"{D27CDB6E-AE6D-11CF-96B8-444553540000}");
    StringFromGUID2(IID_IShockwaveFlash, text, 40);
    EXPECT_STREQ(text, L"{D27CDB6C-AE6D-11CF-96B8-444553540000}");
    StringFromGUID2(DIID__IShockwaveFlashEvents, text, 40);
    EXPECT_STREQ(text, L"{D27CDB6D-AE6D-11CF-96B8-444553540000}");
    EXPECT_TRUE(__uuidof(IShockwaveFlash) == IID_IShockwaveFlash);
    EXPECT_EQ(DISPID_ShockwaveFlashEvents_FSCommand, 150);
    EXPECT_EQ(DISPID_ShockwaveFlashEvents_FlashCall, 197);
    EXPECT_EQ(DISPID_ShockwaveFlashEvents_OnProgress, 1958);
    EXPECT_EQ(DISPID_ShockwaveFlashEvents_OnReadyStateChange, -609);
}

} // namespace

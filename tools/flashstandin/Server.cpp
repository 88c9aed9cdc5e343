#include "tools/flashstandin/Server.h"

#include "tools/flashstandin/ComMethod.h"
#include "tools/flashstandin/StandInControl.h"
#include "win32/ComPtr.h"
#include "win32/ModuleFileName.h"
#include "win32/UniqueHandle.h"

#include <olectl.h>

#include <atomic>
#include <string>

// The in-process server: the class factory and the registration under the Shockwave Flash
// class identifier and ProgID, which is what lets an unchanged host create the stand-in.
namespace flashstandin {

namespace {

constexpr wchar_t kDescription[] = L"Shockwave Flash Object (Orvia stand-in for tests)";
constexpr wchar_t kProgId[] = L"ShockwaveFlash.ShockwaveFlash";
constexpr wchar_t kVersionedProgId[] = L"ShockwaveFlash.ShockwaveFlash.1";

HMODULE module = nullptr;
std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

class ClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // One static factory for the life of the DLL; LockServer keeps the DLL loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return Guarded([&] {
            if (StandInOptions::FromEnvironment().failingMethod == L"CreateInstance")
                return E_OUTOFMEMORY;
            // Born with one reference, which the pointer handed out takes over or gives back.
            const win32::ComPtr<IOleObject> control(new StandInControl());
            return control->QueryInterface(iid, object);
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ++serverLocks;
        else
            --serverLocks;
        return S_OK;
    }
};

ClassFactory factory;

std::wstring ClassIdText() {
    wchar_t text[40] = {};
    StringFromGUID2(CLSID_ShockwaveFlash, text, 40);
    return text;
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    win32::UniqueRegistryKey handle;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        handle.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(
               handle.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

void ServerObjectCreated() {
    ++liveObjects;
}

void ServerObjectDestroyed() {
    --liveObjects;
}

} // namespace flashstandin

using namespace flashstandin;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (classId != CLSID_ShockwaveFlash)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() {
    return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return Guarded([] {
        const std::wstring classKey = L"CLSID\\" + ClassIdText();
        const std::wstring path = win32::ModuleFileName(module);
        const bool written =
            !path.empty() && SetValue(classKey, nullptr, kDescription) &&
            SetValue(classKey + L"\\InprocServer32", nullptr, path) &&
            SetValue(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
            SetValue(classKey + L"\\ProgID", nullptr, kVersionedProgId) &&
            SetValue(classKey + L"\\VersionIndependentProgID", nullptr, kProgId) &&
            SetValue(classKey + L"\\Control", nullptr, L"") &&
            SetValue(kProgId, nullptr, kDescription) &&
            SetValue(std::wstring(kProgId) + L"\\CLSID", nullptr, ClassIdText()) &&
            SetValue(std::wstring(kProgId) + L"\\CurVer", nullptr, kVersionedProgId) &&
            SetValue(kVersionedProgId, nullptr, kDescription) &&
            SetValue(std::wstring(kVersionedProgId) + L"\\CLSID", nullptr, ClassIdText());
        return written ? S_OK : SELFREG_E_CLASS;
    });
}

STDAPI DllUnregisterServer() {
    return Guarded([] {
        const std::wstring classKey = L"CLSID\\" + ClassIdText();
        RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey.c_str());
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kVersionedProgId);
    });
}

#include "tools/flashstandin/StandInEvents.h"

#include "tools/flashstandin/ComMethod.h"
#include "tools/flashstandin/StandInOptions.h"
#include "win32/Bstr.h"

#include <olectl.h>

namespace flashstandin {

namespace {

constexpr DWORD kOnlyCookie = 1;

} // namespace

HRESULT STDMETHODCALLTYPE EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint)
        return E_NOINTERFACE;
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

// Handed out, the connection point keeps the control alive.
ULONG STDMETHODCALLTYPE EventConnectionPoint::AddRef() {
    return m_control.AddRef();
}

ULONG STDMETHODCALLTYPE EventConnectionPoint::Release() {
    return m_control.Release();
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionInterface(IID* iid) {
    return Answer(iid, DIID__IShockwaveFlashEvents);
}

HRESULT STDMETHODCALLTYPE
EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container)
        return E_POINTER;
    *container = &m_control;
    m_control.AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    if (m_sink)
        return CONNECT_E_ADVISELIMIT;
    return Guarded([&] {
        // Like the real control, the sink must answer for the event interface itself.
        win32::ComPtr<IDispatch> events;
        const HRESULT result = sink->QueryInterface(DIID__IShockwaveFlashEvents, events.put_void());
        AppendLog(m_logPath, L"Advise -> " + LogHex(result));
        if (FAILED(result))
            return CONNECT_E_CANNOTCONNECT;
        m_sink = std::move(events);
        *cookie = kOnlyCookie;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Unadvise(DWORD cookie) {
    return Guarded([&] {
        AppendLog(m_logPath, L"Unadvise " + std::to_wstring(cookie));
        if (cookie != kOnlyCookie || !m_sink)
            return CONNECT_E_NOCONNECTION;
        m_sink.reset();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

void EventConnectionPoint::FireProgress(long percent) {
    win32::Variant arguments[]{win32::Variant::FromLong(percent)};
    Fire(DISPID_ShockwaveFlashEvents_OnProgress, L"OnProgress", arguments);
}

void EventConnectionPoint::FireReadyStateChange(long state) {
    win32::Variant arguments[]{win32::Variant::FromLong(state)};
    Fire(DISPID_ShockwaveFlashEvents_OnReadyStateChange, L"OnReadyStateChange", arguments);
}

void EventConnectionPoint::FireFlashCall(const wchar_t* request) {
    win32::Variant arguments[]{win32::Variant::FromString(request)};
    Fire(DISPID_ShockwaveFlashEvents_FlashCall, L"FlashCall", arguments);
}

void EventConnectionPoint::FireFSCommand(const wchar_t* command, const wchar_t* argument) {
    win32::Variant arguments[]{win32::Variant::FromString(argument),
                               win32::Variant::FromString(command)};
    Fire(DISPID_ShockwaveFlashEvents_FSCommand, L"FSCommand", arguments);
}

void EventConnectionPoint::FireFSCommand(const wchar_t* command) {
    win32::Variant arguments[]{win32::Variant::FromString(command)};
    Fire(DISPID_ShockwaveFlashEvents_FSCommand, L"FSCommand", arguments);
}

void EventConnectionPoint::FireFSCommand(const wchar_t* command, long argument) {
    win32::Variant arguments[]{win32::Variant::FromLong(argument),
                               win32::Variant::FromString(command)};
    Fire(DISPID_ShockwaveFlashEvents_FSCommand, L"FSCommand", arguments);
}

template <UINT Count>
void EventConnectionPoint::Fire(DISPID id, const wchar_t* name,
                                win32::Variant (&arguments)[Count]) {
    if (!m_sink) {
        AppendLog(m_logPath, std::wstring(L"event ") + name + L" without a sink");
        return;
    }
    // A handler may unadvise, which releases m_sink while the call is still in it.
    m_sink->AddRef();
    const win32::ComPtr<IDispatch> sink(m_sink.get());
    DISPPARAMS parameters{win32::VariantArray(arguments), nullptr, Count, 0};
    win32::Variant result;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT answer = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                        &parameters, result.put(), &exception, &argumentError);
    const win32::UniqueBstr source(exception.bstrSource);
    const win32::UniqueBstr description(exception.bstrDescription);
    const win32::UniqueBstr helpFile(exception.bstrHelpFile);
    AppendLog(m_logPath, std::wstring(L"event ") + name + L" " + std::to_wstring(Count) + L" -> " +
                             LogHex(answer));
}

} // namespace flashstandin

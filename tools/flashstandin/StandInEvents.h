#pragma once

#include "flashplayer/ShockwaveFlash.h"
#include "win32/ComPtr.h"
#include "win32/Variant.h"

#include <ocidl.h>

#include <string>

namespace flashstandin {

// The control's one connection point, _IShockwaveFlashEvents with a single sink, and the events
// the control sends through it. Each event is logged, with what the sink answered; an event
// without a sink is logged and dropped, as the real control drops it.
class EventConnectionPoint : public IConnectionPoint {
public:
    // The connection point lives inside the control, which owns the reference count and the log.
    EventConnectionPoint(IConnectionPointContainer& control, const std::wstring& logPath)
        : m_control(control), m_logPath(logPath) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    void FireProgress(long percent);
    void FireReadyStateChange(long state);
    // An ExternalInterface call from the movie to its host, as XML.
    void FireFlashCall(const wchar_t* request);
    void FireFSCommand(const wchar_t* command, const wchar_t* argument);
    // The shapes of FSCommand a movie's ActionScript can produce besides (command, string).
    void FireFSCommand(const wchar_t* command);
    void FireFSCommand(const wchar_t* command, long argument);

private:
    // Sends one event; the arguments are in Invoke's order, the last one first.
    template <UINT Count>
    void Fire(DISPID id, const wchar_t* name, win32::Variant (&arguments)[Count]);

    IConnectionPointContainer& m_control;
    const std::wstring& m_logPath;
    win32::ComPtr<IDispatch> m_sink; // null while no sink is connected
};

} // namespace flashstandin

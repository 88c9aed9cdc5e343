#include "tools/flashstandin/StandInControl.h"

#include "tools/flashstandin/ComMethod.h"

#include <olectl.h>

// How a host embeds the control: the OLE object, its storage (which the control has no use
// for), and where the host finds the control's events.
namespace flashstandin {

HRESULT STDMETHODCALLTYPE StandInControl::SetClientSite(IOleClientSite* site) {
    return Guarded([&] {
        Called(L"SetClientSite", site ? L"site" : L"null");
        if (site)
            site->AddRef();
        m_clientSite.reset(site);
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::GetClientSite(IOleClientSite** site) {
    if (!site)
        return E_POINTER;
    *site = m_clientSite.get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetHostNames(LPCOLESTR /*application*/,
                                                       LPCOLESTR /*document*/) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::Close(DWORD saveOption) {
    // Closed even when the log cannot say so.
    const HRESULT logged = Guarded([&] { Called(L"Close", std::to_wstring(saveOption)); });
    StopTimer();
    InPlaceDeactivate();
    m_clientSite.reset();
    return logged;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetMoniker(DWORD /*which*/, IMoniker* /*moniker*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetMoniker(DWORD /*assign*/, DWORD /*which*/,
                                                     IMoniker** moniker) {
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::InitFromData(IDataObject* /*data*/, BOOL /*creation*/,
                                                       DWORD /*reserved*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetClipboardData(DWORD /*reserved*/, IDataObject** data) {
    if (data)
        *data = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::DoVerb(LONG verb, LPMSG /*message*/,
                                                 IOleClientSite* activeSite, LONG /*index*/,
                                                 HWND /*parent*/, LPCRECT /*position*/) {
    return Guarded([&] {
        if (Called(L"DoVerb", std::to_wstring(verb)))
            return E_FAIL;
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(activeSite ? activeSite : m_clientSite.get());
        case OLEIVERB_HIDE:
            return InPlaceDeactivate();
        default:
            return OLEOBJ_S_INVALIDVERB;
        }
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs)
        *verbs = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::Update() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::IsUpToDate() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetUserClassID(CLSID* classId) {
    return GetClassID(classId);
}

HRESULT STDMETHODCALLTYPE StandInControl::GetUserType(DWORD /*form*/, LPOLESTR* type) {
    if (type)
        *type = nullptr;
    return OLE_S_USEREG;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetExtent(DWORD /*aspect*/, SIZEL* size) {
    if (!size)
        return E_POINTER;
    m_extent = *size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetExtent(DWORD /*aspect*/, SIZEL* size) {
    return Answer(size, m_extent);
}

HRESULT STDMETHODCALLTYPE StandInControl::Advise(IAdviseSink* /*sink*/, DWORD* connection) {
    if (connection)
        *connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE StandInControl::Unadvise(DWORD /*connection*/) {
    return OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE StandInControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (advise)
        *advise = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetMiscStatus(DWORD /*aspect*/, DWORD* status) {
    return Answer(status, OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST);
}

HRESULT STDMETHODCALLTYPE StandInControl::SetColorScheme(LOGPALETTE* /*palette*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::FindConnectionPoint(REFIID iid,
                                                              IConnectionPoint** point) {
    if (!point)
        return E_POINTER;
    *point = nullptr;
    const bool events = iid == DIID__IShockwaveFlashEvents;
    return Guarded([&] {
        if (Called(L"FindConnectionPoint", events ? L"_IShockwaveFlashEvents" : L"other"))
            return E_FAIL;
        if (!events)
            return CONNECT_E_NOCONNECTION;
        *point = &m_events;
        m_events.AddRef();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::GetClassID(CLSID* classId) {
    return Answer(classId, CLSID_ShockwaveFlash);
}

HRESULT STDMETHODCALLTYPE StandInControl::IsDirty() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE StandInControl::InitNew(IStorage* /*storage*/) {
    return Guarded([&] { Called(L"InitNew"); });
}

HRESULT STDMETHODCALLTYPE StandInControl::Load(IStorage* /*storage*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::Save(IStorage* /*storage*/, BOOL /*sameAsLoad*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::SaveCompleted(IStorage* /*storage*/) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::HandsOffStorage() {
    return S_OK;
}

} // namespace flashstandin

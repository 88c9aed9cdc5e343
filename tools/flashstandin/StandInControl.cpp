#include "tools/flashstandin/StandInControl.h"

#include "tools/flashstandin/Server.h"
#include "win32/UniqueHandle.h"

#include <olectl.h>

#include <cstdio>
#include <map>
#include <vector>

namespace flashstandin {

namespace {

constexpr long kReadyStateComplete = 4;

// Frame timers are thread timers (the control has no window of its own), found again by id.
std::map<UINT_PTR, StandInControl*>& Timers() {
    static std::map<UINT_PTR, StandInControl*> timers;
    return timers;
}

void CALLBACK FrameTimerProc(HWND /*window*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
    const auto found = Timers().find(id);
    if (found != Timers().end())
        found->second->OnFrameTimer();
}

std::wstring Hex(long value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::wstring Text(BSTR value) {
    return value ? std::wstring(value, SysStringLen(value)) : L"";
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// A movie URL the way Flash takes it: a path, or a file: URL.
std::wstring FilePathOf(const std::wstring& url) {
    constexpr wchar_t kFileScheme[] = L"file:///";
    if (url.compare(0, 8, kFileScheme) == 0)
        return url.substr(8);
    return url;
}

bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    const win32::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                   nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxSwfLength)
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
            read == bytes.size());
}

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

// The connection point lives inside the control and keeps it alive while handed out.
ULONG STDMETHODCALLTYPE EventConnectionPoint::AddRef() {
    return static_cast<IOleObject&>(m_control).AddRef();
}

ULONG STDMETHODCALLTYPE EventConnectionPoint::Release() {
    return static_cast<IOleObject&>(m_control).Release();
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid)
        return E_POINTER;
    *iid = DIID__IShockwaveFlashEvents;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE
EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container)
        return E_POINTER;
    *container = &m_control;
    (*container)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    if (m_sink)
        return CONNECT_E_ADVISELIMIT;
    // Like the real control, the sink must answer for the event interface itself.
    win32::ComPtr<IDispatch> events;
    const HRESULT result = sink->QueryInterface(DIID__IShockwaveFlashEvents, events.put_void());
    AppendLog(m_control.logPath(), L"Advise -> " + Hex(result));
    if (FAILED(result))
        return CONNECT_E_CANNOTCONNECT;
    m_sink = std::move(events);
    *cookie = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::Unadvise(DWORD cookie) {
    AppendLog(m_control.logPath(), L"Unadvise " + std::to_wstring(cookie));
    if (cookie != 1 || !m_sink)
        return CONNECT_E_NOCONNECTION;
    m_sink.reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

StandInControl::StandInControl() : m_options(StandInOptions::FromEnvironment()) {
    ServerObjectCreated();
    AppendLog(m_options.logPath, L"created version " + std::to_wstring(m_options.majorVersion));
}

StandInControl::~StandInControl() {
    StopTimer();
    AppendLog(m_options.logPath, L"destroyed");
    ServerObjectDestroyed();
}

bool StandInControl::Called(const wchar_t* method, const std::wstring& details) {
    const bool fail = m_options.failingMethod == method;
    std::wstring line = method;
    if (!details.empty())
        line += L" " + details;
    if (fail)
        line += L" -> failing on request";
    AppendLog(m_options.logPath, line);
    return fail;
}

HRESULT STDMETHODCALLTYPE StandInControl::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShockwaveFlash)
        *object = static_cast<IShockwaveFlash*>(this);
    else if (iid == IID_IOleObject)
        *object = static_cast<IOleObject*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2 ||
             (iid == IID_IViewObjectEx && m_options.viewObjectEx))
        *object = static_cast<IViewObjectEx*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject ||
             (iid == IID_IOleInPlaceObjectWindowless && m_options.windowless))
        *object = static_cast<IOleInPlaceObjectWindowless*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStorage)
        *object = static_cast<IPersistStorage*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE StandInControl::AddRef() {
    return ++m_references;
}

ULONG STDMETHODCALLTYPE StandInControl::Release() {
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_ReadyState(long* state) {
    if (!state)
        return E_POINTER;
    *state = m_loaded ? kReadyStateComplete : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_TotalFrames(long* frames) {
    if (!frames)
        return E_POINTER;
    *frames = m_loaded ? m_movie.frameCount : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_Playing(VARIANT_BOOL* playing) {
    return IsPlaying(playing);
}

HRESULT STDMETHODCALLTYPE StandInControl::get_BackgroundColor(long* color) {
    if (!color)
        return E_POINTER;
    *color = m_backgroundColor;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::put_BackgroundColor(long color) {
    if (Called(L"put_BackgroundColor", std::to_wstring(color)))
        return E_FAIL;
    m_backgroundColor = color;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_Loop(VARIANT_BOOL* loop) {
    if (!loop)
        return E_POINTER;
    *loop = m_loop ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::put_Loop(VARIANT_BOOL loop) {
    if (Called(L"put_Loop", std::to_wstring(loop)))
        return E_FAIL;
    m_loop = loop != VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_Movie(BSTR* movie) {
    if (!movie)
        return E_POINTER;
    *movie = SysAllocStringLen(m_movieUrl.data(), static_cast<UINT>(m_movieUrl.size()));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::put_Movie(BSTR movie) {
    return LoadMovie(0, movie);
}

HRESULT STDMETHODCALLTYPE StandInControl::Play() {
    if (Called(L"Play"))
        return E_FAIL;
    if (m_loaded && !m_timer)
        StartTimer();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::Stop() {
    Called(L"Stop");
    StopTimer();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::StopPlay() {
    return Stop();
}

HRESULT STDMETHODCALLTYPE StandInControl::CurrentFrame(long* frame) {
    if (!frame)
        return E_POINTER;
    *frame = m_frame;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::IsPlaying(VARIANT_BOOL* playing) {
    if (!playing)
        return E_POINTER;
    *playing = m_timer ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::PercentLoaded(long* percent) {
    if (!percent)
        return E_POINTER;
    *percent = m_loaded ? 100 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::FlashVersion(long* version) {
    if (!version)
        return E_POINTER;
    const long value = FlashVersionValue(m_options.majorVersion);
    if (Called(L"FlashVersion", Hex(value)))
        return E_FAIL;
    *version = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_WMode(BSTR* mode) {
    if (!mode)
        return E_POINTER;
    *mode = SysAllocString(m_windowMode.c_str());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::put_WMode(BSTR mode) {
    if (Called(L"put_WMode", Text(mode)))
        return E_FAIL;
    m_windowMode = Text(mode);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_Scale(BSTR* scale) {
    if (!scale)
        return E_POINTER;
    *scale = SysAllocString(m_scale.c_str());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::put_Scale(BSTR scale) {
    if (Called(L"put_Scale", Text(scale)))
        return E_FAIL;
    m_scale = Text(scale);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_EmbedMovie(VARIANT_BOOL* embed) {
    if (!embed)
        return E_POINTER;
    *embed = m_embedMovie ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::put_EmbedMovie(VARIANT_BOOL embed) {
    if (Called(L"put_EmbedMovie", std::to_wstring(embed)))
        return E_FAIL;
    m_embedMovie = embed != VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::LoadMovie(int layer, BSTR url) {
    if (Called(L"LoadMovie", std::to_wstring(layer) + L" " + Text(url)))
        return E_FAIL;
    StopTimer();
    m_movieUrl = Text(url);
    m_loaded = false;
    m_frame = 0;
    m_endReached = false;

    // A movie that cannot be read leaves the control empty, as the real one does: loading is
    // not something LoadMovie itself reports.
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(FilePathOf(m_movieUrl), bytes)) {
        AppendLog(m_options.logPath, L"movie unreadable");
        return S_OK;
    }
    VARIANT progress{};
    progress.vt = VT_I4;
    progress.lVal = 50;
    Fire(DISPID_ShockwaveFlashEvents_OnProgress, L"OnProgress", &progress, 1);
    const SwfResult result = ReadSwf(bytes.data(), bytes.size(), m_movie);
    if (result != SwfResult::Ok) {
        AppendLog(m_options.logPath, L"movie refused: " + Widen(SwfResultName(result)));
        return S_OK;
    }
    m_loaded = true;
    std::wstring labels;
    for (const std::string& label : m_movie.frameLabels)
        labels += L" " + Widen(label);
    AppendLog(m_options.logPath, L"movie " + std::wstring(m_movie.compressed ? L"CWS" : L"FWS") +
                                     L" version " + std::to_wstring(m_movie.version) + L" size " +
                                     std::to_wstring(m_movie.frameWidthTwips / 20) + L"x" +
                                     std::to_wstring(m_movie.frameHeightTwips / 20) + L" rate " +
                                     std::to_wstring(m_movie.frameRate / 256.0) + L" frames " +
                                     std::to_wstring(m_movie.frameCount) + L" labels" + labels);
    progress.lVal = 100;
    Fire(DISPID_ShockwaveFlashEvents_OnProgress, L"OnProgress", &progress, 1);
    VARIANT state{};
    state.vt = VT_I4;
    state.lVal = kReadyStateComplete;
    Fire(DISPID_ShockwaveFlashEvents_OnReadyStateChange, L"OnReadyStateChange", &state, 1);
    Invalidate();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::CallFunction(BSTR request, BSTR* response) {
    if (Called(L"CallFunction", Text(request)))
        return E_FAIL;
    if (!response)
        return E_POINTER;
    *response = nullptr;
    // The real control refuses a call to a function the movie did not offer.
    const bool offered =
        HasLabel("closesound") && Text(request).find(L"<invoke name=\"closesound\"") == 0;
    if (!offered) {
        AppendLog(m_options.logPath, L"CallFunction refused");
        return E_FAIL;
    }
    *response = SysAllocString(L"<undefined/>");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetClientSite(IOleClientSite* site) {
    Called(L"SetClientSite", site ? L"site" : L"null");
    if (site)
        site->AddRef();
    m_clientSite.reset(site);
    return S_OK;
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
    Called(L"Close", std::to_wstring(saveOption));
    StopTimer();
    InPlaceDeactivate();
    m_clientSite.reset();
    return S_OK;
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
    if (!size)
        return E_POINTER;
    *size = m_extent;
    return S_OK;
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
    if (!status)
        return E_POINTER;
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
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
    if (Called(L"FindConnectionPoint", events ? L"_IShockwaveFlashEvents" : L"other"))
        return E_FAIL;
    if (!events)
        return CONNECT_E_NOCONNECTION;
    *point = &m_connectionPoint;
    (*point)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetClassID(CLSID* classId) {
    if (!classId)
        return E_POINTER;
    *classId = CLSID_ShockwaveFlash;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::IsDirty() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE StandInControl::InitNew(IStorage* /*storage*/) {
    Called(L"InitNew");
    return S_OK;
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

void StandInControl::StartTimer() {
    const unsigned interval = FrameIntervalMs(m_movie);
    m_timer = SetTimer(nullptr, 0, interval, FrameTimerProc);
    if (m_timer)
        Timers()[m_timer] = this;
    AppendLog(m_options.logPath, L"timer " + std::to_wstring(m_timer) + L" every " +
                                     std::to_wstring(interval) + L" ms from " +
                                     std::to_wstring(GetTickCount()));
}

void StandInControl::StopTimer() {
    if (!m_timer)
        return;
    KillTimer(nullptr, m_timer);
    Timers().erase(m_timer);
    m_timer = 0;
}

void StandInControl::OnFrameTimer() {
    // An event handler may release the host's last reference.
    AddRef();
    const int last = m_movie.frameCount > 0 ? m_movie.frameCount - 1 : 0;
    if (m_frame < last) {
        ++m_frame;
        Invalidate();
    }
    AppendLog(m_options.logPath,
              L"frame " + std::to_wstring(m_frame) + L" at " + std::to_wstring(GetTickCount()));
    if (m_frame >= last) {
        if (!m_endReached) {
            m_endReached = true;
            VARIANT request{};
            request.vt = VT_BSTR;
            request.bstrVal = SysAllocString(
                L"<invoke name=\"FlashState_Complete\" returntype=\"xml\"><arguments></arguments>"
                L"</invoke>");
            Fire(DISPID_ShockwaveFlashEvents_FlashCall, L"FlashCall", &request, 1);
            VariantClear(&request);
            FireFSCommand(L"quit", L"");
        }
        if (m_loop) {
            m_frame = 0;
            m_endReached = false;
        } else {
            StopTimer();
        }
    }
    Release();
}

void StandInControl::Fire(DISPID id, const wchar_t* name, VARIANT* arguments, UINT count) {
    IDispatch* sink = m_connectionPoint.sink();
    if (!sink) {
        AppendLog(m_options.logPath, std::wstring(L"event ") + name + L" without a sink");
        return;
    }
    // Dispatch arguments go last first.
    std::vector<VARIANT> reversed(arguments, arguments + count);
    for (UINT i = 0; i < count / 2; ++i)
        std::swap(reversed[i], reversed[count - 1 - i]);
    DISPPARAMS parameters{reversed.data(), nullptr, count, 0};
    VARIANT result{};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    sink->AddRef();
    const HRESULT answer = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                        &parameters, &result, &exception, &argumentError);
    sink->Release();
    VariantClear(&result);
    AppendLog(m_options.logPath, std::wstring(L"event ") + name + L" " + std::to_wstring(count) +
                                     L" -> " + Hex(answer));
}

void StandInControl::FireFSCommand(const wchar_t* command, const wchar_t* argument) {
    VARIANT arguments[2]{};
    arguments[0].vt = VT_BSTR;
    arguments[0].bstrVal = SysAllocString(command);
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = SysAllocString(argument);
    Fire(DISPID_ShockwaveFlashEvents_FSCommand, L"FSCommand", arguments, 2);
    VariantClear(&arguments[0]);
    VariantClear(&arguments[1]);
}

void StandInControl::FireClickCommand() {
    if (HasLabel("fscommand-on-click")) {
        FireFSCommand(L"click", L"picture");
    } else if (HasLabel("fscommand-on-click-one-argument")) {
        VARIANT command{};
        command.vt = VT_BSTR;
        command.bstrVal = SysAllocString(L"click");
        Fire(DISPID_ShockwaveFlashEvents_FSCommand, L"FSCommand", &command, 1);
        VariantClear(&command);
    } else if (HasLabel("fscommand-on-click-number")) {
        VARIANT arguments[2]{};
        arguments[0].vt = VT_BSTR;
        arguments[0].bstrVal = SysAllocString(L"click");
        arguments[1].vt = VT_I4;
        arguments[1].lVal = 1;
        Fire(DISPID_ShockwaveFlashEvents_FSCommand, L"FSCommand", arguments, 2);
        VariantClear(&arguments[0]);
    }
}

bool StandInControl::HasLabel(const char* label) const {
    if (!m_loaded)
        return false;
    for (const std::string& name : m_movie.frameLabels)
        if (name == label)
            return true;
    return false;
}

} // namespace flashstandin

#include "tools/flashstandin/StandInControl.h"

#include "tools/flashstandin/ComMethod.h"
#include "tools/flashstandin/Server.h"
#include "win32/UniqueHandle.h"

#include <map>
#include <utility>
#include <vector>

namespace flashstandin {

namespace {

constexpr long kReadyStateComplete = 4;
constexpr long kProgressRead = 50; // the file is read, its header not yet
constexpr long kProgressComplete = 100;

constexpr wchar_t kCompleteCall[] =
    L"<invoke name=\"FlashState_Complete\" returntype=\"xml\"><arguments></arguments></invoke>";
constexpr wchar_t kUndefinedResult[] = L"<undefined/>";

// Frame timers are thread timers (the control has no window of its own), found again by id.
std::map<UINT_PTR, StandInControl*>& Timers() {
    static std::map<UINT_PTR, StandInControl*> timers;
    return timers;
}

void CALLBACK FrameTimerProc(HWND /*window*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
    const auto found = Timers().find(id);
    if (found != Timers().end())
        Guarded([&] { found->second->OnFrameTimer(); });
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

std::wstring Describe(const SwfMovie& movie) {
    std::wstring labels;
    for (const std::string& label : movie.frameLabels)
        labels += L" " + Widen(label);
    return std::wstring(movie.compressed ? L"CWS" : L"FWS") + L" version " +
           std::to_wstring(movie.version) + L" size " +
           std::to_wstring(movie.frameWidthTwips / 20) + L"x" +
           std::to_wstring(movie.frameHeightTwips / 20) + L" rate " +
           std::to_wstring(movie.frameRate / 256.0) + L" frames " +
           std::to_wstring(movie.frameCount) + L" labels" + labels;
}

} // namespace

StandInControl::StandInControl() : m_options(StandInOptions::FromEnvironment()) {
    AppendLog(m_options.logPath, L"created version " + std::to_wstring(m_options.majorVersion));
    // Counted last: a constructor that throws has no destructor to count the control out again.
    ServerObjectCreated();
}

StandInControl::~StandInControl() {
    StopTimer();
    Guarded([&] { AppendLog(m_options.logPath, L"destroyed"); });
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

template <typename T>
HRESULT StandInControl::SetProperty(const wchar_t* method, const std::wstring& details, T& property,
                                    T value) {
    if (Called(method, details))
        return E_FAIL;
    property = std::move(value);
    return S_OK;
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
    return Answer(state, m_loaded ? kReadyStateComplete : 0);
}

HRESULT STDMETHODCALLTYPE StandInControl::get_TotalFrames(long* frames) {
    return Answer(frames, m_loaded ? m_movie.frameCount : 0);
}

HRESULT STDMETHODCALLTYPE StandInControl::get_Playing(VARIANT_BOOL* playing) {
    return IsPlaying(playing);
}

HRESULT STDMETHODCALLTYPE StandInControl::get_BackgroundColor(long* color) {
    return Answer(color, m_backgroundColor);
}

HRESULT STDMETHODCALLTYPE StandInControl::put_BackgroundColor(long color) {
    return Guarded([&] {
        return SetProperty(L"put_BackgroundColor", std::to_wstring(color), m_backgroundColor,
                           color);
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::get_Loop(VARIANT_BOOL* loop) {
    return AnswerFlag(loop, m_loop);
}

HRESULT STDMETHODCALLTYPE StandInControl::put_Loop(VARIANT_BOOL loop) {
    return Guarded([&] {
        return SetProperty(L"put_Loop", std::to_wstring(loop), m_loop, loop != VARIANT_FALSE);
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::get_Movie(BSTR* movie) {
    return AnswerText(movie, m_movieUrl);
}

HRESULT STDMETHODCALLTYPE StandInControl::put_Movie(BSTR movie) {
    return LoadMovie(0, movie);
}

HRESULT STDMETHODCALLTYPE StandInControl::Play() {
    return Guarded([&] {
        if (Called(L"Play"))
            return E_FAIL;
        if (m_loaded && !m_timer)
            StartTimer();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::Stop() {
    // Stopped even when the log cannot say so.
    const HRESULT logged = Guarded([&] { Called(L"Stop"); });
    StopTimer();
    return logged;
}

HRESULT STDMETHODCALLTYPE StandInControl::StopPlay() {
    return Stop();
}

HRESULT STDMETHODCALLTYPE StandInControl::CurrentFrame(long* frame) {
    return Answer(frame, m_frame);
}

HRESULT STDMETHODCALLTYPE StandInControl::IsPlaying(VARIANT_BOOL* playing) {
    return AnswerFlag(playing, m_timer != 0);
}

HRESULT STDMETHODCALLTYPE StandInControl::PercentLoaded(long* percent) {
    return Answer(percent, m_loaded ? kProgressComplete : 0);
}

HRESULT STDMETHODCALLTYPE StandInControl::FlashVersion(long* version) {
    if (!version)
        return E_POINTER;
    return Guarded([&] {
        const long value = FlashVersionValue(m_options.majorVersion);
        if (Called(L"FlashVersion", LogHex(value)))
            return E_FAIL;
        return Answer(version, value);
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::get_WMode(BSTR* mode) {
    return AnswerText(mode, m_windowMode);
}

HRESULT STDMETHODCALLTYPE StandInControl::put_WMode(BSTR mode) {
    return Guarded([&] { return SetProperty(L"put_WMode", Text(mode), m_windowMode, Text(mode)); });
}

HRESULT STDMETHODCALLTYPE StandInControl::get_Scale(BSTR* scale) {
    return AnswerText(scale, m_scale);
}

HRESULT STDMETHODCALLTYPE StandInControl::put_Scale(BSTR scale) {
    return Guarded([&] { return SetProperty(L"put_Scale", Text(scale), m_scale, Text(scale)); });
}

HRESULT STDMETHODCALLTYPE StandInControl::get_EmbedMovie(VARIANT_BOOL* embed) {
    return AnswerFlag(embed, m_embedMovie);
}

HRESULT STDMETHODCALLTYPE StandInControl::put_EmbedMovie(VARIANT_BOOL embed) {
    return Guarded([&] {
        return SetProperty(L"put_EmbedMovie", std::to_wstring(embed), m_embedMovie,
                           embed != VARIANT_FALSE);
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::LoadMovie(int layer, BSTR url) {
    return Guarded([&] {
        if (Called(L"LoadMovie", std::to_wstring(layer) + L" " + Text(url)))
            return E_FAIL;
        StopTimer();
        m_movieUrl = Text(url);
        m_loaded = false;
        m_frame = 0;
        m_endReached = false;

        // A movie that cannot be read leaves the control empty, as the real one does: loading
        // is not something LoadMovie itself reports.
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(FilePathOf(m_movieUrl), bytes)) {
            AppendLog(m_options.logPath, L"movie unreadable");
            return S_OK;
        }
        m_events.FireProgress(kProgressRead);
        const SwfResult result = ReadSwf(bytes.data(), bytes.size(), m_movie);
        if (result != SwfResult::Ok) {
            AppendLog(m_options.logPath, L"movie refused: " + Widen(SwfResultName(result)));
            return S_OK;
        }
        m_loaded = true;
        AppendLog(m_options.logPath, L"movie " + Describe(m_movie));
        m_events.FireProgress(kProgressComplete);
        m_events.FireReadyStateChange(kReadyStateComplete);
        Invalidate();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE StandInControl::CallFunction(BSTR request, BSTR* response) {
    return Guarded([&] {
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
        return AnswerText(response, kUndefinedResult);
    });
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
    const win32::ComPtr<IOleObject> keepAlive(this);
    const int last = m_movie.frameCount > 0 ? m_movie.frameCount - 1 : 0;
    if (m_frame < last) {
        ++m_frame;
        Invalidate();
    }
    AppendLog(m_options.logPath,
              L"frame " + std::to_wstring(m_frame) + L" at " + std::to_wstring(GetTickCount()));
    if (m_frame < last)
        return;
    if (!m_endReached) {
        m_endReached = true;
        m_events.FireFlashCall(kCompleteCall);
        m_events.FireFSCommand(L"quit", L"");
    }
    if (m_loop) {
        m_frame = 0;
        m_endReached = false;
    } else {
        StopTimer();
    }
}

void StandInControl::FireClickCommand() {
    if (HasLabel("fscommand-on-click"))
        m_events.FireFSCommand(L"click", L"picture");
    else if (HasLabel("fscommand-on-click-one-argument"))
        m_events.FireFSCommand(L"click");
    else if (HasLabel("fscommand-on-click-number"))
        m_events.FireFSCommand(L"click", 1L);
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

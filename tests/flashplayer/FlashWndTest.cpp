#include "flashplayer/DirectDrawIds.h"
#include "flashplayer/FlashWnd.h"
#include "flashplayer/MoviePath.h"
#include "flashplayer/Player.h"
#include "tests/flashplayer/StandInHost.h"
#include "tests/support/TestSupport.h"
#include "win32/Variant.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <utility>
#include <vector>

// The player window in this process with the stand-in control: the settings it gives the control
// and their order, its event table, its service provider, and where it looks for the movie.
namespace {

using flashplayer::CFlashWnd;
using flashtest::PumpMessages;
using flashtest::StandInHost;

constexpr DWORD kLayered = WS_EX_LAYERED | WS_EX_TOOLWINDOW;
constexpr DWORD kPopup = WS_POPUP | WS_VISIBLE;

class TestFlashWnd : public CFlashWnd {
public:
    bool doublesRender() const { return doubleRender != 0; }
    DWORD cookie() const { return adviseCookie; }
    void DestroyWindowFirst() {
        if (IsWindow(window()))
            DestroyWindow(window());
    }
};

struct FlashWndDeleter {
    void operator()(TestFlashWnd* player) const {
        player->DestroyWindowFirst();
        delete player;
    }
};
using PlayerPtr = std::unique_ptr<TestFlashWnd, FlashWndDeleter>;

// Arguments go into DISPPARAMS last first, as COM passes them.
class Arguments {
public:
    Arguments& String(const wchar_t* text) {
        m_values.insert(m_values.begin(), win32::Variant::FromString(text));
        return *this;
    }
    Arguments& Number(long number) {
        m_values.insert(m_values.begin(), win32::Variant::FromLong(number));
        return *this;
    }
    DISPPARAMS* get() {
        m_parameters = {win32::VariantArray(m_values.data()), nullptr,
                        static_cast<UINT>(m_values.size()), 0};
        return &m_parameters;
    }

private:
    std::vector<win32::Variant> m_values;
    DISPPARAMS m_parameters{};
};

HRESULT Fire(CFlashWnd& player, DISPID id, DISPPARAMS* parameters) {
    IDispatch* sink = static_cast<_IShockwaveFlashEvents*>(&player);
    return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, parameters, nullptr, nullptr, nullptr);
}

// Takes the WM_CLOSE an FSCommand posts; with no window yet it goes to the thread's queue.
bool TakeClose() {
    MSG message{};
    return PeekMessageW(&message, reinterpret_cast<HWND>(-1), WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
}

class FlashWnd : public ::testing::Test {
protected:
    void SetUp() override { OleInitialize(nullptr); }
    void TearDown() override { OleUninitialize(); }
};

TEST_F(FlashWnd, ClosesOnAnyFSCommandWithTwoStringsAndOnNothingElse) {
    CFlashWnd player;
    TakeClose();
    EXPECT_EQ(Fire(player, 150, Arguments().String(L"quit").String(L"").get()), S_OK);
    EXPECT_TRUE(TakeClose());
    EXPECT_EQ(Fire(player, 150, Arguments().String(L"anything").String(L"at all").get()), S_OK);
    EXPECT_TRUE(TakeClose());

    EXPECT_EQ(Fire(player, 150, Arguments().String(L"quit").get()), S_OK);
    EXPECT_EQ(Fire(player, 150, Arguments().String(L"quit").Number(1).get()), S_OK);
    EXPECT_EQ(Fire(player, 150, Arguments().Number(1).String(L"quit").get()), S_OK);
    EXPECT_EQ(Fire(player, 150, Arguments().String(L"quit").String(L"").String(L"extra").get()),
              S_OK);
    EXPECT_EQ(Fire(player, 150, nullptr), S_OK);
    EXPECT_FALSE(TakeClose());
}

TEST_F(FlashWnd, AnswersTheOtherEventsAndRefusesUnknownOnes) {
    CFlashWnd player;
    EXPECT_EQ(Fire(player, -609, Arguments().Number(4).get()), S_OK);
    EXPECT_EQ(Fire(player, 197, Arguments().String(L"<invoke/>").get()), S_OK);
    EXPECT_EQ(Fire(player, 197, Arguments().get()), S_OK);
    EXPECT_EQ(Fire(player, 197, nullptr), S_OK);
    EXPECT_EQ(Fire(player, 1958, Arguments().Number(75).get()), S_OK);
    EXPECT_EQ(Fire(player, 1958, nullptr), S_OK);
    EXPECT_EQ(Fire(player, 151, Arguments().get()), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Fire(player, 0, nullptr), DISP_E_MEMBERNOTFOUND);
    EXPECT_FALSE(TakeClose());

    IDispatch* sink = static_cast<_IShockwaveFlashEvents*>(&player);
    UINT count = 7;
    EXPECT_EQ(sink->GetTypeInfoCount(&count), E_NOTIMPL);
    EXPECT_EQ(sink->GetTypeInfo(0, 0, nullptr), E_NOTIMPL);
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, nullptr, 0, 0, nullptr), E_NOTIMPL);
}

TEST_F(FlashWnd, GivesItsSinkAndServiceProviderButNotIDispatch) {
    CFlashWnd player;
    void* object = nullptr;
    ASSERT_EQ(player.QueryInterface(DIID__IShockwaveFlashEvents, &object), S_OK);
    EXPECT_EQ(object, static_cast<_IShockwaveFlashEvents*>(&player));
    ASSERT_EQ(player.QueryInterface(IID_IServiceProvider, &object), S_OK);
    EXPECT_EQ(object, static_cast<IServiceProvider*>(&player));
    EXPECT_EQ(player.QueryInterface(IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(player.QueryInterface(IID_IOleClientSite, &object), E_NOINTERFACE);
    ASSERT_EQ(player.QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<IOleClientSite*>(&player));
    EXPECT_EQ(player.AddRef(), 4u) << "one count for every interface handed out";
    EXPECT_EQ(player.Release(), 3u);
}

TEST_F(FlashWnd, LendsOneDirectDrawObjectForTheDirectDraw3ServiceOnly) {
    CFlashWnd player;
    IServiceProvider* services = &player;
    void* untouched = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(services->QueryService(IID_IOleObject, IID_IOleObject, &untouched), E_NOINTERFACE);
    EXPECT_EQ(untouched, reinterpret_cast<void*>(0x1234));

    IUnknown* first = nullptr;
    IUnknown* second = nullptr;
    ASSERT_EQ(services->QueryService(flashplayer::kDirectDraw3Service, IID_IUnknown,
                                     reinterpret_cast<void**>(&first)),
              S_OK);
    ASSERT_EQ(services->QueryService(flashplayer::kDirectDraw3Service, IID_IOleObject,
                                     reinterpret_cast<void**>(&second)),
              S_OK);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second) << "made once and kept";
    first->Release();
    second->Release();
}

class FlashWndWithControl : public FlashWnd {
protected:
    void SetUp() override {
        FlashWnd::SetUp();
        host = std::make_unique<StandInHost>();
        ASSERT_TRUE(*host);
        movie = folder.path() / "movie.swf";
        std::ofstream(movie, std::ios::binary)
            << std::ifstream(DEMO_MOVIE, std::ios::binary).rdbuf();
    }
    void TearDown() override {
        host.reset();
        FlashWnd::TearDown();
    }

    bool Open(TestFlashWnd& player, bool closeSound) {
        player.SetMovie(movie.wstring(), closeSound);
        return player.Create(CLSID_ShockwaveFlash, kLayered, kPopup, nullptr,
                             GetModuleHandleW(nullptr), 300, 200);
    }

    // The calls the player makes, in the order the control received them.
    std::vector<std::string> PlayerCalls() const {
        static const char* const kCalls[] = {
            "FlashVersion", "FindConnectionPoint", "Advise",       "put_",
            "DoVerb",       "LoadMovie",           "CallFunction", "Play"};
        std::vector<std::string> calls;
        for (const std::string& line : host->Log())
            for (const char* call : kCalls)
                if (line.compare(0, std::char_traits<char>::length(call), call) == 0)
                    // The movie's path differs from run to run.
                    calls.push_back(line.compare(0, 9, "LoadMovie") == 0 ? line.substr(0, 11)
                                                                         : line);
        return calls;
    }

    testsupport::ScratchFolder folder{"flashwnd"};
    std::filesystem::path movie;
    std::unique_ptr<StandInHost> host;
};

TEST_F(FlashWndWithControl, SetsTheControlUpInOrderAroundTheShowVerb) {
    PlayerPtr player(new TestFlashWnd);
    ASSERT_TRUE(Open(*player, true));
    EXPECT_FALSE(player->doublesRender()) << "version 32";
    EXPECT_NE(player->cookie(), 0u);
    const std::vector<std::string> expected{"FlashVersion 0x002001D1",
                                            "FindConnectionPoint _IShockwaveFlashEvents",
                                            "Advise -> 0x00000000",
                                            "put_WMode transparent",
                                            "put_Scale noScale",
                                            "put_BackgroundColor 0",
                                            "put_EmbedMovie 0",
                                            "DoVerb -1",
                                            "put_EmbedMovie 1",
                                            "LoadMovie 0",
                                            "CallFunction <invoke name=\"closesound\"><arguments>"
                                            "<string>1</string></arguments></invoke>",
                                            "put_Loop 0",
                                            "Play"};
    EXPECT_EQ(PlayerCalls(), expected);
    EXPECT_EQ(host->Count("QueryService IDirectDraw3 -> an object"), 1);
    EXPECT_TRUE(IsWindowVisible(player->window())) << "shown again before Play";

    player.reset();
    const std::vector<std::string> log = host->Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3], "Unadvise 1");
    EXPECT_EQ(log[log.size() - 2], "Close 1");
    EXPECT_EQ(log.back(), "destroyed");
}

TEST_F(FlashWndWithControl, Version8RendersTwiceAndCloseSoundOffCallsNothing) {
    StandInHost::SetOption(L"VERSION", L"8");
    PlayerPtr player(new TestFlashWnd);
    ASSERT_TRUE(Open(*player, false));
    EXPECT_TRUE(player->doublesRender());
    EXPECT_EQ(host->Count("CallFunction"), 0);
    EXPECT_EQ(host->Count("Play"), 1);
}

// The whole player from its command line: the close-sound field turns the call on when it is
// exactly 1; any other number leaves it off. Each run ends at its one-second time limit.
TEST_F(FlashWndWithControl, CloseSoundNeedsExactlyOne) {
    for (const auto& [field, calls] :
         {std::pair{L"1", 1}, std::pair{L"2", 0}, std::pair{L"-1", 0}, std::pair{L"0", 0}}) {
        const int loads = host->Count("LoadMovie");
        const int before = host->Count("CallFunction");
        flashplayer::RunPlayer(GetModuleHandleW(nullptr),
                               movie.wstring() + L";1;0;" + field + L";1;300;200");
        const std::string name(field, field + wcslen(field));
        ASSERT_EQ(host->Count("LoadMovie"), loads + 1) << name << ": the movie was not played";
        EXPECT_EQ(host->Count("CallFunction") - before, calls) << "close-sound field " << name;
    }
}

TEST_F(FlashWndWithControl, AFailingSettingEndsCreateButARefusedCloseSoundDoesNot) {
    for (const wchar_t* method :
         {L"FlashVersion", L"put_WMode", L"put_Scale", L"put_BackgroundColor", L"put_EmbedMovie",
          L"LoadMovie", L"Play"}) {
        StandInHost::SetOption(L"FAIL", method);
        PlayerPtr player(new TestFlashWnd);
        EXPECT_FALSE(Open(*player, true))
            << "failing " << std::string(method, method + wcslen(method));
    }
    for (const wchar_t* method : {L"CallFunction", L"put_Loop"}) {
        StandInHost::SetOption(L"FAIL", method);
        PlayerPtr player(new TestFlashWnd);
        EXPECT_TRUE(Open(*player, true));
    }
}

TEST(MoviePath, APathIsTakenAsItIsAndABareNameIsSearched) {
    testsupport::ScratchFolder current("current");
    testsupport::ScratchFolder program("program");
    std::ofstream(current.path() / "both.swf") << "x";
    std::ofstream(program.path() / "both.swf") << "x";
    std::ofstream(program.path() / "program.swf") << "x";
    const std::wstring here = current.wide();
    const std::wstring there = program.wide();

    EXPECT_EQ(flashplayer::ResolveMoviePath(L"C:\\nowhere\\x.swf", here, there),
              L"C:\\nowhere\\x.swf")
        << "not tested for existence";
    EXPECT_EQ(flashplayer::ResolveMoviePath(L"both.swf", here, there), here + L"\\both.swf");
    EXPECT_EQ(flashplayer::ResolveMoviePath(L"program.swf", here, there), there + L"\\program.swf");
    EXPECT_EQ(flashplayer::ResolveMoviePath(L"none.swf", here, there), std::nullopt);
}

TEST(MoviePath, APlaceTooLongForAPathIsPassedOverNotCut) {
    testsupport::ScratchFolder program("program");
    std::ofstream(program.path() / "movie.swf") << "x";
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'd');
    EXPECT_EQ(flashplayer::ResolveMoviePath(L"movie.swf", tooLong, program.wide()),
              program.wide() + L"\\movie.swf");
    EXPECT_EQ(flashplayer::ResolveMoviePath(L"movie.swf", tooLong, tooLong), std::nullopt);
    // Just fitting: 259 characters and the terminating NUL.
    const std::wstring name = std::wstring(259 - program.wide().size() - 1, L'n');
    std::ofstream(program.path() / name) << "x";
    EXPECT_EQ(flashplayer::ResolveMoviePath(name, L"", program.wide()),
              program.wide() + L"\\" + name);
}

TEST(MoviePath, KnowsTheCurrentDirectoryAndTheProgramsFolder) {
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(flashplayer::CurrentDirectory(), current);
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder = program;
    folder.resize(folder.rfind(L'\\'));
    EXPECT_EQ(flashplayer::ProgramFolder(), folder);
}

} // namespace

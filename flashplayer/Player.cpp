#include "flashplayer/Player.h"

#include "flashplayer/FlashWnd.h"
#include "flashplayer/MoviePath.h"
#include "flashplayer/PlayerCommandLine.h"

#include <cstdint>
#include <memory>

namespace flashplayer {

namespace {

constexpr DWORD kPlayerExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW;
constexpr DWORD kPlayerStyle = WS_POPUP | WS_VISIBLE;

// OLE for the player's thread; its result is not looked at, as a control that needs OLE fails
// on its own without it.
class OleSession {
public:
    OleSession() { OleInitialize(nullptr); }
    ~OleSession() { OleUninitialize(); }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
};

// Runs until the quit message or, with a time limit, until the first message dispatched after
// the limit. The limit is therefore only looked at when a message comes.
int RunMessageLoop(bool timeLimitOn, int timeLimitSeconds, DWORD start) {
    // In milliseconds, wide enough that no limit of seconds overflows.
    const std::uint64_t limit = static_cast<std::uint64_t>(timeLimitSeconds) * 1000;
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 0;
        TranslateMessage(&message);
        DispatchMessageW(&message);
        const DWORD elapsed = GetTickCount() - start;
        if (timeLimitOn && elapsed > limit)
            return static_cast<int>(message.wParam);
    }
}

} // namespace

int RunPlayer(HINSTANCE instance, const std::wstring& commandLineTail) {
    const PlayerCommandLine commandLine = ParseCommandLine(TrimCommandLine(commandLineTail));
    if (!HasUsableMovieName(commandLine))
        return 0;
    const int timeLimitSeconds = EffectiveTimeLimitSeconds(commandLine);

    const std::optional<std::wstring> moviePath = ResolveMoviePath(commandLine.movie);
    if (!moviePath) {
        ShowMovieNotFound(commandLineTail);
        return 0;
    }

    const OleSession ole;
    int status = 0;
    {
        auto player = std::make_unique<CFlashWnd>();
        player->SetMovie(*moviePath, commandLine.closeSoundOn == 1);
        // Handle values are 32-bit and sign-extended on 64-bit Windows.
        const HWND owner =
            reinterpret_cast<HWND>(static_cast<std::intptr_t>(commandLine.ownerWindow));
        const bool created = player->Create(CLSID_ShockwaveFlash, kPlayerExStyle, kPlayerStyle,
                                            owner, instance, commandLine.width, commandLine.height);
        const DWORD start = GetTickCount();
        if (created)
            status = RunMessageLoop(commandLine.timeLimitOn != 0, timeLimitSeconds, start);
        // The window still points at the player object; it must not outlive it.
        if (IsWindow(player->window()))
            DestroyWindow(player->window());
    }
    return status;
}

} // namespace flashplayer

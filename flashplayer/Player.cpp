#include "flashplayer/Player.h"

#include "flashplayer/FlashWnd.h"
#include "flashplayer/MoviePath.h"
#include "flashplayer/PlayerCommandLine.h"
#include "flashplayer/PlayerNames.h"
#include "win32/ComSession.h"

#include <cstdint>
#include <memory>

namespace flashplayer {

namespace {

constexpr DWORD kPlayerExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW;
constexpr DWORD kPlayerStyle = WS_POPUP | WS_VISIBLE;

// Tells the user that the movie is missing, quoting the command-line tail as it was received,
// and returns once the message is dismissed.
void ShowMovieNotFound(const std::wstring& commandLineTail) {
    const std::wstring text = kMovieNotFoundText + commandLineTail;
    MessageBoxW(nullptr, text.c_str(), kMovieNotFoundCaption, MB_OK);
}

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

    // A control that needs OLE fails on its own without it.
    const win32::ComSession ole(win32::ComSession::With::Ole);
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

#include "flashplayer/Player.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR commandLineTail,
                    int /*show*/) {
    try {
        return flashplayer::RunPlayer(instance, commandLineTail ? commandLineTail : L"");
    } catch (...) {
        // Out of memory for a command line or a path: nothing was shown, nothing to report.
        return 0;
    }
}

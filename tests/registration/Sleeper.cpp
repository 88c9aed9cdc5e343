#include <windows.h>

// A process that does nothing for a bounded time, so a test that forgets it cannot leave it
// running for long. Ending on its own gives an exit code a termination with 0 cannot be
// mistaken for.
namespace {
constexpr DWORD kLifetimeMilliseconds = 60000;
constexpr int kExitedOnItsOwn = 7;
} // namespace

int main() {
    Sleep(kLifetimeMilliseconds);
    return kExitedOnItsOwn;
}

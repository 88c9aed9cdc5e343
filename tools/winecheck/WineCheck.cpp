// Shows that a cross-built program runs: prints the ANSI code page, a Chinese text converted
// through it, and the staging folder the installer would use.
#include "installer/FolderUtils.h"
#include "installer/TextConversion.h"

#include <windows.h>

#include <cstdio>

int main() {
    const std::wstring greeting = L"安装程序 Orvia";
    const std::string ansi = WideToAnsi(greeting);
    const bool roundTrip = AnsiToWide(ansi) == greeting;
    std::printf("code page: %u\n", GetACP());
    std::printf("round trip through the code page: %s\n", roundTrip ? "ok" : "FAILED");
    std::printf("staging folder: %s\n", TempFolderPath("Orvia").c_str());
    return roundTrip ? 0 : 1;
}

#pragma once

#include <cstddef>

// Fixed values of the player: command-line defaults, the texts it shows and writes, and what
// it says to the movie.
namespace flashplayer {

// Command line.
constexpr wchar_t kFieldSeparator[] = L";";
constexpr std::size_t kCommandLineFields = 7;
constexpr std::size_t kMinimumMovieNameLength = 4;
constexpr int kDefaultTimeLimitSeconds = 10;
constexpr int kDefaultWindowSize = 400;

// The message box for a bare movie name found nowhere; the command-line tail follows the text.
constexpr wchar_t kMovieNotFoundText[] = L"file not found !";
constexpr wchar_t kMovieNotFoundCaption[] = L"error";

// Lines written to the debugger output.
constexpr wchar_t kTraceButtonDown[] = L"WM_LBUTTONDOWN\n";
constexpr wchar_t kTraceMouseMove[] = L"WM_MOUSEMOVE\n";
constexpr wchar_t kTraceButtonUp[] = L"WM_LBUTTONUP\n";
constexpr wchar_t kTraceClose[] = L"WM_CLOSE\n";
constexpr wchar_t kTraceFlashCall[] = L"FlashState_Complete\n";
constexpr wchar_t kTraceProgressFormat[] = L"progress %d\n";

// Settings given to the Flash control.
constexpr wchar_t kTransparentWindowMode[] = L"transparent";
constexpr wchar_t kNoScale[] = L"noScale";
constexpr wchar_t kCloseSoundRequest[] =
    L"<invoke name=\"closesound\"><arguments><string>1</string></arguments></invoke>";
// FlashVersion keeps the major version in bits 16-23; version 8 cannot separate its own alpha.
constexpr long kFlashMajorVersionMask = 0x00FF0000;
constexpr long kFlashVersion8 = 0x00080000;

} // namespace flashplayer

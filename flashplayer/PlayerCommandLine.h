#pragma once

#include <string>

namespace flashplayer {

// What the chat client asks for, from one ";"-separated command line such as
// "intro.swf;1;0;1;5;300;200". Every number field keeps the value given, 0 or negative included,
// until the start-up replaces those that have a default.
struct PlayerCommandLine {
    std::wstring movie;      // bare file name or path; empty when the line had too few fields
    int timeLimitOn{0};      // nonzero: the program ends once timeLimitSeconds have passed
    int ownerWindow{0};      // decimal value of the owner window's handle; 0 = no owner
    int closeSoundOn{0};     // exactly 1: call the movie's closesound function once loaded
    int timeLimitSeconds{0}; // seconds; 0 or negative stands for the default
    int width{0};            // pixels; 0 or negative stands for the default
    int height{0};           // pixels; 0 or negative stands for the default
};

// The command-line tail without the white space at either end, as the C library's wide-character
// classification (iswspace) sees white space.
std::wstring TrimCommandLine(const std::wstring& tail);

// Splits the trimmed line at every ";", keeping empty fields. With fewer than seven fields
// nothing is taken over; fields past the seventh are ignored. A window size of 0 or less becomes
// the default size either way.
PlayerCommandLine ParseCommandLine(const std::wstring& trimmed);

// A movie field shorter than this cannot name an SWF file: the player ends without a word.
bool HasUsableMovieName(const PlayerCommandLine& commandLine);

// The time limit in force once the movie is known to be usable: 0 or less becomes the default.
int EffectiveTimeLimitSeconds(const PlayerCommandLine& commandLine);

// A number field read like the C library's wcstol in base 10 would: leading white space and a
// sign accepted, reading stops at the first non-digit, no digits give 0. Values beyond the int
// range saturate instead of overflowing.
int ParseNumberField(const std::wstring& field);

} // namespace flashplayer

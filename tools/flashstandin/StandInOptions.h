#pragma once

#include <string>

namespace flashstandin {

// How a stand-in control behaves, read from the environment when the control is created, so
// that each test process chooses its own without touching the shared registration:
//
//   ORVIA_FLASHSTANDIN_LOG            file the control appends one line per call to (UTF-8)
//   ORVIA_FLASHSTANDIN_VERSION        major version FlashVersion reports (default 32);
//                                     8 draws like Flash 8, which leaves the alpha bytes alone
//   ORVIA_FLASHSTANDIN_FAIL           name of one method (e.g. put_Scale) that returns E_FAIL;
//                                     CreateInstance makes the class factory fail instead
//   ORVIA_FLASHSTANDIN_NO_WINDOWLESS  1: no IOleInPlaceObjectWindowless, like a windowed control
//   ORVIA_FLASHSTANDIN_NO_VIEWEX      1: no IViewObjectEx, only IViewObject
struct StandInOptions {
    static StandInOptions FromEnvironment();

    std::wstring logPath; // empty: no log
    int majorVersion{32};
    std::wstring failingMethod; // empty: none fails
    bool windowless{true};
    bool viewObjectEx{true};
};

// The FlashVersion value for a major version: major in bits 16-23, a build number below.
long FlashVersionValue(int majorVersion);

// Appends one line to the log file; nothing when there is no log.
void AppendLog(const std::wstring& path, const std::wstring& line);

// A value as the log shows it: 0x and eight hexadecimal digits.
std::wstring LogHex(long value);

} // namespace flashstandin

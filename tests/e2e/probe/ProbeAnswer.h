#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The probe's answers: one line each, "ok" or "error" and then tab-separated key=value fields,
// with tabs, line ends and backslashes inside values written as \t, \n and \\.
namespace e2eprobe {

using Fields = std::vector<std::wstring>;

class Answer {
public:
    Answer& Add(const std::wstring& key, const std::wstring& value);
    Answer& Add(const std::wstring& key, long long value);
    Answer& Add(const std::wstring& key, HWND window);
    std::wstring Line(bool ok) const { return (ok ? L"ok" : L"error") + m_text; }

private:
    std::wstring m_text;
};

struct Result {
    bool ok = true;
    Answer answer;
};

Result Fail(const std::wstring& why);

// Writes one answer line to standard output, UTF-8, and flushes it.
void Print(const Result& result);

// Runs each command line of standard input (UTF-8, fields separated by tabs) through `run` and
// prints its answer, until the input ends.
void AnswerCommandLines(Result (*run)(const Fields& fields));

// A window handle as the answers write it (a decimal number).
HWND ParseWindow(const std::wstring& text);

} // namespace e2eprobe

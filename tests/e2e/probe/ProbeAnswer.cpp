#include "tests/e2e/probe/ProbeAnswer.h"

#include "win32/Utf8.h"

#include <cstdio>
#include <cwchar>
#include <iostream>

namespace e2eprobe {

namespace {

std::wstring Escape(const std::wstring& text) {
    std::wstring result;
    for (wchar_t c : text) {
        if (c == L'\\')
            result += L"\\\\";
        else if (c == L'\t')
            result += L"\\t";
        else if (c == L'\n')
            result += L"\\n";
        else if (c == L'\r')
            result += L"\\r";
        else
            result += c;
    }
    return result;
}

Fields Split(const std::string& line) {
    Fields fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(
            win32::FromUtf8(line.substr(start, tab == std::string::npos ? tab : tab - start)));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

} // namespace

Answer& Answer::Add(const std::wstring& key, const std::wstring& value) {
    m_text += L'\t' + key + L'=' + Escape(value);
    return *this;
}

Answer& Answer::Add(const std::wstring& key, long long value) {
    return Add(key, std::to_wstring(value));
}

Answer& Answer::Add(const std::wstring& key, HWND window) {
    return Add(key, static_cast<long long>(reinterpret_cast<UINT_PTR>(window)));
}

Result Fail(const std::wstring& why) {
    Result result;
    result.ok = false;
    result.answer.Add(L"why", why);
    return result;
}

void Print(const Result& result) {
    const std::string line = win32::ToUtf8(result.answer.Line(result.ok)) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void AnswerCommandLines(Result (*run)(const Fields& fields)) {
    for (std::string line; std::getline(std::cin, line);) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (!line.empty())
            Print(run(Split(line)));
    }
}

HWND ParseWindow(const std::wstring& text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(text.c_str(), nullptr, 0)));
}

} // namespace e2eprobe

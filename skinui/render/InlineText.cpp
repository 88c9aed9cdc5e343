#include "skinui/render/InlineText.h"

#include "skinui/markup/ValueSyntax.h"
#include "skinui/render/RenderEngine.h"
#include "skinui/render/TextStyle.h"
#include "skinui/resources/WideText.h"
#include "win32/GdiObject.h"

#include <algorithm>

namespace skinui {
namespace {

struct Run {
    std::wstring text;
    DWORD color = 0;
    int link = -1; // -1 = plain text
    bool lineBreak = false;
};

std::vector<Run> ParseRuns(const std::wstring& text, DWORD baseColor, DWORD linkColor) {
    std::vector<Run> runs;
    std::vector<DWORD> colors{baseColor};
    int link = -1;
    int links = 0;
    Run current{{}, baseColor, -1, false};
    auto flush = [&] {
        if (!current.text.empty())
            runs.push_back(current);
        current.text.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'<') {
            if (text[i] == L'\n') {
                flush();
                runs.push_back({{}, 0, -1, true});
            } else {
                current.text += text[i];
            }
            continue;
        }
        const size_t end = text.find(L'>', i);
        if (end == std::wstring::npos) {
            current.text += text.substr(i);
            break;
        }
        const std::wstring tag = text.substr(i + 1, end - i - 1);
        i = end;
        flush();
        if (tag == L"n") {
            runs.push_back({{}, 0, -1, true});
        } else if (tag == L"a" || tag.compare(0, 2, L"a ") == 0) {
            link = links++;
        } else if (tag == L"/a") {
            link = -1;
        } else if (tag.compare(0, 2, L"c ") == 0) {
            colors.push_back(markup::ParseColor(resources::ToU16(tag.substr(2))));
        } else if (tag == L"/c" && colors.size() > 1) {
            colors.pop_back();
        }
        current.link = link;
        current.color = link >= 0 ? linkColor : colors.back();
    }
    flush();
    return runs;
}

// Splits a run into words, each keeping its trailing spaces, so lines break between words.
std::vector<std::wstring> Words(const std::wstring& text) {
    std::vector<std::wstring> words;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L' ', start);
        end = end == std::wstring::npos ? text.size() : text.find_first_not_of(L' ', end);
        if (end == std::wstring::npos)
            end = text.size();
        words.push_back(text.substr(start, end - start));
        start = end;
    }
    return words;
}

} // namespace

std::vector<InlineLink> DrawInlineText(HDC dc, const RECT& rc, const std::wstring& text,
                                       DWORD color, HFONT font, LONG fontHeight, DWORD linkColor,
                                       UINT style) {
    std::vector<InlineLink> links;
    const bool wrap = (style & kTextWordBreak) != 0;
    const LONG lineHeight = fontHeight > 0 ? fontHeight : 12;
    const win32::SelectObjectScope selected(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(dc);
    LONG x = rc.left;
    LONG y = rc.top;
    for (const Run& run : ParseRuns(text, color, linkColor)) {
        if (run.lineBreak) {
            if (!wrap)
                break;
            x = rc.left;
            y += lineHeight;
            continue;
        }
        SetTextColor(dc, render::ToColorRef(run.color));
        for (const std::wstring& word : Words(run.text)) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, word.c_str(), static_cast<int>(word.size()), &extent);
            if (wrap && x > rc.left && x + extent.cx > rc.right) {
                x = rc.left;
                y += lineHeight;
            }
            if (y >= rc.bottom)
                break;
            ExtTextOutW(dc, x, y, ETO_CLIPPED, &rc, word.c_str(), static_cast<UINT>(word.size()),
                        nullptr);
            if (run.link >= 0 && links.size() < kMaxInlineLinks)
                links.push_back(
                    {{x, y, std::min(x + extent.cx, rc.right), y + lineHeight}, run.link});
            x += extent.cx;
        }
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    return links;
}

} // namespace skinui

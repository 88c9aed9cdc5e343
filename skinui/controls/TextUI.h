#pragma once

#include "skinui/controls/LabelUI.h"

#include <vector>

namespace skinui {

// A multi-line label: word break by default, drawn with its own style; with show-HTML its
// links show the hand cursor and report "link" (wParam = link number) when clicked.
class CTextUI : public CLabelUI {
public:
    static constexpr const wchar_t* kClassName = L"TextUI";
    static constexpr const wchar_t* kInterfaceName = L"Text";

    CTextUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void DoEvent(UiEvent& event) override;
    void PaintText(HDC dc) override;

    int GetLinkCount() const { return static_cast<int>(m_links.size()); }

private:
    // Index of the link under pt, or -1.
    int LinkAt(POINT pt) const;

    std::vector<RECT> m_links; // as last painted
};

} // namespace skinui

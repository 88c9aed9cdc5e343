#pragma once

#include "skinui/controls/OptionUI.h"

namespace skinui {

// An option with a second image layer over its state image that also follows the state
// (disabled, pushed, hot, else normal; a missing state image falls back to the normal one).
class COptionExUI : public COptionUI {
public:
    static constexpr const wchar_t* kClassName = L"OptionExUI";
    static constexpr const wchar_t* kInterfaceName = L"OptionEx";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;

private:
    std::wstring m_foreNormalImage;
    std::wstring m_foreHotImage;
    std::wstring m_forePushedImage;
    std::wstring m_foreDisabledImage;
};

} // namespace skinui

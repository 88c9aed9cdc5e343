#pragma once

#include "skinui/controls/LabelUI.h"

namespace skinui {

// A bar whose fore image fills the share of the control that the value takes of the range,
// with the text drawn over it.
class CProgressUI : public CLabelUI {
public:
    static constexpr const wchar_t* kClassName = L"ProgressUI";
    static constexpr const wchar_t* kInterfaceName = L"Progress";

    CProgressUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;

    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal);
    bool IsStretchForeImage() const { return m_stretchForeImage; }
    void SetStretchForeImage(bool stretch);
    int GetMinValue() const { return m_min; }
    void SetMinValue(int min);
    int GetMaxValue() const { return m_max; }
    void SetMaxValue(int max);
    int GetValue() const { return m_value; }
    // Ignored when the value lies outside [minimum, maximum] or equals the current one.
    void SetValue(int value);
    const std::wstring& GetForeImage() const { return m_foreImage; }
    void SetForeImage(const std::wstring& descriptor);

protected:
    // The filled part relative to the control's top left corner, with the range rules.
    RECT FilledRect() const;

    bool m_horizontal = true;
    bool m_stretchForeImage = true;
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
    std::wstring m_foreImage;
};

} // namespace skinui

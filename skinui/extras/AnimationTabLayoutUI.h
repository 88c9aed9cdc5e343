#pragma once

#include "skinui/layouts/TabLayoutUI.h"

namespace skinui {

// A tab layout whose newly selected page slides in, from the right or (with
// animation_direction="vertical") from below.
class CAnimationTabLayoutUI : public CTabLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"AnimationTabLayoutUI";
    static constexpr const wchar_t* kInterfaceName = L"AnimationTabLayout";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    bool IsVerticalDirection() const { return m_vertical; }
    bool IsAnimating() const { return m_step < kAnimationSteps; }

    static constexpr int kAnimationSteps = 10;

private:
    bool m_vertical = false;
    int m_shownSel = -1; // the selection the last layout saw
    int m_step = kAnimationSteps;
};

} // namespace skinui

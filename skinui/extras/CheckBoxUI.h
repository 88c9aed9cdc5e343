#pragma once

#include "skinui/controls/OptionUI.h"

namespace skinui {

// An option whose selection reads as a tick: it toggles on each click unless given a group.
class CCheckBoxUI : public COptionUI {
public:
    static constexpr const wchar_t* kClassName = L"CheckBoxUI";
    static constexpr const wchar_t* kInterfaceName = L"CheckBox";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check) { Selected(check); }
};

} // namespace skinui

#pragma once

#include "skinui/core/ContainerUI.h"

namespace skinui {

// Shows one child at a time; the others are hidden.
class CTabLayoutUI : public CContainerUI {
public:
    static constexpr const wchar_t* kClassName = L"TabLayoutUI";
    static constexpr const wchar_t* kInterfaceName = L"TabLayout";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    bool AddAt(CControlUI* control, int index) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    void SetPos(RECT rc) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    int GetCurSel() const { return m_curSel; }
    bool SelectItem(int index);
    bool SelectItem(CControlUI* control);

private:
    int m_curSel = -1; // -1 = no selection
};

} // namespace skinui

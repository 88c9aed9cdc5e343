#pragma once

#include "skinui/core/ContainerUI.h"
#include "skinui/layouts/LayoutSeparator.h"

namespace skinui {

class CVerticalLayoutUI : public CContainerUI {
public:
    static constexpr const wchar_t* kClassName = L"VerticalLayoutUI";
    static constexpr const wchar_t* kInterfaceName = L"VerticalLayout";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
    UINT GetControlFlags() const override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void DoPostPaint(HDC dc, const RECT& paint) override;

private:
    LayoutSeparator m_separator{true};
};

} // namespace skinui

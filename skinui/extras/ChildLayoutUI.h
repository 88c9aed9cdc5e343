#pragma once

#include "skinui/core/ContainerUI.h"

namespace skinui {

// A container whose children come from another markup file of the skin (xmlfile).
class CChildLayoutUI : public CContainerUI {
public:
    static constexpr const wchar_t* kClassName = L"ChildLayoutUI";
    static constexpr const wchar_t* kInterfaceName = L"ChildLayout";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void DoInit() override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    std::wstring GetChildLayoutXml() const { return m_xmlFile; }
    void SetChildLayoutXml(const std::wstring& file);

private:
    // Builds the file's controls into this container, once.
    void BuildChildren();

    std::wstring m_xmlFile;
    bool m_built = false;
};

} // namespace skinui

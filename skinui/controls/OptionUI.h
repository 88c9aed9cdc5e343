#pragma once

#include "skinui/controls/ButtonUI.h"

namespace skinui {

// A button with a selected state. Options of one group (through the window's option-group
// table) are radio buttons; an option without a group toggles.
class COptionUI : public CButtonUI {
public:
    static constexpr const wchar_t* kClassName = L"OptionUI";
    static constexpr const wchar_t* kInterfaceName = L"Option";

    COptionUI();
    ~COptionUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetManager(SkinWindowManager* manager, CControlUI* parent, bool init = true) override;
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    bool IsSelected() const { return m_selected; }
    // Sends "selectchanged" even when the value does not change, except when an option of a
    // group is cleared: that only repaints.
    virtual void Selected(bool selected);
    const std::wstring& GetGroup() const { return m_group; }
    void SetGroup(const std::wstring& group);
    void SetSelectedImage(const std::wstring& descriptor);
    void SetSelectedBkColor(DWORD color) { m_selectedBkColor = color; }
    void SetSelectedTextColor(DWORD color) { m_selectedTextColor = color; }

protected:
    // Draws the option's state image; the fore image comes after it.
    void PaintOptionState(HDC dc);

    bool m_selected = false;
    std::wstring m_group;
    std::wstring m_selectedImage;
    std::wstring m_selectedHotImage;
    std::wstring m_selectedPushedImage;
    std::wstring m_selectedForeImage;
    DWORD m_selectedBkColor = 0;
    DWORD m_selectedTextColor = 0;
};

} // namespace skinui

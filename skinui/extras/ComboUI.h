#pragma once

#include "skinui/core/ContainerUI.h"
#include "skinui/extras/ComboWnd.h"
#include "skinui/extras/ListInfo.h"

namespace skinui {

// A field showing the selected one of its list items. A click, Alt+Down or F4 opens the
// drop-down listing the items (after reporting "dropdown", so a handler may still fill it);
// picking one there, or the arrow keys and the wheel on the closed field, move the selection
// ("itemselect"). The items are kept but not laid out inside the field.
class CComboUI : public CContainerUI, public IListOwnerUI, private IComboDropOwner {
public:
    static constexpr const wchar_t* kClassName = L"ComboUI";
    static constexpr const wchar_t* kInterfaceName = L"Combo";

    ~CComboUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    std::wstring GetText() const override;
    bool AddAt(CControlUI* control, int index) override;
    bool Add(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    void SetPos(RECT rc) override;
    void DoInit() override;
    void DoEvent(UiEvent& event) override;
    SIZE EstimateSize(SIZE available) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void DoPaint(HDC dc, const RECT& paint) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;
    CControlUI* FindControl(const FindControlProc& proc, void* data, UINT flags) override;

    const ListInfo& GetListInfo() const override { return m_listInfo; }
    int GetCurSel() const override { return m_curSel; }
    bool SelectItem(int index) override;
    CControlUI* GetHeader() const override { return nullptr; }
    void OnItemClicked(CControlUI* item, bool activated) override;

    std::wstring GetDropBoxAttributeList() const override { return m_dropBoxAttributes; }
    SIZE GetDropBoxSize() const override { return m_dropBoxSize; }

    // Opens the drop-down; false when it is open already, the combo is disabled or outside a
    // window, or the pop-up cannot be made.
    bool ShowDropDown();
    void CloseDropDown();
    bool IsDroppedDown() const { return m_dropDown != nullptr; }
    // The pop-up while it is open.
    CComboWnd* GetDropDown() const { return m_dropDown; }

private:
    CControlUI* DropOwnerControl() override { return this; }
    const std::vector<CControlUI*>& Items() const override { return m_items; }
    void OnDropDownClosed(CComboWnd* dropDown) override;

public:
protected:
    RECT m_textPadding{};
    bool m_hot = false;
    bool m_pushed = false;

private:
    void Reindex();

    ListInfo m_listInfo;
    int m_curSel = -1;
    CComboWnd* m_dropDown = nullptr;
    std::wstring m_dropBoxAttributes;
    SIZE m_dropBoxSize{0, 150};
    std::wstring m_normalImage;
    std::wstring m_hotImage;
    std::wstring m_pushedImage;
    std::wstring m_focusedImage;
    std::wstring m_disabledImage;
};

// A combo that draws an arrow image at its right end.
class CComboBoxUI : public CComboUI {
public:
    static constexpr const wchar_t* kClassName = L"ComboBoxUI";
    static constexpr const wchar_t* kInterfaceName = L"ComboBox";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;

private:
    std::wstring m_arrowImage;
};

} // namespace skinui

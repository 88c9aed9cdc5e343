#pragma once

#include "skinui/extras/ListInfo.h"
#include "skinui/layouts/HorizontalLayoutUI.h"

#include <vector>

namespace skinui {

// The selection and hot state every list item keeps, and how it reacts and paints.
struct ListItemState {
    IListOwnerUI* owner = nullptr;
    int index = -1;
    bool selected = false;
    bool hot = false;

    // Handles the mouse events of an item; true when the event was consumed.
    bool HandleEvent(CControlUI& item, UiEvent& event);
    // Repaints the item when its selection changes.
    void Select(CControlUI& item, bool select);
    // Fills the item with the owner's colour or image for its state.
    void PaintBackground(CControlUI& item, HDC dc);
    DWORD TextColor(const CControlUI& item) const;
};

// What every kind of list item adds to the control it is built on: the owner's selection on a
// click, the owner's colours and images for its state, and the selected attribute.
template <class Base> class CListItemUI : public Base, public IListItemUI {
public:
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintBkColor(HDC dc) override;

    IListOwnerUI* GetOwner() const override { return m_item.owner; }
    void SetOwner(IListOwnerUI* owner) override { m_item.owner = owner; }
    int GetIndex() const override { return m_item.index; }
    void SetIndex(int index) override { m_item.index = index; }
    bool IsSelected() const override { return m_item.selected; }
    void Select(bool select) override;

protected:
    ListItemState m_item;
};

extern template class CListItemUI<CControlUI>;
extern template class CListItemUI<CHorizontalLayoutUI>;

// An item of one text line.
class CListLabelElementUI : public CListItemUI<CControlUI> {
public:
    static constexpr const wchar_t* kClassName = L"ListLabelElementUI";
    static constexpr const wchar_t* kInterfaceName = L"ListLabelElement";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC dc) override;

protected:
    // The text rectangle less the owner's item padding.
    RECT ItemTextRect(RECT rc) const;
};

// An item with one text per header column; the text attribute is the first column.
class CListTextElementUI : public CListLabelElementUI {
public:
    static constexpr const wchar_t* kClassName = L"ListTextElementUI";
    static constexpr const wchar_t* kInterfaceName = L"ListTextElement";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void PaintText(HDC dc) override;

    std::wstring GetColumnText(int column) const;
    void SetColumnText(int column, const std::wstring& text);

private:
    std::vector<std::wstring> m_columns; // from the second column on
};

// An item that lays out child controls in a row.
class CListContainerElementUI : public CListItemUI<CHorizontalLayoutUI> {
public:
    static constexpr const wchar_t* kClassName = L"ListContainerElementUI";
    static constexpr const wchar_t* kInterfaceName = L"ListContainerElement";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
};

class CListContainerElementExUI : public CListContainerElementUI {
public:
    static constexpr const wchar_t* kClassName = L"ListContainerElementExUI";
    static constexpr const wchar_t* kInterfaceName = L"ListContainerElementEx";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
};

} // namespace skinui

#pragma once

#include "HorizontalLayoutUI.h"
#include "ListInfo.h"

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

// An item of one text line.
class CListLabelElementUI : public CControlUI, public IListItemUI {
public:
    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    bool Activate() override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintBkColor(HDC dc) override;
    void PaintText(HDC dc) override;

    IListOwnerUI* GetOwner() const override { return m_item.owner; }
    void SetOwner(IListOwnerUI* owner) override { m_item.owner = owner; }
    int GetIndex() const override { return m_item.index; }
    void SetIndex(int index) override { m_item.index = index; }
    bool IsSelected() const override { return m_item.selected; }
    void Select(bool select) override;

protected:
    // The text rectangle less the owner's item padding.
    RECT ItemTextRect(RECT rc) const;

    ListItemState m_item;
};

// An item with one text per header column; the text attribute is the first column.
class CListTextElementUI : public CListLabelElementUI {
public:
    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void PaintText(HDC dc) override;

    std::wstring GetColumnText(int column) const;
    void SetColumnText(int column, const std::wstring& text);

private:
    std::vector<std::wstring> m_columns; // from the second column on
};

// An item that lays out child controls in a row.
class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
public:
    const wchar_t* GetClass() const override;
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

class CListContainerElementExUI : public CListContainerElementUI {
public:
    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
};

} // namespace skinui

#pragma once

#include "skinui/extras/ListInfo.h"
#include "skinui/layouts/HorizontalLayoutUI.h"
#include "skinui/layouts/VerticalLayoutUI.h"

namespace skinui {

// A column header cell: its text, images for its state, and "headerclick" when clicked.
class CListHeaderItemUI : public CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"ListHeaderItemUI";
    static constexpr const wchar_t* kInterfaceName = L"ListHeaderItem";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void DoEvent(UiEvent& event) override;
    SIZE EstimateSize(SIZE available) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

private:
    bool m_hot = false;
    bool m_pushed = false;
    int m_font = -1;
    DWORD m_textColor = 0;
    UINT m_textStyle = DT_VCENTER | DT_SINGLELINE | DT_CENTER;
    RECT m_textPadding{};
    std::wstring m_normalImage;
    std::wstring m_hotImage;
    std::wstring m_pushedImage;
    std::wstring m_focusedImage;
    std::wstring m_sepImage;
};

// The row of column header cells at the top of a list.
class CListHeaderUI : public CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"ListHeaderUI";
    static constexpr const wchar_t* kInterfaceName = L"ListHeader";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    SIZE EstimateSize(SIZE available) override;
};

// A vertical list of items with one selection, an optional header, and the item… attributes
// that every item draws with.
class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
public:
    static constexpr const wchar_t* kClassName = L"ListUI";
    static constexpr const wchar_t* kInterfaceName = L"List";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    void DoInit() override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    const ListInfo& GetListInfo() const override { return m_listInfo; }
    int GetCurSel() const override { return m_curSel; }
    bool SelectItem(int index) override;
    CControlUI* GetHeader() const override { return m_header; }
    void OnItemClicked(CControlUI* item, bool activated) override;

    // Items only, the header not counted.
    int GetItemCount() const;
    CControlUI* GetListItemAt(int index) const;

protected:
    // Renumbers the items after a change of the child list.
    void Reindex();

    ListInfo m_listInfo;
    CControlUI* m_header = nullptr; // one of the children
    int m_curSel = -1;
    bool m_scrollSelect = false;
    // Header settings given before the header element itself is added.
    bool m_headerHidden = false;
    std::wstring m_headerBkImage;
};

} // namespace skinui

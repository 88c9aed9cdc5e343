#pragma once

#include <windows.h>

#include <string>

namespace skinui {

class CControlUI;

// How a list or a combo draws its items, set through the owner's item… attributes.
struct ListInfo {
    int font = -1;
    UINT textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT textPadding{};
    DWORD textColor = 0;
    DWORD bkColor = 0;
    std::wstring bkImage;
    DWORD selectedTextColor = 0;
    DWORD selectedBkColor = 0;
    std::wstring selectedImage;
    DWORD hotTextColor = 0;
    DWORD hotBkColor = 0;
    std::wstring hotImage;
    DWORD disabledTextColor = 0;
    DWORD disabledBkColor = 0;
    std::wstring disabledImage;
    DWORD lineColor = 0;
    bool showHtml = false;
    bool multiExpanding = false;
};

// Applies one item… attribute; false when the name is not one of them.
bool SetListInfoAttribute(ListInfo& info, const std::wstring& name, const std::wstring& value);

// What list items need from the list or combo they belong to.
class IListOwnerUI {
public:
    static constexpr const wchar_t* kInterfaceName = L"IListOwner";

    virtual const ListInfo& GetListInfo() const = 0;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index) = 0;
    // The header whose columns text items follow; null when there is none.
    virtual CControlUI* GetHeader() const = 0;
    // The item was clicked (activated false) or double-clicked (activated true).
    virtual void OnItemClicked(CControlUI* item, bool activated) = 0;

protected:
    ~IListOwnerUI() = default;
};

// The part of a list item the owner drives; found through InterfaceCast.
class IListItemUI {
public:
    static constexpr const wchar_t* kInterfaceName = L"ListItem";

    virtual IListOwnerUI* GetOwner() const = 0;
    virtual void SetOwner(IListOwnerUI* owner) = 0;
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual bool IsSelected() const = 0;
    virtual void Select(bool select) = 0;

protected:
    ~IListItemUI() = default;
};

// The control's list item part; null for a control that is not a list item, or for none.
IListItemUI* AsListItem(CControlUI* control);

// The index one item up or down from the selection, kept inside the count items.
int StepSelection(int curSel, int count, bool up);

// Moves the owner's selection from the item at curSel (from) to the one at index (to; -1 for
// none) and sends "itemselect" with the new and the old index. False, changing nothing, when
// index names no enabled list item.
bool MoveSelection(CControlUI& owner, int& curSel, int index, CControlUI* from, CControlUI* to);

} // namespace skinui

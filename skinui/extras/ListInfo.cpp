#include "skinui/extras/ListInfo.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlUI.h"
#include "skinui/core/SkinWindowManager.h"

#include <algorithm>

namespace skinui {

bool SetListInfoAttribute(ListInfo& info, const std::wstring& name, const std::wstring& value) {
    if (name.compare(0, 4, L"item") != 0 && name != L"multiexpanding")
        return false;
    if (name == L"itemfont")
        info.font = ParseIntValue(value);
    else if (name == L"itemalign") {
        info.textStyle &= ~(DT_LEFT | DT_CENTER | DT_RIGHT);
        if (value.find(L"center") != std::wstring::npos)
            info.textStyle |= DT_CENTER;
        else if (value.find(L"right") != std::wstring::npos)
            info.textStyle |= DT_RIGHT;
    } else if (name == L"itemendellipsis") {
        if (ParseBoolValue(value))
            info.textStyle |= DT_END_ELLIPSIS;
        else
            info.textStyle &= ~DT_END_ELLIPSIS;
    } else if (name == L"itemtextpadding")
        info.textPadding = ParseRectValue(value);
    else if (name == L"itemtextcolor")
        info.textColor = ParseColorValue(value);
    else if (name == L"itembkcolor")
        info.bkColor = ParseColorValue(value);
    else if (name == L"itembkimage")
        info.bkImage = value;
    else if (name == L"itemselectedtextcolor")
        info.selectedTextColor = ParseColorValue(value);
    else if (name == L"itemselectedbkcolor")
        info.selectedBkColor = ParseColorValue(value);
    else if (name == L"itemselectedimage")
        info.selectedImage = value;
    else if (name == L"itemhottextcolor")
        info.hotTextColor = ParseColorValue(value);
    else if (name == L"itemhotbkcolor")
        info.hotBkColor = ParseColorValue(value);
    else if (name == L"itemhotimage")
        info.hotImage = value;
    else if (name == L"itemdisabledtextcolor")
        info.disabledTextColor = ParseColorValue(value);
    else if (name == L"itemdisabledbkcolor")
        info.disabledBkColor = ParseColorValue(value);
    else if (name == L"itemdisabledimage")
        info.disabledImage = value;
    else if (name == L"itemlinecolor")
        info.lineColor = ParseColorValue(value);
    else if (name == L"itemshowhtml")
        info.showHtml = ParseBoolValue(value);
    else if (name == L"multiexpanding")
        info.multiExpanding = ParseBoolValue(value);
    else
        return false;
    return true;
}

IListItemUI* AsListItem(CControlUI* control) {
    return InterfaceCast<IListItemUI>(control);
}

int StepSelection(int curSel, int count, bool up) {
    return up ? std::max(0, curSel - 1) : std::min(count - 1, curSel + 1);
}

bool MoveSelection(CControlUI& owner, int& curSel, int index, CControlUI* from, CControlUI* to) {
    IListItemUI* item = AsListItem(to);
    if (index >= 0 && (!item || !to->IsEnabled()))
        return false;
    const int old = curSel;
    if (IListItemUI* previous = AsListItem(from))
        previous->Select(false);
    curSel = index;
    if (item)
        item->Select(true);
    if (SkinWindowManager* manager = owner.GetManager())
        manager->SendNotify(&owner, L"itemselect", static_cast<WPARAM>(curSel),
                            static_cast<LPARAM>(old));
    return true;
}

} // namespace skinui

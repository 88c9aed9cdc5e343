#include "skinui/extras/TileLayoutUI.h"

#include "skinui/core/AttributeValues.h"

#include <algorithm>

namespace skinui {

const wchar_t* CTileLayoutUI::GetClass() const {
    return kClassName;
}

void* CTileLayoutUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size) {
    m_itemSize = {std::max<LONG>(0, size.cx), std::max<LONG>(0, size.cy)};
    NeedUpdate();
}

void CTileLayoutUI::SetColumns(int columns) {
    m_columns = std::max(1, columns);
    NeedUpdate();
}

void CTileLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const RECT content = ContentRect();
    const LONG width = content.right - content.left;
    const int columns =
        m_itemSize.cx > 0 ? std::max<int>(1, (width + m_childPadding) /
                                                 std::max<LONG>(1, m_itemSize.cx + m_childPadding))
                          : m_columns;
    const LONG cellWidth =
        m_itemSize.cx > 0 ? m_itemSize.cx
                          : std::max<LONG>(0, (width - m_childPadding * (columns - 1)) / columns);
    const SIZE scroll = GetScrollPos();
    LONG top = content.top - scroll.cy;
    int column = 0;
    LONG rowHeight = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        if (column == 0) {
            // The row is as tall as the item height, else its tallest child's estimate.
            rowHeight = m_itemSize.cy;
            if (rowHeight <= 0) {
                int seen = 0;
                for (int j = i; j < GetCount() && seen < columns; ++j) {
                    CControlUI* next = GetItemAt(j);
                    if (!next->IsVisible() || next->IsFloat())
                        continue;
                    ++seen;
                    rowHeight = std::max<LONG>(rowHeight, next->EstimateSize({cellWidth, 0}).cy);
                }
            }
        }
        const LONG left = content.left + column * (cellWidth + m_childPadding);
        const RECT padding = child->GetPadding();
        child->SetPos({left + padding.left, top + padding.top, left + cellWidth - padding.right,
                       top + rowHeight - padding.bottom});
        if (++column == columns) {
            column = 0;
            top += rowHeight + m_childPadding;
        }
    }
    if (column != 0)
        top += rowHeight;
    ProcessScrollBar(content, -1, top + scroll.cy - content.top);
}

void CTileLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"itemsize")
        SetItemSize(ParseSizeValue(value));
    else if (name == L"columns")
        SetColumns(ParseIntValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

} // namespace skinui

#pragma once

#include "skinui/core/ContainerUI.h"

namespace skinui {

// Places its children in a grid, row by row: a column count from the item width (itemsize)
// or the columns attribute; rows as tall as the item height or the tallest estimate.
class CTileLayoutUI : public CContainerUI {
public:
    static constexpr const wchar_t* kClassName = L"TileLayoutUI";
    static constexpr const wchar_t* kInterfaceName = L"TileLayout";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    SIZE GetItemSize() const { return m_itemSize; }
    void SetItemSize(SIZE size);
    int GetColumns() const { return m_columns; }
    void SetColumns(int columns);

private:
    SIZE m_itemSize{};
    int m_columns = 1;
};

} // namespace skinui

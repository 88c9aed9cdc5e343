#pragma once

#include "skinui/extras/ListElementUI.h"
#include "skinui/extras/ListUI.h"

#include <utility>
#include <vector>

namespace skinui {

// The column header of a tree list.
class CTreeListViewHeadUI : public CListHeaderUI {
public:
    static constexpr const wchar_t* kClassName = L"TreeListViewHeadUI";
    static constexpr const wchar_t* kInterfaceName = L"TreeListViewHead";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
};

// A row of a tree list with an expand or shrink image at its left end; a click on that image
// switches the row between expanded and shrunk, and expanding it shrinks the other rows unless
// the list's multiexpanding is true.
class CTreeListContainerElementUI : public CListContainerElementUI {
public:
    static constexpr const wchar_t* kClassName = L"TreeListContainerElementUI";
    static constexpr const wchar_t* kInterfaceName = L"TreeListContainerElement";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;

    bool IsExpanded() const { return m_expanded; }
    void SetExpanded(bool expanded);

private:
    RECT MarkRect() const;
    void ShrinkOthers();

    bool m_expanded = true;
    std::wstring m_expandImage;
    std::wstring m_shrinkImage;
};

// A list of tree list rows; its expanded, expandimage and shrinkimage attributes are the
// defaults of the rows added to it.
class CTreeListViewUI : public CListUI {
public:
    static constexpr const wchar_t* kClassName = L"TreeListViewUI";
    static constexpr const wchar_t* kInterfaceName = L"TreeListView";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    bool AddAt(CControlUI* control, int index) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

private:
    std::vector<std::pair<std::wstring, std::wstring>> m_rowDefaults; // applied to each new row
};

} // namespace skinui

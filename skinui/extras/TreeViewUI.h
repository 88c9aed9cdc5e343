#pragma once

#include "skinui/extras/ListElementUI.h"
#include "skinui/extras/ListUI.h"

#include <vector>

namespace skinui {

class CTreeViewUI;

// One row of a tree: its text indented by its depth, a folder mark when it has child nodes,
// and those child nodes, which follow it in the tree's list and hide while it is folded.
class CTreeNodeUI : public CListContainerElementUI {
public:
    static constexpr const wchar_t* kClassName = L"TreeNodeUI";
    static constexpr const wchar_t* kInterfaceName = L"TreeNode";

    CTreeNodeUI() = default;
    ~CTreeNodeUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC dc) override;

    // Appends a child node (owned by the tree once the node is in one).
    bool AddChildNode(CTreeNodeUI* node);
    const std::vector<CTreeNodeUI*>& GetChildNodes() const { return m_children; }
    CTreeNodeUI* GetParentNode() const { return m_parentNode; }
    int GetDepth() const;
    bool IsExpanded() const { return m_expanded; }
    void SetExpanded(bool expanded);
    bool IsChecked() const { return m_checked; }
    void SetChecked(bool checked) {
        m_checked = checked;
        Invalidate();
    }
    void SetTree(CTreeViewUI* tree) { m_tree = tree; }

private:
    // Shows or hides the descendants as the folding of every ancestor says.
    void ApplyFolding();
    RECT FolderRect() const;

    CTreeViewUI* m_tree = nullptr;
    CTreeNodeUI* m_parentNode = nullptr;
    std::vector<CTreeNodeUI*> m_children; // in the tree's list, not owned here
    std::vector<CTreeNodeUI*> m_pending;  // added before the node joined a tree; owned
    bool m_expanded = true;
    bool m_checked = false;
    DWORD m_selectedTextColor = 0;
    DWORD m_selectedHotTextColor = 0;
    std::wstring m_attributes[4]; // horizattr, dotlineattr, folderattr, checkboxattr
    std::wstring m_itemAttributes;

    friend class CTreeViewUI;
};

// A list of tree nodes; nodes join it through AddNode.
class CTreeViewUI : public CListUI {
public:
    static constexpr const wchar_t* kClassName = L"TreeViewUI";
    static constexpr const wchar_t* kInterfaceName = L"TreeView";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    bool AddAt(CControlUI* control, int index) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    bool SelectItem(int index) override;
    void OnItemClicked(CControlUI* item, bool activated) override;

    // Adds a top-level node with its descendants.
    bool AddNode(CTreeNodeUI* node);
    bool IsFolderButtonVisible() const { return m_folderButtonVisible; }
    bool IsCheckButtonVisible() const { return m_checkButtonVisible; }
    int GetItemMinWidth() const { return m_itemMinWidth; }

private:
    friend class CTreeNodeUI;
    // Inserts node and its pending children after position index of the list.
    int InsertNode(CTreeNodeUI* node, int index);

    bool m_folderButtonVisible = true;
    bool m_checkButtonVisible = false;
    int m_itemMinWidth = 0;
};

} // namespace skinui

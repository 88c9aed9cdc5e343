#pragma once

#include "skinui/controls/ButtonUI.h"
#include "skinui/extras/ListElementUI.h"
#include "skinui/extras/ListUI.h"

#include <array>
#include <vector>

namespace skinui {

class CTreeViewUI;

// One part of a tree node's row: the indent, the folder button, the check box or the item
// text. Parts take no input themselves; the node hit-tests them. A part that is "on" (an
// expanded folder, a ticked box, a selected item) shows its selectedimage; without any image
// the folder and the check box draw a plain mark of their own.
class CTreeNodePartUI : public CButtonUI {
public:
    enum class Kind { Indent, Folder, Check, Item };
    static constexpr const wchar_t* kClassName = L"TreeNodePartUI";

    explicit CTreeNodePartUI(Kind kind);

    const wchar_t* GetClass() const override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;

    Kind GetKind() const { return m_kind; }
    bool IsOn() const { return m_on; }
    void SetOn(bool on);

private:
    void PaintPlainMark(HDC dc);

    Kind m_kind;
    bool m_on = false;
    std::wstring m_onImage;
    std::wstring m_onHotImage;
};

// One row of a tree: a horizontal layout (styled by horizattr) of an indent by its depth
// (dotlineattr; its width is the indent per level), a folder button when it has child nodes
// (folderattr), a check box when the tree shows them (checkboxattr) and its text (itemattr),
// followed by any other controls of its markup. Its child nodes follow it in the tree's list
// and hide while it is folded.
class CTreeNodeUI : public CListContainerElementUI {
public:
    static constexpr const wchar_t* kClassName = L"TreeNodeUI";
    static constexpr const wchar_t* kInterfaceName = L"TreeNode";
    static constexpr int kDefaultIndent = 16;
    static constexpr int kDefaultButtonWidth = 16;

    CTreeNodeUI();
    ~CTreeNodeUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    std::wstring GetText() const override;
    void SetText(const std::wstring& text) override;
    SIZE EstimateSize(SIZE available) override;
    void SetPos(RECT rc) override;
    void DoPaint(HDC dc, const RECT& paint) override;

    // Appends a child node (owned by the tree once the node is in one).
    bool AddChildNode(CTreeNodeUI* node);
    const std::vector<CTreeNodeUI*>& GetChildNodes() const { return m_children; }
    CTreeNodeUI* GetParentNode() const { return m_parentNode; }
    int GetDepth() const;
    bool IsExpanded() const { return m_expanded; }
    void SetExpanded(bool expanded);
    bool IsChecked() const { return m_checked; }
    void SetChecked(bool checked);
    void SetTree(CTreeViewUI* tree);

    CTreeNodePartUI* GetFolderButton() const { return m_folder; }
    CTreeNodePartUI* GetCheckBox() const { return m_check; }
    CTreeNodePartUI* GetItemButton() const { return m_itemPart; }

    // The node style attributes a tree may give all its nodes, in order.
    enum Style { kHoriz, kDotLine, kFolder, kCheckBox, kItem, kStyleCount };

private:
    void ApplyStyle(Style style, const std::wstring& list);
    // Takes the tree's styles and colours for what the node does not set itself.
    void TakeTreeDefaults();
    // Shows or hides the descendants as the folding of every ancestor says.
    void ApplyFolding();
    // Sizes and shows the parts for the depth, the tree's buttons and the state.
    void ArrangeParts();
    bool HitPart(const CTreeNodePartUI* part, POINT pt) const;

    CTreeViewUI* m_tree = nullptr;
    CTreeNodeUI* m_parentNode = nullptr;
    std::vector<CTreeNodeUI*> m_children; // in the tree's list, not owned here
    std::vector<CTreeNodeUI*> m_pending;  // added before the node joined a tree; owned
    CTreeNodePartUI* m_indent;            // the four parts are children of the row
    CTreeNodePartUI* m_folder;
    CTreeNodePartUI* m_check;
    CTreeNodePartUI* m_itemPart;
    int m_indentPerDepth = kDefaultIndent;
    bool m_expanded = true;
    bool m_expandSet = false;
    bool m_checked = false;
    DWORD m_itemStyleColor = 0;    // the text colour itemattr gave
    DWORD m_selectedTextColor = 0; // 0: the tree's
    DWORD m_selectedHotTextColor = 0;
    std::array<bool, kStyleCount> m_styleSet{};

    friend class CTreeViewUI;
};

// A list of tree nodes; nodes join it through AddNode. The node style attributes given to the
// tree apply to every node that does not set its own.
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
    void SetFolderButtonVisible(bool visible);
    bool IsCheckButtonVisible() const { return m_checkButtonVisible; }
    void SetCheckButtonVisible(bool visible);
    int GetItemMinWidth() const { return m_itemMinWidth; }
    void SetItemMinWidth(int width);

private:
    friend class CTreeNodeUI;
    // Inserts node and its pending children after position index of the list.
    int InsertNode(CTreeNodeUI* node, int index);
    template <typename F> void ForEachNode(F&& apply);

    bool m_folderButtonVisible = true;
    bool m_checkButtonVisible = false;
    int m_itemMinWidth = 0;
    std::wstring m_styles[CTreeNodeUI::kStyleCount];
    DWORD m_selectedTextColor = 0;
    DWORD m_selectedHotTextColor = 0;
    bool m_defaultExpand = true;
    bool m_defaultExpandSet = false;
};

} // namespace skinui

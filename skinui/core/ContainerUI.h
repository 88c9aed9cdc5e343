#pragma once

#include "skinui/core/ControlUI.h"
#include "skinui/core/ScrollBarUI.h"

#include <memory>
#include <vector>

namespace skinui {

// A control that owns an ordered list of children and gives each the whole inner rectangle;
// the layouts derive from it and place the children differently.
class CContainerUI : public CControlUI, public IContainerUI, public IScrollOwnerUI {
public:
    static constexpr const wchar_t* kClassName = L"ContainerUI";
    static constexpr const wchar_t* kInterfaceName = L"Container";

    CContainerUI();
    ~CContainerUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;

    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    void DoEvent(UiEvent& event) override;
    void SetEnabled(bool enabled = true) override;
    void SetVisible(bool visible = true) override;
    void SetPos(RECT rc) override;
    void DoPaint(HDC dc, const RECT& paint) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void SetManager(SkinWindowManager* manager, CControlUI* parent, bool init = true) override;
    CControlUI* FindControl(const FindControlProc& proc, void* data, UINT flags) override;

    RECT GetInset() const { return m_inset; }
    void SetInset(RECT inset);
    int GetChildPadding() const { return m_childPadding; }
    void SetChildPadding(int padding);
    bool IsMouseChildEnabled() const { return m_mouseChildEnabled; }
    void SetMouseChildEnabled(bool enabled = true) { m_mouseChildEnabled = enabled; }
    int GetScrollStepSize() const { return m_scrollStepSize; }
    // With delayed destruction, removed children are handed to the manager's delayed clean-up
    // instead of being destroyed at once (so a child may remove itself from an event).
    void SetDelayedDestroy(bool delayed) { m_delayedDestroy = delayed; }
    // Places child index by the float rule inside this container's rectangle.
    void SetFloatPos(int index) override;

    // Creates or destroys the vertical and the horizontal scroll bar.
    void EnableScrollBar(bool vertical = true, bool horizontal = false);
    CScrollBarUI* GetVerticalScrollBar() const { return m_verticalScrollBar.get(); }
    CScrollBarUI* GetHorizontalScrollBar() const { return m_horizontalScrollBar.get(); }
    // Horizontal and vertical scroll positions and ranges (0 without a visible bar).
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const;
    // Clamps into the ranges, moves the bars and lays the children out again.
    void SetScrollPos(SIZE position) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;

protected:
    // The rectangle less the inset and the visible scroll bars.
    RECT ContentRect() const;
    // Places the visible bars along the content rectangle and, for a needed size that is not
    // negative, sets that axis's range to the excess, showing or hiding its bar; lays the
    // container out again when a bar appeared, vanished or had its position cut.
    void ProcessScrollBar(const RECT& content, long neededWidth, long neededHeight);
    // Scrolls by one line (the scroll step size, else the bar's line size) or one page (the
    // view's length) along axis, forward for a positive direction.
    void ScrollStep(Axis axis, bool page, int direction);

    std::vector<CControlUI*> m_items; // owned
    RECT m_inset{};
    int m_childPadding = 0;
    bool m_mouseChildEnabled = true;
    bool m_delayedDestroy = false;
    int m_scrollStepSize = 0; // 0 = the bars' line size
    std::unique_ptr<CScrollBarUI> m_verticalScrollBar;
    std::unique_ptr<CScrollBarUI> m_horizontalScrollBar;

private:
    void DestroyChild(CControlUI* control);
    std::unique_ptr<CScrollBarUI> MakeScrollBar(bool horizontal);
    void PaintScrollBars(HDC dc, const RECT& dirty);

    bool m_relayingOut = false; // guards the re-layout a bar change causes
};

} // namespace skinui

#pragma once

#include "skinui/core/ControlUI.h"

namespace skinui {

// What a scroll bar moves when a container owns it: the container's scroll operations.
class IScrollOwnerUI {
public:
    // Horizontal and vertical positions.
    virtual SIZE GetScrollPos() const = 0;
    virtual void SetScrollPos(SIZE position) = 0;
    virtual void LineUp() = 0;
    virtual void LineDown() = 0;
    virtual void PageUp() = 0;
    virtual void PageDown() = 0;
    virtual void LineLeft() = 0;
    virtual void LineRight() = 0;
    virtual void PageLeft() = 0;
    virtual void PageRight() = 0;

protected:
    ~IScrollOwnerUI() = default;
};

// A scroll bar of two buttons, a rail and a thumb. A bar owned by a container (which is also its
// parent) scrolls it through the container's line and page operations and reports "scroll"; a
// free bar moves itself.
class CScrollBarUI : public CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"ScrollBarUI";
    static constexpr const wchar_t* kInterfaceName = L"ScrollBar";

    CScrollBarUI();
    ~CScrollBarUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetEnabled(bool enabled = true) override;
    void SetPos(RECT rc) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void DoPaint(HDC dc, const RECT& paint) override;

    IScrollOwnerUI* GetOwner() const { return m_owner; }
    void SetOwner(IScrollOwnerUI* owner) { m_owner = owner; }
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const { return m_range; }
    // A negative range counts as 0; the position is pulled back into the new range.
    void SetScrollRange(int range);
    int GetScrollPos() const { return m_position; }
    void SetScrollPos(int position);
    int GetLineSize() const { return m_lineSize; }
    void SetLineSize(int size);
    bool IsShowButton1() const { return m_showButton1; }
    void SetShowButton1(bool show);
    bool IsShowButton2() const { return m_showButton2; }
    void SetShowButton2(bool show);

    const RECT& GetButton1Rect() const { return m_button1; }
    const RECT& GetButton2Rect() const { return m_button2; }
    const RECT& GetThumbRect() const { return m_thumb; }

    // Images of one part in its four states.
    struct PartImages {
        std::wstring normal;
        std::wstring hot;
        std::wstring pushed;
        std::wstring disabled;
    };

private:
    enum class Part { None, Button1, Button2, Thumb, RailBefore, RailAfter };

    void LayoutParts();
    Part PartAt(POINT pt) const;
    // Runs the action of a press on part once.
    void Step(Part part);
    void LineBack();
    void LineForward();
    void PageBack();
    void PageForward();
    void MoveThumb(POINT mouse);
    void NotifyScroll();
    void StopTracking();
    // Paints one part's image for its own state inside rc (window coordinates).
    void PaintPart(HDC dc, PartImages& images, const RECT& rc, UINT state);
    UINT PartState(Part part) const;
    int CrossSize() const;
    int Length() const;

    IScrollOwnerUI* m_owner = nullptr; // not owned; the parent control as well
    bool m_horizontal = false;
    int m_range = 100;
    int m_position = 0;
    int m_lineSize = 8;
    bool m_showButton1 = true;
    bool m_showButton2 = true;

    RECT m_button1{};
    RECT m_button2{};
    RECT m_thumb{}; // empty when the bar is too short for one

    Part m_pressed = Part::None; // the part held down
    Part m_hot = Part::None;     // the part under the mouse
    bool m_barHot = false;
    int m_ticks = 0; // repeat timer ticks since the press
    POINT m_lastMouse{};
    POINT m_dragStart{};
    int m_dragStartPosition = 0;

    PartImages m_button1Images;
    PartImages m_button2Images;
    PartImages m_thumbImages;
    PartImages m_railImages;
    PartImages m_bkImages;
};

} // namespace skinui

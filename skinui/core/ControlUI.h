#pragma once

#include "skinui/core/UiTypes.h"
#include "skinui/markup/ImageDescriptor.h"

#include <cassert>
#include <functional>
#include <string>
#include <vector>

namespace skinui {

class SkinWindowManager;

// Move and zoom percentages of a floating control that follows its parent's size changes.
struct RelativePos {
    bool enabled = false;
    int moveXPercent = 0;
    int moveYPercent = 0;
    int zoomXPercent = 0;
    int zoomYPercent = 0;
};

using FindControlProc = std::function<CControlUI*(CControlUI* control, void* data)>;
// An event delegate returns false to veto the control's own handling.
using EventDelegate = std::function<bool(UiEvent& event)>;
using NotifyDelegate = std::function<void(UiNotification& notification)>;
using ControlDelegate = std::function<void(CControlUI& control)>;

// The base of every control: state and shared attributes, painting order, event bubbling and
// the positioning rules. The virtual operations keep their order in derived classes.
class CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"ControlUI";
    static constexpr const wchar_t* kInterfaceName = L"Control";

    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual ~CControlUI();
    virtual std::wstring GetName() const;
    virtual void SetName(const std::wstring& name);
    virtual const wchar_t* GetClass() const;
    virtual void* GetInterface(const wchar_t* name);
    virtual UINT GetControlFlags() const;
    virtual bool Activate();
    virtual SkinWindowManager* GetManager() const;
    virtual void SetManager(SkinWindowManager* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;
    virtual std::wstring GetText() const;
    virtual void SetText(const std::wstring& text);
    virtual const RECT& GetPos() const;
    virtual void SetPos(RECT rc);
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT padding);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE xy);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);
    virtual void SetRelativePos(SIZE move, SIZE zoom);
    virtual void SetToolTip(const std::wstring& text);
    virtual void SetShortcut(wchar_t ch);
    virtual void SetContextMenuUsed(bool used);
    virtual void SetUserData(const std::wstring& text);
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enabled = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enabled = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloat = true);
    virtual CControlUI* FindControl(const FindControlProc& proc, void* data, UINT flags);
    virtual void DoInit();
    virtual void Event(UiEvent& event);
    virtual void DoEvent(UiEvent& event);
    virtual void SetAttribute(const std::wstring& name, const std::wstring& value);
    virtual SIZE EstimateSize(SIZE available);
    virtual void DoPaint(HDC dc, const RECT& paint);
    virtual void PaintBkColor(HDC dc);
    virtual void PaintBkImage(HDC dc);
    virtual void PaintStatusImage(HDC dc);
    virtual void PaintText(HDC dc);
    virtual void PaintBorder(HDC dc);
    virtual void DoPostPaint(HDC dc, const RECT& paint);

    // Applies name="value" pairs separated by one space; stops at the first malformed pair.
    void ApplyAttributeList(const std::wstring& list);
    void Invalidate();
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void NeedUpdate();
    void NeedParentUpdate();
    // Draws an image descriptor into the control's rectangle, with the override's values
    // replacing the descriptor's; false when nothing could be drawn.
    bool DrawImage(HDC dc, const std::wstring& descriptor,
                   const markup::ImageOverride& override = {});

    std::wstring GetToolTip() const { return m_tooltip; }
    // What assistive technology calls the control and what it takes it for, where its text
    // cannot say (an image-only button) or its class would mislead (a button drawn as a link).
    const std::wstring& GetAccName() const { return m_accName; }
    void SetAccName(const std::wstring& name);
    const std::wstring& GetAccRole() const { return m_accRole; }
    void SetAccRole(const std::wstring& role) { m_accRole = role; }
    int GetToolTipWidth() const { return m_tooltipWidth; }
    wchar_t GetShortcut() const { return m_shortcut; }
    std::wstring GetUserData() const { return m_userData; }
    std::wstring GetVirtualWnd() const;
    void SetVirtualWnd(const std::wstring& name) { m_virtualWnd = name; }
    bool IsContextMenuUsed() const { return m_menuUsed; }
    RelativePos GetRelativePos() const { return m_relativePos; }
    bool IsRelativePos() const { return m_relativePos.enabled; }
    SIZE& RelativeParentSize() { return m_relativeParentSize; }
    DWORD GetBkColor() const { return m_bkColor; }
    // A colour as painted: shifted by the window's adjustment when colorhsl is set.
    DWORD GetAdjustColor(DWORD color) const;
    void SetBkColor(DWORD color);
    std::wstring GetBkImage() const { return m_bkImage; }
    void SetBkImage(const std::wstring& descriptor);
    void SetBorderColor(DWORD color);
    void SetBorderSize(int size);

    std::vector<ControlDelegate> OnInit;
    std::vector<ControlDelegate> OnDestroy;
    std::vector<ControlDelegate> OnSize;
    std::vector<EventDelegate> OnEvent;
    std::vector<NotifyDelegate> OnNotify;

protected:
    SkinWindowManager* m_manager = nullptr;
    CControlUI* m_parent = nullptr;
    std::wstring m_name;
    std::wstring m_text;
    std::wstring m_tooltip;
    std::wstring m_userData;
    std::wstring m_virtualWnd;
    std::wstring m_accName;
    std::wstring m_accRole;
    int m_tooltipWidth = 300;
    wchar_t m_shortcut = 0;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_menuUsed = false;
    bool m_float = false;
    bool m_updateNeeded = true;
    RECT m_pos{};
    SIZE m_fixedXY{};
    int m_fixedWidth = 0;  // 0 = stretch
    int m_fixedHeight = 0; // 0 = stretch
    int m_minWidth = 0;
    int m_minHeight = 0;
    int m_maxWidth = 9999;
    int m_maxHeight = 9999;
    RECT m_padding{};
    RelativePos m_relativePos;
    SIZE m_relativeParentSize{}; // parent size when last placed; 0,0 until then
    DWORD m_bkColor = 0;         // 0xAARRGGBB; 0 = none
    DWORD m_bkColor2 = 0;
    DWORD m_bkColor3 = 0;
    std::wstring m_bkImage;
    DWORD m_borderColor = 0;
    DWORD m_focusBorderColor = 0;
    bool m_colorHsl = false;
    int m_borderSize = 0;
    RECT m_sideBorderSize{}; // per-side widths, used when m_borderSize gives no outline
    int m_borderStyle = PS_SOLID;
    SIZE m_borderRound{};
};

// The control as T when it answers T's interface name, else null. The name asked for and the type
// returned both come from T (its kInterfaceName), so they cannot disagree.
template <typename T> T* InterfaceCast(CControlUI* control) {
    if (!control)
        return nullptr;
    T* found = static_cast<T*>(control->GetInterface(T::kInterfaceName));
    assert(!found || dynamic_cast<T*>(control) == found);
    return found;
}

} // namespace skinui

#pragma once

#include <windows.h>

#include <string>

namespace skinui {

class CControlUI;

// The two directions of the plane, for code that works the same along either.
enum class Axis { Horizontal, Vertical };

// Kinds of UiEvent. Values 9 to 18 are the mouse events: controls test that range to ignore
// mouse input while mouse input is disabled.
enum UiEventKind : int {
    kEventKeyDown = 3,
    kEventKeyUp = 4,
    kEventChar = 5,
    kEventSysKey = 6,
    kEventMouseMove = 9,
    kEventMouseLeave = 10,
    kEventMouseEnter = 11,
    kEventMouseHover = 12,
    kEventButtonDown = 13,
    kEventButtonUp = 14,
    kEventRButtonDown = 15,
    kEventDblClick = 16,
    kEventContextMenu = 17,
    kEventScrollWheel = 18,
    kEventKillFocus = 20,
    kEventSetFocus = 21,
    kEventWindowSize = 22,
    kEventSetCursor = 23,
    kEventTimer = 24,
};

constexpr int kFirstMouseEvent = kEventMouseMove;
constexpr int kLastMouseEvent = kEventScrollWheel;

// What the manager delivers to a control's event handler.
struct UiEvent {
    int type = 0;
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;
    POINT mouse{};
    wchar_t key = 0;
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// What a control reports to its window.
struct UiNotification {
    std::wstring type;
    std::wstring virtualWindow;
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;
    POINT mouse{-1, -1};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual void OnNotify(UiNotification& notification) = 0;

protected:
    ~INotifyUI() = default;
};

class IMessageFilterUI {
public:
    virtual LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// Sees every message of the framework's loop aimed at its window (or a child of it) before
// the pre-message filters, as a dialog's keyboard accelerators would; true consumes it.
class ITranslateAccelerator {
public:
    virtual bool TranslateAccelerator(MSG* msg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

class IDialogBuilderCallback {
public:
    virtual CControlUI* CreateCustomControl(const wchar_t* elementName) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

// Child management of a container; the builder reaches it through InterfaceCast.
class IContainerUI {
public:
    static constexpr const wchar_t* kInterfaceName = L"IContainer";

    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual void RemoveAll() = 0;
    // Places the child at index by the float rule, after its fixed position or size changed.
    virtual void SetFloatPos(int index) = 0;

protected:
    ~IContainerUI() = default;
};

// The label's class name: the window's shortcut search treats exactly a label (not a class
// derived from it) as handing its shortcut on to the next control.
inline constexpr const wchar_t* kLabelClassName = L"LabelUI";

// Flags of CControlUI::FindControl.
constexpr UINT kFindVisible = 0x00000001;
constexpr UINT kFindEnabled = 0x00000002;
constexpr UINT kFindHitTest = 0x00000004;
constexpr UINT kFindTopFirst = 0x00000008;
constexpr UINT kFindMeFirst = 0x80000000;

// Bits of CControlUI::GetControlFlags.
constexpr UINT kFlagTabStop = 0x00000001;
constexpr UINT kFlagSetCursor = 0x00000002;
// The control takes the Tab key itself while it has focus (a rich edit with wanttab), so Tab
// does not move the focus on.
constexpr UINT kFlagWantTab = 0x00000004;

// Bits of the state of a pressable control or of one of its parts (buttons, options, the slider's
// thumb, the scroll bar's parts).
constexpr UINT kStateFocused = 0x01;
constexpr UINT kStateSelected = 0x02;
constexpr UINT kStateDisabled = 0x04;
constexpr UINT kStateHot = 0x08;
constexpr UINT kStatePushed = 0x10;
constexpr UINT kStateCaptured = 0x40;

} // namespace skinui

#pragma once

#include "skinui/core/AccessibilityBridge.h"
#include "skinui/core/FontTable.h"
#include "skinui/core/ShadowUI.h"
#include "skinui/core/TimerTable.h"
#include "skinui/core/ToolTip.h"
#include "skinui/core/UiProcess.h"
#include "skinui/core/UiTypes.h"
#include "skinui/markup/ColorAdjust.h"
#include "skinui/resources/ImageCache.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace skinui {

class CControlUI;

// Routes one native window's messages to its control tree and owns what the tree shares:
// fonts, images, default attribute lists, timers and the notification queues.
class SkinWindowManager : private IMessagePreTranslator {
public:
    SkinWindowManager();
    ~SkinWindowManager();
    SkinWindowManager(const SkinWindowManager&) = delete;
    SkinWindowManager& operator=(const SkinWindowManager&) = delete;

    void Init(HWND window);
    // At the window's last message: timers, queued notifications and every reference into the
    // tree are dropped, and nothing is sent to the window any more. The tree itself stays.
    void DetachWindow();
    HWND GetPaintWindow() const { return m_window; }

    // The process-wide settings and the message loop, as the programs' start-up reaches them;
    // UiProcess holds them.
    static void SetInstance(HINSTANCE instance) { UiProcess::SetInstance(instance); }
    static HINSTANCE GetInstance() { return UiProcess::GetInstance(); }
    static std::wstring GetInstancePath() { return UiProcess::GetInstancePath(); }
    static void MessageLoop() { UiProcess::MessageLoop(); }
    static bool IsMessageLoopRunning() { return UiProcess::IsMessageLoopRunning(); }
    static bool TranslateMessage(MSG* msg) { return UiProcess::TranslateMessage(msg); }

    bool AttachDialog(CControlUI* root);
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    void ReapObjects(CControlUI* control);
    CControlUI* GetRoot() const { return m_root.get(); }
    CControlUI* FindControl(const std::wstring& name) const;
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* parent, const std::wstring& name) const;

    void SendNotify(CControlUI* sender, const std::wstring& type, WPARAM wParam = 0,
                    LPARAM lParam = 0, bool async = false);
    void SendNotify(UiNotification& notification, bool async = false);
    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    void AddTranslateAccelerator(ITranslateAccelerator* translator);
    void RemoveTranslateAccelerator(ITranslateAccelerator* translator);
    void AddPreMessageFilter(IMessageFilterUI* filter);
    void RemovePreMessageFilter(IMessageFilterUI* filter);
    void AddMessageFilter(IMessageFilterUI* filter);
    void RemoveMessageFilter(IMessageFilterUI* filter);
    void AddPostPaint(CControlUI* control);
    void RemovePostPaint(CControlUI* control);
    void AddDelayedCleanup(CControlUI* control);

    CControlUI* GetFocus() const { return m_focus; }
    void SetFocus(CControlUI* control);
    void SetFocusNeeded(CControlUI* control);
    bool SetNextTabControl(bool forward = true);

    // The accessibility and keyboard layer (not owned); null leaves the tree unannounced.
    void SetAccessibilityBridge(IAccessibilityBridge* bridge) { m_access = bridge; }
    IAccessibilityBridge* GetAccessibilityBridge() const { return m_access; }
    // Announces a change of a control (EVENT_OBJECT_...) while the window exists.
    void NotifyAccessibility(DWORD event, CControlUI* control);

    bool SetTimer(CControlUI* control, UINT key, UINT elapseMs);
    bool KillTimer(CControlUI* control, UINT key);
    void KillTimer(CControlUI* control);
    void RemoveAllTimers();

    bool AddOptionGroup(const std::wstring& group, CControlUI* option);
    const std::vector<CControlUI*>* GetOptionGroup(const std::wstring& group) const;
    void RemoveOptionGroup(const std::wstring& group, CControlUI* option);

    void Invalidate(const RECT& rc);
    void NeedUpdate() { m_updateNeeded = true; }
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    // Lays the tree out into rc when needed and paints it into dc (used by the paint handler
    // and by tools that render a window off screen).
    void LayoutAndPaint(HDC dc, const RECT& client, const RECT& paint);
    POINT GetMousePos() const { return m_lastMouse; }
    CShadowUI* GetShadow() { return &m_shadow; }

    // Skin resources.
    const FontRecord& GetDefaultFont() const { return m_fonts.Default(); }
    void SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic);
    int AddFont(const std::wstring& face, int size, bool bold, bool underline, bool italic);
    // Any index outside the table means the default font.
    HFONT GetFont(int index) const { return m_fonts.Get(index).font.get(); }
    const FontRecord& GetFontInfo(int index) const { return m_fonts.Get(index); }
    int GetFontCount() const { return m_fonts.Count(); }
    const resources::ImageRecord* GetImage(const std::wstring& name);
    const resources::ImageRecord* GetImageEx(const std::wstring& name, const std::wstring& resType,
                                             DWORD mask);
    resources::ImageCache& Images() { return m_images; }
    void AddDefaultAttributeList(const std::wstring& controlName, const std::wstring& list);
    std::wstring GetDefaultAttributeList(const std::wstring& controlName) const;
    // Takes another window's fonts (same positions), default attribute lists and text colours,
    // for a pop-up that shows that window's controls (a combo's drop-down).
    void CopySkinResources(const SkinWindowManager& from);

    // Window attributes of the skin.
    SIZE GetInitSize() const { return m_initSize; }
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const { return m_sizeBox; }
    void SetSizeBox(const RECT& rc) { m_sizeBox = rc; }
    RECT GetCaptionRect() const { return m_caption; }
    void SetCaptionRect(const RECT& rc) { m_caption = rc; }
    SIZE GetRoundCorner() const { return m_roundCorner; }
    void SetRoundCorner(int cx, int cy) { m_roundCorner = {cx, cy}; }
    SIZE GetMinInfo() const { return m_minInfo; }
    void SetMinInfo(int cx, int cy) { m_minInfo = {cx, cy}; }
    SIZE GetMaxInfo() const { return m_maxInfo; }
    void SetMaxInfo(int cx, int cy) { m_maxInfo = {cx, cy}; }
    void SetShowUpdateRect(bool show) { m_showUpdateRect = show; }
    void SetTransparent(int alpha);
    void SetLayered(bool layered) { m_layered = layered; }
    bool IsLayered() const { return m_layered; }
    void SetUseGdiplusText(bool use) { m_gdiplusText = use; }
    bool IsUseGdiplusText() const { return m_gdiplusText || m_layered; }
    DWORD GetDisabledColor() const { return m_disabledColor; }
    void SetDisabledColor(DWORD color) { m_disabledColor = color; }
    DWORD GetDefaultFontColor() const { return m_defaultFontColor; }
    void SetDefaultFontColor(DWORD color) { m_defaultFontColor = color; }
    DWORD GetLinkFontColor() const { return m_linkFontColor; }
    void SetLinkFontColor(DWORD color) { m_linkFontColor = color; }
    DWORD GetLinkHoverFontColor() const { return m_linkHoverFontColor; }
    void SetLinkHoverFontColor(DWORD color) { m_linkHoverFontColor = color; }
    DWORD GetSelectedBkColor() const { return m_selectedColor; }
    void SetSelectedBkColor(DWORD color) { m_selectedColor = color; }
    // Recolours the controls that opted in with colorhsl; the whole window repaints.
    void SetHslAdjustment(const markup::HslAdjustment& adjustment);
    const markup::HslAdjustment& GetHslAdjustment() const { return m_hsl; }

    // The manager's part of the window procedure; true when it handled the message.
    bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The accelerator translators see a message of the loop first; true when one consumed it.
    bool TranslateAccelerators(MSG* msg);
    bool PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    // Posted to the window to run the delayed clean-up of removed controls and queued notices.
    static constexpr UINT kDelayedCleanupMessage = 0x8001;

    // One message's handling: true when handled, with the message's result in result.
    using MessageHandlerFn = bool (SkinWindowManager::*)(UINT message, WPARAM wParam, LPARAM lParam,
                                                         LRESULT& result);
    static MessageHandlerFn HandlerFor(UINT message);
    static MessageHandlerFn PreHandlerFor(UINT message);

    HWND PreTranslatedWindow() const override;
    bool PreTranslate(MSG* msg) override;

    // Message handlers (ManagerMessages.cpp).
    bool OnDelayedCleanup(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnClose(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnEraseBackground(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnPaint(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSize(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnTimer(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseLeave(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnContextMenu(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnSetCursor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Pre-translation of the loop's messages.
    bool OnPreTab(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnPreSysKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnPreSysChar(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void FlushAsyncNotifications();
    void DeliverNotification(UiNotification& notification);
    void CleanupDelayed();
    void LayoutIfNeeded(const RECT& client);
    void Paint();
    // With bktrans: the whole tree into a 32-bit image pushed with per-pixel alpha.
    void PaintLayered(const RECT& client);
    void TrackMouse(POINT pt);
    // The control under a point in screen coordinates, which becomes the last mouse position.
    CControlUI* ControlAtScreenPoint(LPARAM lParam);
    void ShowToolTip(CControlUI* control);
    void HideToolTip() { m_toolTip.Hide(); }
    // The focus control, if any, loses focus with its event and "killfocus".
    void DropFocus();
    void RegisterNames(CControlUI* root);
    UiEvent MakeEvent(int type, CControlUI* sender, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Queues the delayed clean-up message unless it is already on its way.
    void PostCleanup();

    HWND m_window = nullptr;
    IAccessibilityBridge* m_access = nullptr;
    std::unique_ptr<CControlUI> m_root;
    CControlUI* m_focus = nullptr;
    CControlUI* m_hover = nullptr;
    CControlUI* m_click = nullptr;
    CControlUI* m_keyControl = nullptr;
    POINT m_lastMouse{-1, -1};
    bool m_updateNeeded = false;
    bool m_firstLayout = true;
    bool m_focusNeeded = false;
    bool m_hoverTracking = false; // hover reports armed; a hover report ends them
    bool m_leaveTracking = false; // the leave report armed; only that report ends it
    bool m_mouseCapture = false;
    bool m_showUpdateRect = false;
    bool m_layered = false;
    bool m_gdiplusText = false;
    bool m_cleanupPosted = false;

    std::vector<INotifyUI*> m_notifiers;
    std::vector<ITranslateAccelerator*> m_translators;
    std::vector<IMessageFilterUI*> m_preFilters;
    std::vector<IMessageFilterUI*> m_filters;
    std::vector<CControlUI*> m_postPaint;
    std::vector<CControlUI*> m_delayedCleanup;
    std::vector<UiNotification> m_asyncNotify;
    TimerTable m_timers;
    std::map<std::wstring, std::vector<CControlUI*>> m_optionGroups;
    std::map<std::wstring, CControlUI*> m_nameMap;
    ToolTip m_toolTip;

    FontTable m_fonts;
    resources::ImageCache m_images;
    std::map<std::wstring, std::wstring> m_defaultAttributes;

    SIZE m_initSize{};
    RECT m_sizeBox{};
    RECT m_caption{};
    SIZE m_roundCorner{};
    SIZE m_minInfo{};
    SIZE m_maxInfo{};
    DWORD m_disabledColor = 0xFFA7A6AA;
    DWORD m_defaultFontColor = 0xFF000001;
    DWORD m_linkFontColor = 0xFF0000FF;
    DWORD m_linkHoverFontColor = 0xFFD3215F;
    DWORD m_selectedColor = 0xFFBAE4FF;
    markup::HslAdjustment m_hsl;
    CShadowUI m_shadow;
};

} // namespace skinui

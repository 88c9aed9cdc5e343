#pragma once

#include "skinui/controls/TxtWinHost.h"
#include "skinui/core/ContainerUI.h"
#include "skinui/core/ControlParts.h"

namespace skinui {

// A multi-line text view and editor drawn by the platform's windowless text services; keyboard
// and mouse messages reach the engine through the window's message filters while it has focus.
// Without the engine it paints only its background, images and border.
class CRichEditUI : public CContainerUI, public IMessageFilterUI {
public:
    static constexpr const wchar_t* kClassName = L"RichEditUI";
    static constexpr const wchar_t* kInterfaceName = L"RichEdit";

    CRichEditUI();
    ~CRichEditUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    std::wstring GetText() const override;
    void SetText(const std::wstring& text) override;
    void SetEnabled(bool enabled = true) override;
    void SetPos(RECT rc) override;
    void DoInit() override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    void SetScrollPos(SIZE position) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;

    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    bool IsReadOnly() const { return m_settings.readOnly; }
    bool IsWantTab() const { return m_wantTab; }
    void SetReadOnly(bool readOnly);
    void SetFont(int index);
    void SetTextColor(DWORD color);
    void SetMaxChar(int maxChar);
    // True once the text engine exists.
    bool HasTextEngine() const { return static_cast<bool>(m_host); }
    // Sends a message to the engine; 0 without one.
    LRESULT SendEngineMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Called by the text host when the engine's scroll range or position changed.
    void OnEngineScrollChanged();

private:
    RECT TextRect() const;
    void ScrollEngineAcross(WORD action);
    void CreateEngine();
    // Copies the engine's vertical range and position into the bar; true when the bar
    // appeared or vanished.
    bool SyncScrollBar();
    void ScrollEngine(WORD action);
    bool IsEngineMessage(UINT message, WPARAM wParam, LPARAM lParam) const;

    win32::ComPtr<CTxtWinHost> m_host;
    TextHostSettings m_settings;
    bool m_wantTab = true;
    bool m_wantReturn = true;
    bool m_wantCtrlReturn = true;
    bool m_hot = false;
    bool m_laidOutAgain = false;
    bool m_filterRegistered = false;
    int m_font = -1;
    DWORD m_textColor = 0;
    RECT m_textPadding{};
    std::wstring m_tipValue;
    DWORD m_tipValueColor;
    FieldStateImages m_stateImages;
};

} // namespace skinui

#pragma once

#include "skinui/controls/LabelUI.h"
#include "skinui/core/ControlParts.h"

namespace skinui {

class CEditWnd;

// A single-line text entry that paints itself and opens a native edit window only while the
// user is editing it.
class CEditUI : public CLabelUI {
public:
    static constexpr const wchar_t* kClassName = L"EditUI";
    static constexpr const wchar_t* kInterfaceName = L"Edit";

    CEditUI();
    ~CEditUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetText(const std::wstring& text) override;
    void SetEnabled(bool enabled = true) override;
    void SetVisible(bool visible = true) override;
    void SetPos(RECT rc) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStatusImage(HDC dc) override;
    void PaintText(HDC dc) override;

    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool IsNumberOnly() const { return m_numberOnly; }
    void SetNumberOnly(bool numberOnly);
    bool IsPasswordMode() const { return m_password; }
    void SetPasswordMode(bool password);
    wchar_t GetPasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(wchar_t ch);
    int GetMaxChar() const { return m_maxChar; }
    void SetMaxChar(int maxChar);
    std::wstring GetTipValue() const { return m_tipValue; }
    void SetTipValue(const std::wstring& text);
    DWORD GetNativeTextColor() const { return m_nativeTextColor; }
    DWORD GetNativeBkColor() const { return m_nativeBkColor; }
    // The open native edit, or null while the control is not being edited.
    HWND GetNativeWindow() const;

private:
    friend class CEditWnd;

    void OpenNativeEdit();
    void CloseNativeEdit();
    // The native edit's rectangle in the window's client coordinates.
    RECT NativeEditRect() const;

    CEditWnd* m_window = nullptr; // owned by its native window, which deletes it at the end
    bool m_readOnly = false;
    bool m_password = false;
    bool m_numberOnly = false;
    bool m_hot = false;
    wchar_t m_passwordChar = L'*';
    int m_maxChar;
    std::wstring m_tipValue;
    DWORD m_tipValueColor;
    DWORD m_nativeTextColor = 0;
    DWORD m_nativeBkColor = 0;
    FieldStateImages m_stateImages;
};

} // namespace skinui

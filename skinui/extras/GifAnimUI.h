#pragma once

#include "skinui/core/ControlUI.h"

namespace skinui {

// Shows an image given by its bkimage; autosize makes the control the image's size.
class CGifAnimUI : public CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"GifAnimUI";
    static constexpr const wchar_t* kInterfaceName = L"GifAnim";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void DoInit() override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    bool IsAutoPlay() const { return m_autoPlay; }
    bool IsAutoSize() const { return m_autoSize; }

private:
    bool m_autoPlay = true;
    bool m_autoSize = false;
};

} // namespace skinui

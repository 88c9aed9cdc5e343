#pragma once

#include "ContainerUI.h"

namespace skinui {

class CHorizontalLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc) override;
};

} // namespace skinui

#include "skinui/extras/CheckBoxUI.h"

namespace skinui {

const wchar_t* CCheckBoxUI::GetClass() const {
    return kClassName;
}

void* CCheckBoxUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return COptionUI::GetInterface(name);
}

} // namespace skinui

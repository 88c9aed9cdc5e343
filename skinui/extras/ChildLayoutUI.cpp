#include "skinui/extras/ChildLayoutUI.h"

#include "skinui/builder/SkinBuilder.h"
#include "skinui/core/SkinWindowManager.h"

namespace skinui {
namespace {

// Child layouts nest at most this deep, so a file that names itself ends.
constexpr int kMaxChildLayoutDepth = 16;

int& ChildLayoutDepth() {
    static int depth = 0;
    return depth;
}

} // namespace

const wchar_t* CChildLayoutUI::GetClass() const {
    return kClassName;
}

void* CChildLayoutUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

void CChildLayoutUI::SetChildLayoutXml(const std::wstring& file) {
    m_xmlFile = file;
}

void CChildLayoutUI::BuildChildren() {
    if (m_built || m_xmlFile.empty() || !m_manager)
        return;
    m_built = true;
    int& depth = ChildLayoutDepth();
    if (depth >= kMaxChildLayoutDepth)
        return;
    ++depth;
    SkinBuilder builder;
    builder.Create(m_xmlFile.c_str(), nullptr, nullptr, m_manager, this);
    --depth;
}

void CChildLayoutUI::DoInit() {
    const int before = GetCount();
    BuildChildren();
    // Children built only now missed the tree's initialisation.
    for (int i = before; i < GetCount(); ++i)
        m_manager->InitControls(GetItemAt(i), this);
    CContainerUI::DoInit();
}

void CChildLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"xmlfile") {
        SetChildLayoutXml(value);
        // While the builder sets attributes the manager is known, and children built now
        // are initialised with the rest of the tree.
        BuildChildren();
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

} // namespace skinui

#include "skinui/extras/GifAnimUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/SkinWindowManager.h"

namespace skinui {
namespace {

// The image file a descriptor names: its file='…' value, or the whole descriptor.
std::wstring ImageFileName(const std::wstring& descriptor) {
    const std::wstring key = L"file='";
    const size_t start = descriptor.find(key);
    if (start == std::wstring::npos)
        return descriptor.find(L'=') == std::wstring::npos ? descriptor : std::wstring{};
    const size_t end = descriptor.find(L'\'', start + key.size());
    if (end == std::wstring::npos)
        return {};
    return descriptor.substr(start + key.size(), end - start - key.size());
}

} // namespace

const wchar_t* CGifAnimUI::GetClass() const {
    return kClassName;
}

void* CGifAnimUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CGifAnimUI::DoInit() {
    CControlUI::DoInit();
    if (!m_autoSize || !m_manager || m_bkImage.empty())
        return;
    const std::wstring file = ImageFileName(m_bkImage);
    const resources::ImageRecord* image = file.empty() ? nullptr : m_manager->GetImage(file);
    if (!image)
        return;
    SetFixedWidth(image->width);
    SetFixedHeight(image->height);
}

void CGifAnimUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"autoplay")
        m_autoPlay = ParseBoolValue(value);
    else if (name == L"autosize")
        m_autoSize = ParseBoolValue(value);
    else
        CControlUI::SetAttribute(name, value);
}

} // namespace skinui

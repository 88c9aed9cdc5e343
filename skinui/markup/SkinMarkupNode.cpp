#include "skinui/markup/SkinMarkup.h"

#include <algorithm>
#include <string_view>

namespace skinui::markup {

bool SkinMarkupNode::IsValid() const {
    return m_document != nullptr && m_index != 0 && m_index < m_document->m_elements.size();
}

SkinMarkupNode SkinMarkupNode::GetParent() const {
    if (!IsValid())
        return SkinMarkupNode();
    std::uint32_t parent = m_document->m_elements[m_index].parent;
    return parent == 0 ? SkinMarkupNode() : SkinMarkupNode(m_document, parent);
}

SkinMarkupNode SkinMarkupNode::GetChild() const {
    if (!IsValid())
        return SkinMarkupNode();
    std::uint32_t child = m_document->m_elements[m_index].firstChild;
    return child == 0 ? SkinMarkupNode() : SkinMarkupNode(m_document, child);
}

SkinMarkupNode SkinMarkupNode::GetSibling() const {
    if (!IsValid())
        return SkinMarkupNode();
    std::uint32_t next = m_document->m_elements[m_index].next;
    return next == 0 ? SkinMarkupNode() : SkinMarkupNode(m_document, next);
}

bool SkinMarkupNode::HasChildren() const {
    return IsValid() && m_document->m_elements[m_index].firstChild != 0;
}

bool SkinMarkupNode::HasAttributes() const {
    return GetAttributeCount() > 0;
}

const char16_t* SkinMarkupNode::GetName() const {
    if (!IsValid())
        return u"";
    return m_document->m_text.c_str() + m_document->m_elements[m_index].start;
}

const char16_t* SkinMarkupNode::GetValue() const {
    if (!IsValid())
        return u"";
    return m_document->m_text.c_str() + m_document->m_elements[m_index].data;
}

int SkinMarkupNode::GetAttributeCount() const {
    MapAttributes();
    return m_attributeCount;
}

const char16_t* SkinMarkupNode::GetAttributeName(int index) const {
    MapAttributes();
    if (index < 0 || index >= m_attributeCount)
        return u"";
    return m_document->m_text.c_str() + m_attributes[index].name;
}

const char16_t* SkinMarkupNode::GetAttributeValue(int index) const {
    MapAttributes();
    if (index < 0 || index >= m_attributeCount)
        return u"";
    return m_document->m_text.c_str() + m_attributes[index].value;
}

const char16_t* SkinMarkupNode::GetAttributeValue(const char16_t* name) const {
    if (name == nullptr)
        return nullptr;
    MapAttributes();
    std::u16string_view wanted(name);
    for (int i = 0; i < m_attributeCount; ++i) {
        if (wanted == m_document->m_text.c_str() + m_attributes[i].name)
            return m_document->m_text.c_str() + m_attributes[i].value;
    }
    return nullptr;
}

bool SkinMarkupNode::GetAttributeValue(const char16_t* name, char16_t* buffer,
                                       std::size_t limit) const {
    const char16_t* value = GetAttributeValue(name);
    if (buffer == nullptr)
        return value != nullptr;
    std::u16string_view text(value ? value : u"");
    std::size_t length = std::min(text.size(), limit);
    std::copy_n(text.data(), length, buffer);
    buffer[length] = 0;
    return value != nullptr;
}

// Walks the tag as the parser left it (names, the opening quote of each value and the values,
// everything else zeroed), bounded by the element's data offset.
void SkinMarkupNode::MapAttributes() const {
    if (m_mapped)
        return;
    m_mapped = true;
    m_attributeCount = 0;
    if (!IsValid())
        return;
    const char16_t* text = m_document->m_text.c_str();
    const SkinMarkup::Element& element = m_document->m_elements[m_index];
    std::size_t bound = element.data;
    std::size_t pos = element.start;
    while (pos < bound && text[pos] != 0)
        ++pos;
    while (m_attributeCount < kMaxAttributes) {
        while (pos < bound && text[pos] == 0)
            ++pos;
        if (pos >= bound)
            return;
        std::size_t name = pos;
        while (pos < bound && text[pos] != 0 && text[pos] != u'"')
            ++pos;
        if (name == pos)
            name = pos - 1; // an empty name: the zero before the value's quote
        while (pos < bound && text[pos] == 0)
            ++pos;
        if (pos >= bound || text[pos] != u'"')
            return;
        std::size_t value = ++pos;
        while (pos < bound && text[pos] != 0)
            ++pos;
        m_attributes[m_attributeCount].name = static_cast<std::uint32_t>(name);
        m_attributes[m_attributeCount].value = static_cast<std::uint32_t>(value);
        ++m_attributeCount;
    }
}

} // namespace skinui::markup

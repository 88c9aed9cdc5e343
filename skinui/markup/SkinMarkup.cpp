#include "skinui/markup/SkinMarkup.h"

#include "skinui/markup/TextDecoding.h"

#include <limits>

namespace skinui::markup {

namespace {

std::u16string Latin1ToUtf16(const std::uint8_t* data, std::size_t size) {
    return std::u16string(data, data + size);
}

AnsiDecoder g_ansiDecoder = Latin1ToUtf16;

// Element records hold 32-bit offsets into the text.
constexpr std::size_t kMaxTextLength = std::numeric_limits<std::uint32_t>::max() - 1;

} // namespace

void SetMarkupAnsiDecoder(AnsiDecoder decoder) {
    g_ansiDecoder = decoder ? decoder : Latin1ToUtf16;
}

bool SkinMarkup::Load(const char16_t* text) {
    Release();
    m_text = text ? text : u"";
    return Parse();
}

bool SkinMarkup::LoadFromMem(const std::uint8_t* data, std::size_t size, MarkupEncoding encoding) {
    Release();
    if (data == nullptr)
        size = 0;
    switch (encoding) {
    case MarkupEncoding::Utf8:
        if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            size -= 3;
        }
        m_text = Utf8ToUtf16(data, size);
        break;
    case MarkupEncoding::Utf16:
        if (!Utf16BytesToString(data, size, m_text)) {
            SetError(markup_errors::kMissingByteOrderMark);
            return false;
        }
        break;
    case MarkupEncoding::Ansi:
        m_text = g_ansiDecoder(data, size);
        break;
    }
    // Like the byte-string APIs the markup once went through, the text ends at its first NUL.
    std::size_t nul = m_text.find(u'\0');
    if (nul != std::u16string::npos)
        m_text.resize(nul);
    if (m_text.size() > kMaxTextLength) {
        Release();
        SetError(markup_errors::kFileTooLarge);
        return false;
    }
    return Parse();
}

void SkinMarkup::Release() {
    m_text.clear();
    m_text.shrink_to_fit();
    m_elements.clear();
    m_elements.shrink_to_fit();
    m_errorMessage.clear();
    m_errorLocation.clear();
}

SkinMarkupNode SkinMarkup::GetRoot() const {
    if (m_elements.size() < 2)
        return SkinMarkupNode();
    return SkinMarkupNode(this, 1);
}

void SkinMarkup::SetError(const char16_t* message, const char16_t* location) {
    std::u16string_view messageText(message ? message : u"");
    std::u16string_view locationText(location ? location : u"");
    m_errorMessage = messageText.substr(0, kMaxErrorMessage);
    m_errorLocation = locationText.substr(0, kMaxErrorLocation);
}

bool SkinMarkup::Fail(const char16_t* message, std::size_t position) {
    SetError(message, m_text.c_str() + position);
    m_elements.clear();
    return false;
}

} // namespace skinui::markup

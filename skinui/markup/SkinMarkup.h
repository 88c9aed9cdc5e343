#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace skinui::markup {

// The skin markup document: an XML-like UTF-16 text parsed in place into a flat table of
// element records. Names, attribute values and element texts are cut out of the text by writing
// terminators into it, so every string a node hands out lives as long as its document.

enum class MarkupEncoding { Utf8, Utf16, Ansi };

// Markup and package files above this size are refused ("File too large").
constexpr std::size_t kMaxSkinFileSize = 4194304;

// Error texts shared by the parser and the file loaders.
namespace markup_errors {
inline constexpr char16_t kErrorOpeningFile[] = u"Error opening file";
inline constexpr char16_t kFileIsEmpty[] = u"File is empty";
inline constexpr char16_t kFileTooLarge[] = u"File too large";
inline constexpr char16_t kCouldNotReadFile[] = u"Could not read file";
inline constexpr char16_t kErrorOpeningZipFile[] = u"Error opening zip file";
inline constexpr char16_t kCouldNotFindZipedFile[] = u"Could not find ziped file";
inline constexpr char16_t kCouldNotUnzipFile[] = u"Could not unzip file";
inline constexpr char16_t kMissingByteOrderMark[] = u"Missing byte-order mark";
} // namespace markup_errors

// Converts bytes in the system ANSI code page to UTF-16. The Windows side installs one based on
// the system code page; without it bytes are taken as Latin-1.
using AnsiDecoder = std::u16string (*)(const std::uint8_t* data, std::size_t size);
void SetMarkupAnsiDecoder(AnsiDecoder decoder);

class SkinMarkup;

class SkinMarkupNode {
public:
    static constexpr int kMaxAttributes = 64;

    SkinMarkupNode() = default;

    bool IsValid() const;
    SkinMarkupNode GetParent() const;
    SkinMarkupNode GetChild() const;   // first child
    SkinMarkupNode GetSibling() const; // next sibling
    bool HasChildren() const;
    bool HasAttributes() const;
    const char16_t* GetName() const;
    const char16_t* GetValue() const; // the element's text

    // Elements with more than kMaxAttributes attributes expose only the first kMaxAttributes.
    int GetAttributeCount() const;
    const char16_t* GetAttributeName(int index) const;             // "" when out of range
    const char16_t* GetAttributeValue(int index) const;            // "" when out of range
    const char16_t* GetAttributeValue(const char16_t* name) const; // nullptr when absent
    // Copies at most `limit` characters and a terminator, so `buffer` holds limit + 1 characters.
    // False (and an empty buffer) when the attribute is absent.
    bool GetAttributeValue(const char16_t* name, char16_t* buffer, std::size_t limit) const;

private:
    friend class SkinMarkup;
    SkinMarkupNode(const SkinMarkup* document, std::uint32_t index)
        : m_document(document), m_index(index) {}
    void MapAttributes() const;

    struct AttributeEntry {
        std::uint32_t name{0};  // offset of the name in the document text
        std::uint32_t value{0}; // offset of the value in the document text
    };

    const SkinMarkup* m_document{nullptr};
    std::uint32_t m_index{0}; // element table entry; 0 is the dummy entry, never a valid node
    mutable bool m_mapped{false};
    mutable int m_attributeCount{0};
    mutable std::array<AttributeEntry, kMaxAttributes> m_attributes{};
};

class SkinMarkup {
public:
    SkinMarkup() = default;
    SkinMarkup(const SkinMarkup&) = delete;
    SkinMarkup& operator=(const SkinMarkup&) = delete;

    bool Load(const char16_t* text);
    bool LoadFromMem(const std::uint8_t* data, std::size_t size,
                     MarkupEncoding encoding = MarkupEncoding::Utf8);
    void Release();

    SkinMarkupNode GetRoot() const; // invalid when nothing is loaded
    const char16_t* GetLastErrorMessage() const { return m_errorMessage.c_str(); }
    const char16_t* GetLastErrorLocation() const { return m_errorLocation.c_str(); }
    // Records a failure found outside the parser (file loading); both texts are truncated to
    // the error field sizes.
    void SetError(const char16_t* message, const char16_t* location = u"");

    // On by default; off keeps a space but drops the whitespace that follows it.
    void SetPreserveWhitespace(bool preserve) { m_preserveWhitespace = preserve; }

    static constexpr std::size_t kMaxErrorMessage = 99;
    static constexpr std::size_t kMaxErrorLocation = 49;

private:
    friend class SkinMarkupNode;
    friend class MarkupParser;

    struct Element {
        std::uint32_t start{0};      // offset of the element name
        std::uint32_t firstChild{0}; // entry index, 0 = none
        std::uint32_t next{0};       // next sibling, 0 = none
        std::uint32_t parent{0};     // entry index, 0 = top level
        std::uint32_t data{0};       // offset of the element's text; also ends its attributes
    };

    bool Parse();
    bool Fail(const char16_t* message, std::size_t position);

    std::u16string m_text;
    std::vector<Element> m_elements;
    std::u16string m_errorMessage;
    std::u16string m_errorLocation;
    bool m_preserveWhitespace{true};
};

} // namespace skinui::markup

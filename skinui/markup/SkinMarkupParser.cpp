#include "skinui/markup/SkinMarkup.h"

namespace skinui::markup {

// The parser works on the document's UTF-16 text in place. After a successful parse the tag of
// every element reads, from the element's start up to its data offset:
//
//   Name \0...\0 attr \0...\0 " value \0...\0 attr2 \0 " value2 \0 ...
//
// Everything in a tag except names, the opening quote of each value and the decoded values is
// overwritten with zeros, so the attribute table can be rebuilt lazily without parsing again.

namespace {

constexpr char16_t kExpectedStartTag[] = u"Expected start tag";
constexpr char16_t kErrorParsingElementName[] = u"Error parsing element name";
constexpr char16_t kExpectedStartTagClosing[] = u"Expected start-tag closing";
constexpr char16_t kExpectedEndTagStart[] = u"Expected end-tag start";
constexpr char16_t kUnmatchedClosingTag[] = u"Unmatched closing tag";
constexpr char16_t kErrorWhileParsingAttributes[] = u"Error while parsing attributes";
constexpr char16_t kExpectedAttributeValue[] = u"Expected attribute value";
constexpr char16_t kErrorWhileParsingAttributeString[] = u"Error while parsing attribute string";

struct Entity {
    std::u16string_view text;
    char16_t character;
};

constexpr Entity kEntities[] = {
    {u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}};

bool IsNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u':';
}

// The text ends at its first NUL, so NUL is never whitespace.
bool IsWhitespace(char16_t c) {
    return c != 0 && c <= 32;
}

} // namespace

class MarkupParser {
public:
    explicit MarkupParser(SkinMarkup& document)
        : m_document(document), m_text(&document.m_text[0]) {}

    bool Run();

private:
    using Element = SkinMarkup::Element;

    void SkipWhitespace(std::size_t& pos) const {
        while (IsWhitespace(m_text[pos]))
            ++pos;
    }
    void ZeroWhitespace(std::size_t& pos) {
        while (IsWhitespace(m_text[pos]))
            m_text[pos++] = 0;
    }
    void SkipPast(std::size_t& pos, std::u16string_view marker) const;
    std::size_t ReadData(std::size_t& pos, char16_t end);
    std::uint32_t Append(std::uint32_t parent, std::uint32_t& previous, std::size_t nameStart);
    bool ParseAttributes(std::size_t& pos);
    bool CloseTag(std::uint32_t element, std::size_t& pos);
    // Top-level elements and their children may be left open at the end of the text.
    bool MayEndOpen(std::uint32_t element) const {
        return element == 0 || Elements()[element].parent == 0;
    }
    std::vector<Element>& Elements() { return m_document.m_elements; }
    const std::vector<Element>& Elements() const { return m_document.m_elements; }
    bool Fail(const char16_t* message, std::size_t pos) { return m_document.Fail(message, pos); }

    SkinMarkup& m_document;
    char16_t* m_text; // NUL-terminated
};

bool SkinMarkup::Parse() {
    MarkupParser parser(*this);
    // A text without any element parses: it has no root, and a builder makes nothing of it.
    return parser.Run();
}

bool MarkupParser::Run() {
    Elements().clear();
    Elements().reserve(500);
    Elements().push_back(Element{});
    std::uint32_t parent = 0;
    std::uint32_t previous = 0;
    std::size_t pos = 0;
    bool opened = false; // the "<" of a child start was consumed while reading element text
    for (;;) {
        if (!opened) {
            SkipWhitespace(pos);
            if (m_text[pos] == 0)
                return MayEndOpen(parent) ? true : Fail(kExpectedStartTag, pos);
            if (m_text[pos] != u'<')
                return Fail(kExpectedStartTag, pos);
            if (m_text[pos + 1] == u'/') {
                if (parent == 0)
                    return true;
                pos += 2;
                if (!CloseTag(parent, pos))
                    return false;
                previous = parent;
                parent = Elements()[parent].parent;
                continue;
            }
            ++pos;
        }
        opened = false;
        SkipWhitespace(pos);
        if (m_text[pos] == u'!') {
            SkipPast(pos, u"->");
            continue;
        }
        if (m_text[pos] == u'?') {
            SkipPast(pos, u"?>");
            continue;
        }
        std::size_t nameStart = pos;
        while (IsNameChar(m_text[pos]))
            ++pos;
        if (pos == nameStart)
            return Fail(kErrorParsingElementName, pos);
        std::uint32_t element = Append(parent, previous, nameStart);
        if (!ParseAttributes(pos))
            return false;
        if (m_text[pos] == u'/') {
            if (m_text[pos + 1] != u'>')
                return Fail(kExpectedStartTagClosing, pos);
            m_text[pos] = 0;
            Elements()[element].data = static_cast<std::uint32_t>(pos);
            pos += 2;
            continue;
        }
        if (m_text[pos] != u'>')
            return Fail(kExpectedStartTagClosing, pos);
        m_text[pos++] = 0;
        Elements()[element].data = static_cast<std::uint32_t>(pos);
        std::size_t textEnd = ReadData(pos, u'<');
        if (m_text[pos] == 0) {
            m_text[textEnd] = 0;
            return MayEndOpen(Elements()[element].parent) ? true : Fail(kExpectedEndTagStart, pos);
        }
        bool closing = m_text[pos + 1] == u'/';
        // The "<" is consumed before its position may be reused as the text's terminator.
        m_text[textEnd] = 0;
        if (closing) {
            pos += 2;
            if (!CloseTag(element, pos))
                return false;
            continue;
        }
        parent = element;
        previous = 0;
        ++pos;
        opened = true;
    }
}

void MarkupParser::SkipPast(std::size_t& pos, std::u16string_view marker) const {
    std::u16string_view rest(m_text + pos);
    std::size_t found = rest.find(marker);
    pos += found == std::u16string_view::npos ? rest.size() : found + marker.size();
}

// Decodes the text from `pos` up to `end` (or the end of the text) in place and returns where
// the decoded text ends; `pos` is left on the `end` character or the terminator.
std::size_t MarkupParser::ReadData(std::size_t& pos, char16_t end) {
    std::size_t dest = pos;
    while (m_text[pos] != 0 && m_text[pos] != end) {
        char16_t c = m_text[pos];
        if (c == u'&') {
            std::u16string_view rest(m_text + pos);
            bool decoded = false;
            for (const Entity& entity : kEntities) {
                if (rest.substr(0, entity.text.size()) == entity.text) {
                    m_text[dest++] = entity.character;
                    pos += entity.text.size();
                    decoded = true;
                    break;
                }
            }
            if (decoded)
                continue;
        }
        m_text[dest++] = c;
        ++pos;
        if (c == u' ' && !m_document.m_preserveWhitespace)
            SkipWhitespace(pos);
    }
    return dest;
}

std::uint32_t MarkupParser::Append(std::uint32_t parent, std::uint32_t& previous,
                                   std::size_t nameStart) {
    std::vector<Element>& elements = Elements();
    if (elements.size() == elements.capacity())
        elements.reserve(elements.capacity() + elements.capacity() / 2 + 500);
    Element record;
    record.start = static_cast<std::uint32_t>(nameStart);
    record.parent = parent;
    elements.push_back(record);
    auto index = static_cast<std::uint32_t>(elements.size() - 1);
    if (previous != 0)
        elements[previous].next = index;
    else if (parent != 0)
        elements[parent].firstChild = index;
    previous = index;
    return index;
}

// Leaves `pos` on the ">" or "/" that ends the tag, or on the end of the text.
bool MarkupParser::ParseAttributes(std::size_t& pos) {
    for (;;) {
        ZeroWhitespace(pos);
        char16_t c = m_text[pos];
        if (c == 0 || c == u'>' || c == u'/')
            return true;
        while (IsNameChar(m_text[pos]))
            ++pos;
        std::size_t nameEnd = pos;
        SkipWhitespace(pos);
        if (m_text[pos] != u'=')
            return Fail(kErrorWhileParsingAttributes, pos);
        while (nameEnd <= pos)
            m_text[nameEnd++] = 0;
        ++pos;
        ZeroWhitespace(pos);
        if (m_text[pos] != u'"')
            return Fail(kExpectedAttributeValue, pos);
        ++pos;
        std::size_t valueEnd = ReadData(pos, u'"');
        if (m_text[pos] == 0)
            return Fail(kErrorWhileParsingAttributeString, pos);
        while (valueEnd <= pos)
            m_text[valueEnd++] = 0;
        ++pos;
    }
}

bool MarkupParser::CloseTag(std::uint32_t element, std::size_t& pos) {
    SkipWhitespace(pos);
    std::u16string_view name(m_text + Elements()[element].start);
    for (char16_t c : name) {
        if (m_text[pos] != c)
            return Fail(kUnmatchedClosingTag, pos);
        ++pos;
    }
    SkipWhitespace(pos);
    if (m_text[pos] != u'>')
        return Fail(kUnmatchedClosingTag, pos);
    ++pos;
    return true;
}

} // namespace skinui::markup

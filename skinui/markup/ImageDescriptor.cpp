#include "skinui/markup/ImageDescriptor.h"

namespace skinui::markup {

namespace {

bool IsBlank(char16_t c) {
    return c > 0 && c <= u' ';
}

class DescriptorReader {
public:
    // Reads one descriptor's key='value' pairs into the accumulated settings.
    void Read(std::u16string_view text) {
        std::size_t pos = 0;
        while (pos < text.size()) {
            SkipBlanks(text, pos);
            std::size_t keyStart = pos;
            while (pos < text.size() && text[pos] != u'=' && !IsBlank(text[pos]) && text[pos] != 0)
                ++pos;
            std::u16string_view key = text.substr(keyStart, pos - keyStart);
            SkipBlanks(text, pos);
            if (pos >= text.size() || text[pos] != u'=')
                return;
            ++pos;
            SkipBlanks(text, pos);
            if (pos >= text.size() || text[pos] != u'\'')
                return;
            ++pos;
            std::size_t quote = text.find(u'\'', pos);
            if (quote == std::u16string_view::npos)
                return;
            std::u16string_view value = text.substr(pos, quote - pos);
            pos = quote + 1;
            if (!value.empty())
                Apply(key, value);
            if (pos >= text.size() || text[pos] != u' ')
                return;
            ++pos;
        }
    }

    void Override(const ImageOverride& override) {
        if (override.dest) {
            m_current.dest = *override.dest;
            m_current.hasDest = true;
        }
        if (override.source)
            m_current.source = *override.source;
        if (override.corner)
            m_current.corner = *override.corner;
        if (override.fade)
            m_current.fade = *override.fade;
    }

    std::vector<ImageDrawSpec> Finish(std::u16string_view descriptor) {
        if (!m_named)
            m_current.name = std::u16string(descriptor);
        if (!m_current.name.empty())
            m_images.push_back(m_current);
        return std::move(m_images);
    }

private:
    static void SkipBlanks(std::u16string_view text, std::size_t& pos) {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
    }

    void Apply(std::u16string_view key, std::u16string_view value) {
        if (key == u"file" || key == u"res") {
            // A second name finishes the image named so far with the settings read so far.
            if (m_named)
                m_images.push_back(m_current);
            m_current.name = std::u16string(value);
            m_current.fromResource = key == u"res";
            m_named = true;
        } else if (key == u"restype") {
            // A type after a name first tries that name as it stands, then with the type.
            if (m_named)
                m_images.push_back(m_current);
            m_current.resType = std::u16string(value);
        } else if (key == u"dest") {
            m_current.dest = ParseRect(value);
            m_current.hasDest = true;
        } else if (key == u"source") {
            m_current.source = ParseRect(value);
        } else if (key == u"corner") {
            m_current.corner = ParseRect(value);
        } else if (key == u"mask") {
            m_current.mask = ParseColor(value);
        } else if (key == u"fade") {
            int fade = ParseInt(value);
            m_current.fade = static_cast<std::uint8_t>(fade < 0 ? 0 : fade > 255 ? 255 : fade);
        } else if (key == u"hole") {
            m_current.hole = ParseBool(value);
        } else if (key == u"xtiled") {
            m_current.xtiled = ParseBool(value);
        } else if (key == u"ytiled") {
            m_current.ytiled = ParseBool(value);
        }
    }

    ImageDrawSpec m_current;
    bool m_named{false}; // a file or res key has named the current image
    std::vector<ImageDrawSpec> m_images;
};

} // namespace

std::vector<ImageDrawSpec> ParseImageDescriptor(std::u16string_view descriptor,
                                                const ImageOverride& override) {
    if (descriptor.empty())
        return {};
    DescriptorReader reader;
    reader.Read(descriptor);
    reader.Override(override);
    return reader.Finish(descriptor);
}

} // namespace skinui::markup

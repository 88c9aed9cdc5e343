#include "skinui/core/FontTable.h"

namespace skinui {

FontTable::FontTable() : m_default(Make(L"", 0, false, false, false, false)) {}

void FontTable::SetDefault(const std::wstring& face, int size, bool bold, bool underline,
                           bool italic) {
    m_default = Make(face, size, bold, underline, italic, false);
}

int FontTable::Add(const std::wstring& face, int size, bool bold, bool underline, bool italic) {
    m_fonts.push_back(Make(face, size, bold, underline, italic, true));
    return Count() - 1;
}

const FontRecord& FontTable::Get(int index) const {
    if (index < 0 || index >= Count())
        return m_default;
    return m_fonts[static_cast<size_t>(index)];
}

FontRecord FontTable::Make(const std::wstring& face, int size, bool bold, bool underline,
                           bool italic, bool clearType) {
    LOGFONTW description{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    description.lfCharSet = DEFAULT_CHARSET;
    if (!face.empty()) {
        const std::wstring shortFace = face.substr(0, LF_FACESIZE - 1);
        wcsncpy(description.lfFaceName, shortFace.c_str(), LF_FACESIZE - 1);
        description.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    if (size > 0)
        description.lfHeight = -size;
    if (bold)
        description.lfWeight += FW_BOLD;
    description.lfUnderline = underline ? TRUE : FALSE;
    description.lfItalic = italic ? TRUE : FALSE;
    if (clearType)
        description.lfQuality = CLEARTYPE_QUALITY;
    FontRecord record;
    record.font.reset(CreateFontIndirectW(&description));
    record.face = description.lfFaceName;
    record.size = size > 0 ? size : -description.lfHeight;
    record.bold = bold;
    record.underline = underline;
    record.italic = italic;
    // Measured as drawn: without a font the DC's own font is what text is drawn in.
    const win32::WindowDc screen(nullptr);
    const win32::SelectObjectScope selected(screen.get(), record.font.get());
    GetTextMetricsW(screen.get(), &record.metrics);
    return record;
}

} // namespace skinui

#pragma once

#include "win32/GdiObject.h"

#include <windows.h>

#include <string>
#include <vector>

namespace skinui {

// One font of a window's table, owning its native font.
struct FontRecord {
    win32::UniqueFont font;
    std::wstring face;
    int size = 0; // character height in pixels
    bool bold = false;
    bool underline = false;
    bool italic = false;
    TEXTMETRICW metrics{};
};

// A window's fonts, referred to by their position in the table, and its default font, which
// every position outside the table means.
class FontTable {
public:
    // The default font starts as the system GUI font.
    FontTable();

    // Both take the system GUI font's description and change its face (when given), height,
    // weight, underline and italics; the table's fonts also ask for ClearType.
    void SetDefault(const std::wstring& face, int size, bool bold, bool underline, bool italic);
    int Add(const std::wstring& face, int size, bool bold, bool underline, bool italic);

    const FontRecord& Get(int index) const;
    const FontRecord& Default() const { return m_default; }
    int Count() const { return static_cast<int>(m_fonts.size()); }

private:
    static FontRecord Make(const std::wstring& face, int size, bool bold, bool underline,
                           bool italic, bool clearType);

    FontRecord m_default;
    std::vector<FontRecord> m_fonts;
};

} // namespace skinui

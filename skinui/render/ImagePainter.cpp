#include "skinui/render/ImagePainter.h"

#include "skinui/markup/ImageDescriptor.h"
#include "skinui/resources/SkinImage.h"
#include "skinui/resources/WideText.h"
#include "win32/GdiObject.h"

#include <algorithm>

namespace skinui {
namespace {

// Copies one source rectangle of a selected bitmap into a destination rectangle, blending when
// the image has alpha or a fade is asked for.
class Blitter {
public:
    Blitter(HDC target, const resources::ImageRecord& image, BYTE fade)
        : m_target(target), m_source(target), m_selected(m_source.get(), image.bitmap.get()),
          m_image(image), m_fade(fade) {}

    // False when the image could not be selected for copying: nothing can be drawn then.
    explicit operator bool() const { return static_cast<bool>(m_selected); }

    void Copy(const RECT& dest, const RECT& source) const {
        const int dw = dest.right - dest.left;
        const int dh = dest.bottom - dest.top;
        const int sw = source.right - source.left;
        const int sh = source.bottom - source.top;
        if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
            return;
        if (m_image.hasAlpha || m_fade < 255) {
            BLENDFUNCTION blend{AC_SRC_OVER, 0, m_fade,
                                static_cast<BYTE>(m_image.hasAlpha ? AC_SRC_ALPHA : 0)};
            AlphaBlend(m_target, dest.left, dest.top, dw, dh, m_source.get(), source.left,
                       source.top, sw, sh, blend);
        } else {
            StretchBlt(m_target, dest.left, dest.top, dw, dh, m_source.get(), source.left,
                       source.top, sw, sh, SRCCOPY);
        }
    }

    // Repeats the source across dest along the tiled axes and stretches along the others.
    void Tile(const RECT& dest, const RECT& source, bool xtiled, bool ytiled) const {
        const LONG sw = source.right - source.left;
        const LONG sh = source.bottom - source.top;
        if (sw <= 0 || sh <= 0)
            return;
        const LONG stepX = xtiled ? sw : dest.right - dest.left;
        const LONG stepY = ytiled ? sh : dest.bottom - dest.top;
        if (stepX <= 0 || stepY <= 0)
            return;
        for (LONG y = dest.top; y < dest.bottom; y += stepY) {
            for (LONG x = dest.left; x < dest.right; x += stepX) {
                RECT part{x, y, std::min(x + stepX, dest.right), std::min(y + stepY, dest.bottom)};
                RECT from = source;
                if (xtiled)
                    from.right = from.left + (part.right - part.left);
                if (ytiled)
                    from.bottom = from.top + (part.bottom - part.top);
                Copy(part, from);
            }
        }
    }

private:
    HDC m_target;
    win32::MemoryDc m_source;
    win32::SelectObjectScope m_selected;
    const resources::ImageRecord& m_image;
    BYTE m_fade;
};

void DrawNineGrid(HDC dc, const resources::ImageRecord& image, const RECT& dest, const RECT& source,
                  const RECT& corner, const markup::ImageDrawSpec& spec) {
    const Blitter blitter(dc, image, spec.fade);
    if (!blitter)
        return;
    const LONG dx[4] = {dest.left, dest.left + corner.left, dest.right - corner.right, dest.right};
    const LONG dy[4] = {dest.top, dest.top + corner.top, dest.bottom - corner.bottom, dest.bottom};
    const LONG sx[4] = {source.left, source.left + corner.left, source.right - corner.right,
                        source.right};
    const LONG sy[4] = {source.top, source.top + corner.top, source.bottom - corner.bottom,
                        source.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const bool centre = row == 1 && column == 1;
            if (centre && spec.hole)
                continue;
            const RECT to{dx[column], dy[row], dx[column + 1], dy[row + 1]};
            const RECT from{sx[column], sy[row], sx[column + 1], sy[row + 1]};
            if (centre && (spec.xtiled || spec.ytiled))
                blitter.Tile(to, from, spec.xtiled, spec.ytiled);
            else
                blitter.Copy(to, from);
        }
    }
}

} // namespace

bool DrawImageDescriptor(HDC dc, resources::ImageCache& images, const RECT& rc,
                         const std::wstring& descriptor, const markup::ImageOverride& override) {
    const std::vector<markup::ImageDrawSpec> specs =
        markup::ParseImageDescriptor(resources::ToU16(descriptor), override);
    if (specs.empty())
        return false;
    bool drewAny = false;
    for (const markup::ImageDrawSpec& spec : specs)
        drewAny = DrawImage(dc, images, rc, spec) || drewAny;
    return drewAny;
}

bool DrawImage(HDC dc, resources::ImageCache& images, const RECT& rc,
               const markup::ImageDrawSpec& spec) {
    const resources::ImageRecord* image =
        images.Get(resources::ToWide(spec.name), resources::ToWide(spec.resType), spec.mask);
    if (!image || !image->bitmap)
        return false;
    DrawImageRecord(dc, *image, rc, spec);
    return true;
}

void DrawImageRecord(HDC dc, const resources::ImageRecord& record, const RECT& rc,
                     const markup::ImageDrawSpec& spec) {
    const resources::ImageRecord* image = &record;
    RECT dest = rc;
    if (spec.hasDest) {
        dest = {rc.left + spec.dest.left, rc.top + spec.dest.top, rc.left + spec.dest.right,
                rc.top + spec.dest.bottom};
        dest.right = std::min(dest.right, rc.right);
        dest.bottom = std::min(dest.bottom, rc.bottom);
    }
    if (dest.right <= dest.left || dest.bottom <= dest.top)
        return;
    RECT source{spec.source.left, spec.source.top, spec.source.right, spec.source.bottom};
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0)
        source = {0, 0, image->width, image->height};
    source.left = std::clamp<LONG>(source.left, 0, image->width);
    source.right = std::clamp<LONG>(source.right, source.left, image->width);
    source.top = std::clamp<LONG>(source.top, 0, image->height);
    source.bottom = std::clamp<LONG>(source.bottom, source.top, image->height);
    // Corners wider than either rectangle would cross over; they are cut to fit.
    RECT corner{std::max(0, spec.corner.left), std::max(0, spec.corner.top),
                std::max(0, spec.corner.right), std::max(0, spec.corner.bottom)};
    const LONG limitX = std::min(source.right - source.left, dest.right - dest.left);
    const LONG limitY = std::min(source.bottom - source.top, dest.bottom - dest.top);
    if (corner.left + corner.right > limitX)
        corner.left = corner.right = 0;
    if (corner.top + corner.bottom > limitY)
        corner.top = corner.bottom = 0;
    DrawNineGrid(dc, *image, dest, source, corner, spec);
}

} // namespace skinui

#pragma once

#include "skinui/markup/ImageDescriptor.h"
#include "skinui/resources/ImageCache.h"

#include <windows.h>

#include <string>

namespace skinui {

// Draws an image descriptor into the control rectangle rc, with the override's values replacing
// the descriptor's, loading the images through the window's cache. False when no image of the
// descriptor could be loaded; one that names several is drawn as far as its images load.
bool DrawImageDescriptor(HDC dc, resources::ImageCache& images, const RECT& rc,
                         const std::wstring& descriptor,
                         const markup::ImageOverride& override = {});
// Draws one image as spec describes it; false when the image cannot be loaded.
bool DrawImage(HDC dc, resources::ImageCache& images, const RECT& rc,
               const markup::ImageDrawSpec& spec);
// Draws an image already at hand (a frame of an animation) with spec's placement; spec's name
// is not looked at.
void DrawImageRecord(HDC dc, const resources::ImageRecord& image, const RECT& rc,
                     const markup::ImageDrawSpec& spec);

} // namespace skinui

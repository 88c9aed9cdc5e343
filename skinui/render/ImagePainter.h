#pragma once

#include <windows.h>

#include <string>

namespace skinui {

class SkinWindowManager;

// Draws an image descriptor (with an optional modifying descriptor whose keys override it) into
// the control rectangle rc, loading the images through the manager's cache. False when nothing
// was drawn because an image could not be loaded.
bool DrawImageDescriptor(HDC dc, SkinWindowManager& manager, const RECT& rc,
                         const std::wstring& descriptor, const std::wstring& modifier = {});

} // namespace skinui

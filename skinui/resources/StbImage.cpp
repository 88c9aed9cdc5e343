// The one translation unit that compiles the image decoder. Formats the skins cannot use are
// left out; the dimension limit bounds what a hostile image can make it allocate.
#include "skinui/resources/SkinImageDecode.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_MAX_DIMENSIONS skinui::resources::kMaxImageDimension
#include <stb_image.h>

#include "installer/LicenceText.h"

#include "installer/InstallerResources.h"
#include "installer/ResourceBytes.h"
#include "installer/TextConversion.h"

std::optional<std::wstring> LoadLicenceText(HMODULE module) {
    const std::optional<ResourceBytes> resource =
        FindResourceBytes(module, kLicenceResourceType, ORVINSTALL_LICENCE_ID);
    if (!resource)
        return std::nullopt;
    // The resource carries no terminator; the string adds one.
    const std::string text(reinterpret_cast<const char*>(resource->data), resource->size);
    return AnsiToWide(text);
}

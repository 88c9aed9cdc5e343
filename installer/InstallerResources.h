#pragma once

// Resource ids of OrvInstall.exe, shared by its code and its resource scripts (plain defines,
// so that the resource compiler reads them too). The scripts write the type names out.

// INSTALLSOFT: the client payload, a 7z archive, linked in by each setup package build.
#define ORVINSTALL_PAYLOAD_ID 140
// REGCONTENT: the licence agreement, GBK text without a terminator.
#define ORVINSTALL_LICENCE_ID 136
// ZIPRES: the install skin, and a second skin package that nothing loads.
#define ORVINSTALL_SKIN_ID 132
#define ORVINSTALL_SPARE_SKIN_ID 141
#define ORVINSTALL_ICON_ID 1

#ifdef __cplusplus
constexpr wchar_t kPayloadResourceType[] = L"INSTALLSOFT";
constexpr wchar_t kLicenceResourceType[] = L"REGCONTENT";
#endif

#pragma once

// Resource identifiers of orvflash.exe, shared by the resource script and the code.
#define ORVFLASH_ICON_ID 107

#pragma once

// The version and the product facts every program of the package carries in its version
// resource. Plain defines, so that the resource compiler reads them too; the installer records
// the version as the uninstall entry's DisplayVersion. A setup package made for a client of
// another version defines ORVIA_VERSION_NUMBERS and ORVIA_VERSION_TEXT before including this
// (tools/package.sh --version).
#ifndef ORVIA_VERSION_NUMBERS
#define ORVIA_VERSION_NUMBERS 2, 6, 3, 2
#define ORVIA_VERSION_TEXT "2.6.3.2"
#endif

#define ORVIA_PRODUCT_NAME "Tamro"
#define ORVIA_COMPANY_NAME "Tolma网络"
#define ORVIA_COPYRIGHT "Copyright © 2026 Tolma网络"

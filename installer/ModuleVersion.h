#pragma once

#include <windows.h>

#include <string>

// The product version of a module's version resource as "A.B.C.D"; empty when the module has
// none. A setup package records this as the uninstall entry's DisplayVersion, so a package made
// for a client of another version registers that version without being recompiled.
std::wstring ModuleVersionText(HMODULE module);

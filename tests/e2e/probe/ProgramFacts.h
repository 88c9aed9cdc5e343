#pragma once

#include "tests/e2e/probe/ProbeAnswer.h"

// Probe commands about a program file and a running program:
//
//   version PATH   the version resource through the system's version API: fileversion and
//                  productversion (from the fixed part), translation, and the strings
//                  CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
//                  OriginalFilename, ProductName, ProductVersion; error when there is none
//   shown PID      visible: the number of visible top-level windows of the process
namespace e2eprobe {

Result VersionCommand(const Fields& args);
Result ShownCommand(const Fields& args);

} // namespace e2eprobe

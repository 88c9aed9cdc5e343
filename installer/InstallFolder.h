#pragma once

#include <string>

// The check and creation of the install folder before the worker starts, shared by the dialog's
// start buttons and the silent installation.

// Creates the folder chain and returns true when the folder exists afterwards. The folder test
// and creation work on the ANSI form (the system code page); a folder with a character the
// code page lacks would turn into "?" or a look-alike there and name another folder than the
// one given, so it is refused before anything is created.
bool PrepareInstallFolder(const std::wstring& folder);

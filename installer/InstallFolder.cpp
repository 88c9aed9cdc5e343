#include "installer/InstallFolder.h"

#include "installer/FolderUtils.h"
#include "installer/TextConversion.h"

#include <shlwapi.h>

bool PrepareInstallFolder(const std::wstring& folder) {
    const std::string ansi = WideToAnsi(folder);
    if (ansi.empty() || AnsiToWide(ansi) != folder)
        return false;
    MakeFolderChainAnsi(ansi);
    return PathFileExistsA(ansi.c_str()) != FALSE;
}

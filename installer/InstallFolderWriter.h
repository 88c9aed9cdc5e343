#pragma once

#include "win32/UniqueHandle.h"

#include <string>

// Folders and files made inside an install folder that someone else may have prepared (a
// custom or recorded folder on a drive every user can write to). Nothing is created or written
// through a link (junction, symbolic link, mount point) found inside it: each folder on the way
// is opened without following links and checked as it is opened (a folder, no link, lying
// where its name says below the install folder) and held open, so that it cannot be renamed
// or replaced, while what lies in it is made; a file is opened without following links and
// without emptying it, checked the same way through its handle, and only then emptied.
// Links above the install folder and at it are the user's choice and are followed.
//
// The methods only read the object, so one writer serves several threads.
class InstallFolderWriter {
public:
    // Opens the install folder, which must exist. False when it cannot be opened or is no
    // folder.
    bool Open(const std::wstring& installFolder);

    // Makes the folders of `relative` ("a\b", "/" separating as well) below the install
    // folder, those that exist included. False, making nothing below it, at the first
    // component that is a link, no folder, ".", "..", or cannot be made.
    bool MakeFolders(const std::wstring& relative) const;

    // Creates or replaces the file `relative`, its folders made as by MakeFolders, and gives
    // a handle that writes to it (GENERIC_WRITE, emptied, others may read). Empty, having
    // written nothing, when a folder on the way or the file itself is a link or anything but
    // what its name says.
    win32::UniqueFileHandle MakeFile(const std::wstring& relative) const;

private:
    std::wstring m_folder;      // as given, without a trailing separator
    std::wstring m_finalFolder; // as the file system names it, links followed
    win32::UniqueFileHandle m_handle;
};

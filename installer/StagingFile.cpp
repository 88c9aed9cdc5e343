#include "installer/StagingFile.h"

#include "installer/FolderUtils.h"
#include "installer/TextConversion.h"

namespace {

constexpr char kStagingFolder[] = "Orvia";
constexpr char kStagingFileName[] = "\\orvInstall.7z";

// Others may not write, delete or rename the file while it is open; with the delete access held
// and delete-on-close set, they cannot even open it unless they allow its deletion.
constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE | DELETE;
constexpr DWORD kShareWithOthers = FILE_SHARE_READ;

} // namespace

std::wstring StagingFile::DefaultPath() {
    const std::string folder = TempFolderPath(kStagingFolder);
    if (folder.empty())
        return {};
    return AnsiToWide(folder + kStagingFileName);
}

bool StagingFile::Create(const std::wstring& path, const void* data, std::size_t size) {
    Remove();
    if (path.empty())
        return false;
    // A leftover made read-only would refuse to be deleted.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    // CREATE_NEW rather than CREATE_ALWAYS: whatever another program puts at the path after the
    // delete (a link to a file elsewhere, say) makes the creation fail instead of being opened.
    // Delete-on-close removes the file even if the process is ended before Remove.
    m_file.reset(CreateFileW(path.c_str(), kAccess, kShareWithOthers, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!m_file)
        return false;
    m_path = path;
    const DWORD count = static_cast<DWORD>(size);
    DWORD written = 0;
    if (count != size || !WriteFile(m_file.get(), data, count, &written, nullptr) ||
        written != count) {
        Remove();
        return false;
    }
    return true;
}

void StagingFile::Remove() {
    if (!m_file)
        return;
    m_file.reset();
    // Normally gone already through delete-on-close; this covers a file system without it.
    DeleteFileW(m_path.c_str());
    m_path.clear();
}

#include "tools/un7z/Extractor.h"

#include "sevenzip/Archive.h"
#include "sevenzip/EntryReader.h"
#include "sevenzip/FileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <map>
#include <utility>
#include <vector>

namespace un7z {
namespace {

constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeUnixExtension = 0x8000; // high 16 bits hold st_mode
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string ToUtf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); i++) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            i++;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

bool WriteAll(int fd, const Byte* data, std::size_t size) {
    while (size != 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the entries below the root, from several threads at once: the folders made on the way
// are shared, and what each entry made is kept for taking it away again.
class Writer final : public sevenzip::EntryWriter {
public:
    Writer(const sevenzip::Archive& archive, std::string root)
        : m_archive(archive), m_root(std::move(root)), m_made(archive.EntryCount()),
          m_messages(archive.EntryCount()) {}

    int Write(std::uint32_t entry, sevenzip::EntryReader& reader) override {
        if (m_archive.IsAnti(entry))
            return SZ_OK;
        std::string path;
        if (!SafeRelativePath(m_archive.Name(entry), path) ||
            (path.empty() && !m_archive.IsDirectory(entry))) {
            m_messages[entry] = "unsafe entry name: " + ToUtf8(m_archive.Name(entry));
            return SZ_ERROR_ARCHIVE;
        }
        if (m_archive.IsDirectory(entry)) {
            // The output folder itself (an entry named ".") is left as it is.
            if (path.empty())
                return SZ_OK;
            if (!MakeFolders(entry, path)) {
                m_messages[entry] = "cannot create " + path;
                return SZ_ERROR_WRITE;
            }
            // Entries without data are written on one thread only.
            if (m_archive.AttributesDefined(entry))
                m_folderAttributes.emplace_back(path, m_archive.Attributes(entry));
            return SZ_OK;
        }
        const SRes res = WriteFile(entry, path, reader);
        if (res != SZ_OK) {
            m_messages[entry] =
                (res == SZ_ERROR_WRITE ? "cannot write " : "cannot extract ") + path;
            return res;
        }
        if (m_archive.AttributesDefined(entry))
            ApplyAttributes(path, m_archive.Attributes(entry));
        return SZ_OK;
    }

    void Completed(std::uint32_t) override {}

    void Remove(std::uint32_t entry) override {
        const Made& made = m_made[entry];
        if (!made.file.empty())
            unlink(made.file.c_str());
        // Only the folders no earlier entry needs; a folder with files left in it stays anyway.
        for (auto it = made.folders.rbegin(); it != made.folders.rend(); ++it)
            if (m_folders[*it] == entry)
                rmdir((m_root + "/" + *it).c_str());
    }

    // Folders get their attributes last, so that a read-only folder does not stop its own
    // contents from being written.
    void ApplyFolderAttributes() {
        for (auto it = m_folderAttributes.rbegin(); it != m_folderAttributes.rend(); ++it)
            ApplyAttributes(it->first, it->second);
    }

    std::string Message(std::uint32_t entry) const {
        return m_messages[entry].empty() ? "cannot extract " + ToUtf8(m_archive.Name(entry))
                                         : m_messages[entry];
    }

private:
    // What one entry made: its file and the folders (relative) that did not exist before it.
    struct Made {
        std::string file;
        std::vector<std::string> folders;
    };

    bool MakeFolders(std::uint32_t entry, const std::string& relative) {
        // Held across the mkdir: a thread that finds a folder listed may create files in it.
        std::lock_guard<std::mutex> lock(m_foldersMutex);
        std::size_t pos = 0;
        while (pos != std::string::npos) {
            pos = relative.find('/', pos + 1);
            std::string prefix = relative.substr(0, pos);
            auto found = m_folders.find(prefix);
            if (found != m_folders.end()) {
                found->second = std::min(found->second, entry);
                continue;
            }
            std::string full = m_root + "/" + prefix;
            if (mkdir(full.c_str(), 0777) == 0)
                m_made[entry].folders.push_back(prefix);
            else if (errno != EEXIST)
                return false;
            m_folders.emplace(std::move(prefix), entry);
        }
        return true;
    }

    // Writes the entry's bytes as they are decoded. A file that fails part way stays as far as
    // it was written. SZ_ERROR_WRITE when the file cannot be written; the reader's result when
    // the entry's data is bad.
    SRes WriteFile(std::uint32_t entry, const std::string& relative,
                   sevenzip::EntryReader& reader) {
        const Byte* data;
        std::size_t size;
        RINOK(reader.Read(entry, data, size));
        std::size_t slash = relative.rfind('/');
        if (slash != std::string::npos && !MakeFolders(entry, relative.substr(0, slash)))
            return SZ_ERROR_WRITE;
        std::string full = m_root + "/" + relative;
        int fd = open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return SZ_ERROR_WRITE;
        m_made[entry].file = full;
        SRes res = SZ_OK;
        while (size != 0 && res == SZ_OK) {
            if (!WriteAll(fd, data, size))
                res = SZ_ERROR_WRITE;
            else
                res = reader.Read(entry, data, size);
        }
        if (close(fd) != 0 && res == SZ_OK)
            res = SZ_ERROR_WRITE;
        return res;
    }

    // Windows archives only say read-only; Unix ones carry the whole mode. A mode without a file
    // type (as py7zr writes them) is not taken for one, as 7-Zip does not.
    void ApplyAttributes(const std::string& relative, std::uint32_t attributes) {
        std::string full = m_root + "/" + relative;
        struct stat info;
        if (stat(full.c_str(), &info) != 0)
            return;
        mode_t mode = info.st_mode & 07777;
        const std::uint32_t unixMode = attributes >> 16;
        if ((attributes & kAttributeUnixExtension) != 0 && (unixMode & S_IFMT) != 0)
            mode = static_cast<mode_t>(unixMode & 07777);
        else if ((attributes & kAttributeReadOnly) != 0)
            mode &= ~kWriteBits;
        if (mode != (info.st_mode & 07777))
            chmod(full.c_str(), mode);
    }

    const sevenzip::Archive& m_archive;
    std::string m_root;
    std::mutex m_foldersMutex;
    // Made or found, relative to the root, with the first entry in archive order that needs each.
    std::map<std::string, std::uint32_t> m_folders;
    std::vector<Made> m_made; // by entry; each written by the entry's thread alone
    std::vector<std::string> m_messages;
    std::vector<std::pair<std::string, std::uint32_t>> m_folderAttributes;
};

} // namespace

bool SafeRelativePath(const std::u16string& name, std::string& path) {
    const std::string whole = ToUtf8(name);
    path.clear();
    if (whole.empty() || whole[0] == '/' || (whole.size() >= 2 && whole[1] == ':'))
        return false;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = whole.find('/', start);
        std::string part = whole.substr(start, end == std::string::npos ? end : end - start);
        if (part.empty() || part == "..")
            return false;
        // "." names the folder it stands in, as some writers put it before every name.
        if (part != ".") {
            if (!path.empty())
                path += '/';
            path += part;
        }
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

SRes ExtractAll(const std::string& archivePath, const std::string& outputFolder,
                const sevenzip::ExtractionOptions& options, std::string& message,
                const sevenzip::Limits& limits) {
    sevenzip::FileSource source;
    if (source.Open(archivePath) != SZ_OK) {
        message = "cannot open " + archivePath;
        return SZ_ERROR_READ;
    }
    sevenzip::Archive archive;
    SRes res = archive.Open(source, limits);
    if (res != SZ_OK) {
        message = "cannot read the archive";
        return res;
    }
    std::error_code error;
    std::filesystem::create_directories(outputFolder, error);
    if (error) {
        message = "cannot create " + outputFolder;
        return SZ_ERROR_WRITE;
    }
    Writer writer(archive, outputFolder);
    const sevenzip::ExtractionResult outcome = sevenzip::ExtractEntries(archive, writer, options);
    if (outcome.result != SZ_OK) {
        message =
            outcome.result == SZ_ERROR_PROGRESS ? "stopped" : writer.Message(outcome.failingEntry);
        return outcome.result;
    }
    writer.ApplyFolderAttributes();
    return SZ_OK;
}

SRes ExtractAll(const std::string& archivePath, const std::string& outputFolder, bool overlap,
                std::string& message, const sevenzip::Limits& limits) {
    sevenzip::ExtractionOptions options;
    options.maxThreads = 1;
    options.overlap = overlap;
    return ExtractAll(archivePath, outputFolder, options, message, limits);
}

} // namespace un7z

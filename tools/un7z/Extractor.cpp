#include "tools/un7z/Extractor.h"

#include "sevenzip/Archive.h"
#include "sevenzip/EntryReader.h"
#include "sevenzip/FileSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
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

class Writer {
public:
    explicit Writer(std::string root) : m_root(std::move(root)) {}

    bool MakeFolders(const std::string& relative) {
        std::size_t pos = 0;
        while (pos != std::string::npos) {
            pos = relative.find('/', pos + 1);
            std::string prefix = relative.substr(0, pos);
            if (!m_made.insert(prefix).second)
                continue;
            std::string full = m_root + "/" + prefix;
            if (mkdir(full.c_str(), 0777) != 0 && errno != EEXIST)
                return false;
        }
        return true;
    }

    // Writes the entry's bytes as they are decoded. A file that fails part way stays as far as
    // it was written. SZ_ERROR_WRITE when the file cannot be written; the reader's result when
    // the entry's data is bad.
    SRes WriteFile(const std::string& relative, sevenzip::EntryReader& reader,
                   std::uint32_t entry) {
        const Byte* data;
        std::size_t size;
        RINOK(reader.Read(entry, data, size));
        std::size_t slash = relative.rfind('/');
        if (slash != std::string::npos && !MakeFolders(relative.substr(0, slash)))
            return SZ_ERROR_WRITE;
        std::string full = m_root + "/" + relative;
        int fd = open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return SZ_ERROR_WRITE;
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

private:
    std::string m_root;
    std::set<std::string> m_made;
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

SRes ExtractAll(const std::string& archivePath, const std::string& outputFolder, bool overlap,
                std::string& message, const sevenzip::Limits& limits) {
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
    Writer writer(outputFolder);
    sevenzip::EntryReader reader(archive, overlap);
    // Folders get their attributes last, so that a read-only folder does not stop its own
    // contents from being written.
    std::vector<std::pair<std::string, std::uint32_t>> folderAttributes;
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        if (archive.IsAnti(i))
            continue;
        std::string path;
        if (!SafeRelativePath(archive.Name(i), path) || (path.empty() && !archive.IsDirectory(i))) {
            message = "unsafe entry name: " + ToUtf8(archive.Name(i));
            return SZ_ERROR_ARCHIVE;
        }
        if (archive.IsDirectory(i)) {
            // The output folder itself (an entry named ".") is left as it is.
            if (path.empty())
                continue;
            if (!writer.MakeFolders(path)) {
                message = "cannot create " + path;
                return SZ_ERROR_WRITE;
            }
            if (archive.AttributesDefined(i))
                folderAttributes.emplace_back(path, archive.Attributes(i));
            continue;
        }
        res = writer.WriteFile(path, reader, i);
        if (res != SZ_OK) {
            message = (res == SZ_ERROR_WRITE ? "cannot write " : "cannot extract ") + path;
            return res;
        }
        if (archive.AttributesDefined(i))
            writer.ApplyAttributes(path, archive.Attributes(i));
    }
    for (auto it = folderAttributes.rbegin(); it != folderAttributes.rend(); ++it)
        writer.ApplyAttributes(it->first, it->second);
    return SZ_OK;
}

} // namespace un7z

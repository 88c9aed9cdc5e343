#include "tools/un7z/Extractor.h"

#include "sevenzip/Archive.h"
#include "sevenzip/BlockPipeline.h"
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

    bool WriteFile(const std::string& relative, const Byte* data, std::size_t size) {
        std::size_t slash = relative.rfind('/');
        if (slash != std::string::npos && !MakeFolders(relative.substr(0, slash)))
            return false;
        std::string full = m_root + "/" + relative;
        int fd = open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        bool ok = true;
        while (size != 0) {
            ssize_t n = write(fd, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = false;
                break;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return close(fd) == 0 && ok;
    }

    // Windows archives only say read-only; Unix ones carry the whole mode.
    void ApplyAttributes(const std::string& relative, std::uint32_t attributes) {
        std::string full = m_root + "/" + relative;
        struct stat info;
        if (stat(full.c_str(), &info) != 0)
            return;
        mode_t mode = info.st_mode & 07777;
        if ((attributes & kAttributeUnixExtension) != 0)
            mode = static_cast<mode_t>((attributes >> 16) & 07777);
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
    path = ToUtf8(name);
    if (path.empty() || path[0] == '/' || (path.size() >= 2 && path[1] == ':'))
        return false;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = path.find('/', start);
        std::string part = path.substr(start, end == std::string::npos ? end : end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

SRes ExtractAll(const std::string& archivePath, const std::string& outputFolder, bool overlap,
                std::string& message) {
    sevenzip::FileSource source;
    if (source.Open(archivePath) != SZ_OK) {
        message = "cannot open " + archivePath;
        return SZ_ERROR_READ;
    }
    sevenzip::Archive archive;
    SRes res = archive.Open(source);
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
    sevenzip::BlockPipeline blocks(archive, overlap);
    // Folders get their attributes last, so that a read-only folder does not stop its own
    // contents from being written.
    std::vector<std::pair<std::string, std::uint32_t>> folderAttributes;
    for (std::uint32_t i = 0; i < archive.EntryCount(); i++) {
        if (archive.IsAnti(i))
            continue;
        std::string path;
        if (!SafeRelativePath(archive.Name(i), path)) {
            message = "unsafe entry name: " + ToUtf8(archive.Name(i));
            return SZ_ERROR_ARCHIVE;
        }
        if (archive.IsDirectory(i)) {
            if (!writer.MakeFolders(path)) {
                message = "cannot create " + path;
                return SZ_ERROR_WRITE;
            }
            if (archive.AttributesDefined(i))
                folderAttributes.emplace_back(path, archive.Attributes(i));
            continue;
        }
        const Byte* data = nullptr;
        std::size_t size = 0;
        std::uint32_t block = archive.BlockOf(i);
        if (block != sevenzip::kNoBlock) {
            const sevenzip::BlockBuffer* buffer;
            res = blocks.Acquire(block, buffer);
            std::size_t offset = 0;
            if (res == SZ_OK)
                res = archive.Locate(i, *buffer, offset, size);
            if (res != SZ_OK) {
                message = "cannot extract " + path;
                return res;
            }
            data = buffer->Data() + offset;
        }
        if (!writer.WriteFile(path, data, size)) {
            message = "cannot write " + path;
            return SZ_ERROR_WRITE;
        }
        if (archive.AttributesDefined(i))
            writer.ApplyAttributes(path, archive.Attributes(i));
    }
    for (auto it = folderAttributes.rbegin(); it != folderAttributes.rend(); ++it)
        writer.ApplyAttributes(it->first, it->second);
    return SZ_OK;
}

} // namespace un7z

#include "tests/sevenzip/ArchiveFixtures.h"

#include <sys/stat.h>

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace fixtures {
namespace {

std::string Quote(const fs::path& path) {
    return "'" + path.string() + "'";
}

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; i++)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint64_t Le64(const std::uint8_t* p) {
    return Le32(p) | static_cast<std::uint64_t>(Le32(p + 4)) << 32;
}

std::uint32_t Crc(const std::uint8_t* p, std::size_t n) {
    return static_cast<std::uint32_t>(crc32_z(crc32_z(0, nullptr, 0), p, n));
}

// Compares in pieces: the files may be far larger than what a test should hold in memory.
bool SameBytes(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::file_size(a, error) != fs::file_size(b, error) || error)
        return false;
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    std::vector<char> x(1 << 20), y(1 << 20);
    while (first && second) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount() ||
            !std::equal(x.begin(), x.begin() + first.gcount(), y.begin()))
            return false;
    }
    return first.eof() && second.eof();
}

std::map<std::string, fs::path> Listing(const fs::path& root) {
    std::map<std::string, fs::path> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        entries[fs::relative(entry.path(), root).string()] = entry.path();
    return entries;
}

void PutNumber(std::vector<std::uint8_t>& out, std::uint64_t value) {
    // 7z numbers: as many leading one bits in the first byte as little-endian bytes follow.
    int extra = 0;
    while (extra < 8 && value >= (std::uint64_t{1} << (7 * (extra + 1))))
        extra++;
    const std::uint8_t lead = static_cast<std::uint8_t>(0xFF00 >> extra);
    if (extra == 8) {
        out.push_back(0xFF);
    } else {
        out.push_back(static_cast<std::uint8_t>(lead | (value >> (8 * extra))));
    }
    for (int i = 0; i < extra; i++)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutCrc(std::vector<std::uint8_t>& out, std::uint32_t crc) {
    for (int i = 0; i < 4; i++)
        out.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
}

std::uint32_t Crc(const std::string& data) {
    return Crc(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

} // namespace

void MakeSampleTree(const fs::path& root) {
    fs::create_directories(root / "bin");
    fs::create_directories(root / "文档" / "中文子目录");
    fs::create_directories(root / "empty folder");
    {
        // Real x86 code, so that the branch filters have calls and jumps to convert.
        std::ifstream self("/proc/self/exe", std::ios::binary);
        std::vector<char> code(256 * 1024);
        self.read(code.data(), static_cast<std::streamsize>(code.size()));
        std::ofstream(root / "bin" / "program.exe", std::ios::binary)
            .write(code.data(), self.gcount());
    }
    {
        std::ofstream text(root / "readme.txt", std::ios::binary);
        for (int i = 0; i < 20000; i++)
            text << "line " << i << " of the sample text, 样本 " << i * 7 % 13 << "\r\n";
    }
    {
        std::mt19937 random(7);
        std::ofstream noise(root / "bin" / "image.png", std::ios::binary);
        for (int i = 0; i < 70000; i++)
            noise.put(static_cast<char>(random()));
    }
    std::ofstream(root / "empty.dat").close();
    std::ofstream(root / "文档" / "中文子目录" / "说明.txt") << "你好，世界\n";
    std::ofstream(root / "readonly.ini") << "[setup]\nkeep=1\n";
    fs::permissions(root / "readonly.ini",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

void WriteRepeated(const fs::path& path, std::uint64_t size, const std::string& pattern) {
    std::string unit;
    while (unit.size() < (1u << 20))
        unit += pattern;
    unit.resize((1u << 20) / pattern.size() * pattern.size());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::uint64_t left = size; left > 0;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, unit.size()));
        out.write(unit.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
}

bool Pack(const fs::path& root, const fs::path& archive, const std::string& options) {
    return Run("cd " + Quote(root) + " && 7zz a -t7z " + options + " " + Quote(archive) + " ./*");
}

bool PackWithBsdtar(const fs::path& root, const fs::path& archive) {
    return Run("cd " + Quote(root) + " && bsdtar --format 7zip -cf " + Quote(archive) + " .");
}

bool PackWithPy7zr(const fs::path& root, const fs::path& archive) {
    // Debian's python3, which has the py7zr package (the python3 on PATH may not).
    return Run("cd " + Quote(root) + " && /usr/bin/python3 -m py7zr c " + Quote(archive) + " .");
}

bool UnpackWith7zz(const fs::path& archive, const fs::path& out) {
    return Run("7zz x -y -o" + Quote(out) + " " + Quote(archive));
}

std::string CompareTrees(const fs::path& expected, const fs::path& actual) {
    std::ostringstream differences;
    auto want = Listing(expected);
    auto have = Listing(actual);
    for (const auto& [name, path] : want) {
        auto found = have.find(name);
        if (found == have.end()) {
            differences << "missing " << name << "\n";
            continue;
        }
        if (fs::is_directory(path) != fs::is_directory(found->second)) {
            differences << "kind differs: " << name << "\n";
            continue;
        }
        struct stat a, b;
        if (stat(path.c_str(), &a) == 0 && stat(found->second.c_str(), &b) == 0 &&
            (a.st_mode & S_IWUSR) != (b.st_mode & S_IWUSR))
            differences << "write permission differs: " << name << "\n";
        if (!fs::is_directory(path) && !SameBytes(path, found->second))
            differences << "content differs: " << name << "\n";
    }
    for (const auto& [name, path] : have)
        if (want.count(name) == 0)
            differences << "unexpected " << name << "\n";
    return differences.str();
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void FixHeaderCrcs(std::vector<std::uint8_t>& archive) {
    const std::uint64_t offset = Le64(&archive[12]);
    const std::uint64_t size = Le64(&archive[20]);
    PutLe32(&archive[28], Crc(&archive[32 + offset], static_cast<std::size_t>(size)));
    PutLe32(&archive[8], Crc(&archive[12], 20));
}

std::vector<std::uint8_t> MakeStoredArchive(const std::vector<StoredBlock>& blocks) {
    enum : std::uint8_t {
        kEnd = 0x00,
        kHeader = 0x01,
        kMainStreamsInfo = 0x04,
        kFilesInfo = 0x05,
        kPackInfo = 0x06,
        kUnpackInfo = 0x07,
        kSubStreamsInfo = 0x08,
        kSize = 0x09,
        kCrc = 0x0A,
        kFolder = 0x0B,
        kCodersUnpackSize = 0x0C,
        kNumUnpackStream = 0x0D,
        kName = 0x11,
    };
    std::vector<std::uint8_t> bytes = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    bytes.resize(32, 0);
    std::vector<std::string> blockData;
    for (const StoredBlock& block : blocks) {
        std::string data;
        for (const StoredFile& file : block.files)
            data += file.data;
        bytes.insert(bytes.end(), data.begin(), data.end());
        blockData.push_back(data);
    }
    const std::size_t headerAt = bytes.size();

    std::vector<std::uint8_t> h = {kHeader, kMainStreamsInfo, kPackInfo};
    PutNumber(h, 0);
    PutNumber(h, blocks.size());
    h.push_back(kSize);
    for (const std::string& data : blockData)
        PutNumber(h, data.size());
    h.push_back(kEnd);
    h.push_back(kUnpackInfo);
    h.push_back(kFolder);
    PutNumber(h, blocks.size());
    h.push_back(0); // not external
    for (std::size_t b = 0; b < blocks.size(); b++)
        h.insert(h.end(), {0x01, 0x01, 0x00}); // one coder: simple, 1-byte id, Copy
    h.push_back(kCodersUnpackSize);
    for (const std::string& data : blockData)
        PutNumber(h, data.size());
    bool anyBlockCrc = false;
    for (const StoredBlock& block : blocks)
        anyBlockCrc = anyBlockCrc || block.blockCrc;
    if (anyBlockCrc) {
        h.push_back(kCrc);
        h.push_back(0); // not all defined: a bit per block follows
        std::uint8_t bits = 0;
        for (std::size_t b = 0; b < blocks.size(); b++)
            if (blocks[b].blockCrc)
                bits |= static_cast<std::uint8_t>(0x80 >> b); // at most 8 blocks
        h.push_back(bits);
        for (std::size_t b = 0; b < blocks.size(); b++)
            if (blocks[b].blockCrc)
                PutCrc(h, Crc(blockData[b]) ^ (blocks[b].blockCrcWrong ? 1u : 0u));
    }
    h.push_back(kEnd);
    h.push_back(kSubStreamsInfo);
    h.push_back(kNumUnpackStream);
    for (const StoredBlock& block : blocks)
        PutNumber(h, block.files.size());
    h.push_back(kSize);
    for (const StoredBlock& block : blocks)
        for (std::size_t f = 0; f + 1 < block.files.size(); f++)
            PutNumber(h, block.files[f].data.size());
    h.push_back(kCrc);
    h.push_back(1); // all defined
    for (const StoredBlock& block : blocks)
        if (!(block.files.size() == 1 && block.blockCrc))
            for (const StoredFile& file : block.files)
                PutCrc(h, Crc(file.data) ^ (file.crcWrong ? 1u : 0u));
    h.push_back(kEnd);
    h.push_back(kEnd); // end of the streams info

    std::vector<std::uint8_t> names = {0}; // not external
    std::size_t count = 0;
    for (const StoredBlock& block : blocks) {
        for (const StoredFile& file : block.files) {
            for (char16_t c : file.name) {
                names.push_back(static_cast<std::uint8_t>(c));
                names.push_back(static_cast<std::uint8_t>(c >> 8));
            }
            names.insert(names.end(), {0, 0});
            count++;
        }
    }
    h.push_back(kFilesInfo);
    PutNumber(h, count);
    h.push_back(kName);
    PutNumber(h, names.size());
    h.insert(h.end(), names.begin(), names.end());
    h.push_back(kEnd);
    h.push_back(kEnd);

    bytes.insert(bytes.end(), h.begin(), h.end());
    const std::uint64_t offset = headerAt - 32;
    for (int i = 0; i < 8; i++) {
        bytes[12 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
        bytes[20 + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(h.size()) >> (8 * i));
    }
    FixHeaderCrcs(bytes);
    return bytes;
}

bool RenameEntry(std::vector<std::uint8_t>& archive, const std::u16string& from,
                 const std::u16string& to) {
    if (from.size() != to.size())
        return false;
    std::vector<std::uint8_t> needle, replacement;
    for (std::size_t i = 0; i < from.size(); i++) {
        needle.push_back(static_cast<std::uint8_t>(from[i]));
        needle.push_back(static_cast<std::uint8_t>(from[i] >> 8));
        replacement.push_back(static_cast<std::uint8_t>(to[i]));
        replacement.push_back(static_cast<std::uint8_t>(to[i] >> 8));
    }
    auto found = std::search(archive.begin() + 32, archive.end(), needle.begin(), needle.end());
    if (found == archive.end())
        return false;
    std::copy(replacement.begin(), replacement.end(), found);
    FixHeaderCrcs(archive);
    return true;
}

} // namespace fixtures

#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

// Writes small zip archives for tests: stored or deflated items, no comment, no extra fields.
class ZipBuilder {
public:
    void Add(const std::string& name, const std::string& content, bool deflate = true) {
        std::vector<std::uint8_t> data(content.begin(), content.end());
        std::vector<std::uint8_t> packed = deflate ? Deflate(data) : data;
        std::uint32_t crc = static_cast<std::uint32_t>(crc32(
            0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
        Item item{name,
                  deflate ? std::uint16_t{8} : std::uint16_t{0},
                  crc,
                  static_cast<std::uint32_t>(packed.size()),
                  static_cast<std::uint32_t>(content.size()),
                  static_cast<std::uint32_t>(m_bytes.size())};
        Put32(0x04034b50);
        Put16(20);
        Put16(0);
        Put16(item.method);
        Put16(0);
        Put16(0);
        Put32(item.crc);
        Put32(item.packedSize);
        Put32(item.size);
        Put16(static_cast<std::uint16_t>(name.size()));
        Put16(0);
        m_bytes.insert(m_bytes.end(), name.begin(), name.end());
        m_bytes.insert(m_bytes.end(), packed.begin(), packed.end());
        m_items.push_back(item);
    }

    std::vector<std::uint8_t> Finish() {
        std::uint32_t directoryOffset = static_cast<std::uint32_t>(m_bytes.size());
        for (const Item& item : m_items) {
            Put32(0x02014b50);
            Put16(20);
            Put16(20);
            Put16(0);
            Put16(item.method);
            Put16(0);
            Put16(0);
            Put32(item.crc);
            Put32(item.packedSize);
            Put32(item.size);
            Put16(static_cast<std::uint16_t>(item.name.size()));
            Put16(0);
            Put16(0);
            Put16(0);
            Put16(0);
            Put32(0);
            Put32(item.offset);
            m_bytes.insert(m_bytes.end(), item.name.begin(), item.name.end());
        }
        std::uint32_t directorySize = static_cast<std::uint32_t>(m_bytes.size()) - directoryOffset;
        Put32(0x06054b50);
        Put16(0);
        Put16(0);
        Put16(static_cast<std::uint16_t>(m_items.size()));
        Put16(static_cast<std::uint16_t>(m_items.size()));
        Put32(directorySize);
        Put32(directoryOffset);
        Put16(0);
        return m_bytes;
    }

private:
    struct Item {
        std::string name;
        std::uint16_t method;
        std::uint32_t crc, packedSize, size, offset;
    };

    static std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data) {
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(data.size())) + 16);
        z.next_in = const_cast<Bytef*>(data.data());
        z.avail_in = static_cast<uInt>(data.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_FINISH);
        out.resize(z.total_out);
        deflateEnd(&z);
        return out;
    }

    void Put16(std::uint16_t v) {
        m_bytes.push_back(static_cast<std::uint8_t>(v));
        m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Put32(std::uint32_t v) {
        Put16(static_cast<std::uint16_t>(v));
        Put16(static_cast<std::uint16_t>(v >> 16));
    }

    std::vector<std::uint8_t> m_bytes;
    std::vector<Item> m_items;
};

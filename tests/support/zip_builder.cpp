// SPDX-License-Identifier: Apache-2.0
#include "tests/support/zip_builder.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

namespace quorvane::testing {
namespace {

void put(std::string& out, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i) out.push_back(char(value >> (8 * i)));
}

}  // namespace

std::string deflateRaw(const std::string& content)
{
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, uLong(content.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
    z.avail_in = uInt(content.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int status = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END) throw std::runtime_error("deflate");
    return out;
}

std::vector<std::byte> bytesOf(const std::string& text)
{
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return std::vector<std::byte>(data, data + text.size());
}

std::string textOf(std::span<const std::byte> bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string extraBlock(std::uint16_t id, const std::string& data)
{
    std::string block;
    put(block, id, 2);
    put(block, data.size(), 2);
    return block + data;
}

std::string buildZip(const std::vector<ZipBuilderEntry>& entries, const ZipBuildOptions& options)
{
    std::string out = options.prefix;
    std::string central;
    const auto add = [&](const ZipBuilderEntry& e) {
        const std::string data = e.deflate ? deflateRaw(e.content) : e.content;
        const std::uint32_t crc =
            e.statedCrc.value_or(std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(e.content.data()), uInt(e.content.size()))));
        const std::uint64_t size = e.statedSize.value_or(std::uint32_t(e.content.size()));
        const std::uint64_t offset = out.size();
        const std::uint16_t flags = e.dataDescriptor ? 0x0008 : 0;
        const std::uint16_t method = e.deflate ? 8 : 0;
        const std::uint16_t version = options.zip64 ? 45 : 20;

        std::string localExtra = e.localExtra;
        if (options.zip64) {
            std::string sizes;
            put(sizes, e.dataDescriptor ? 0 : size, 8);
            put(sizes, e.dataDescriptor ? 0 : data.size(), 8);
            localExtra = extraBlock(0x0001, sizes) + localExtra;
        }
        put(out, 0x04034b50, 4);
        put(out, version, 2);
        put(out, flags, 2);
        put(out, method, 2);
        put(out, 0x6000, 2);  // 12:00
        put(out, 0x5821, 2);  // 2024-01-01
        put(out, e.dataDescriptor ? 0 : crc, 4);
        put(out, options.zip64 ? 0xFFFFFFFF : (e.dataDescriptor ? 0 : data.size()), 4);
        put(out, options.zip64 ? 0xFFFFFFFF : (e.dataDescriptor ? 0 : size), 4);
        put(out, e.name.size(), 2);
        put(out, localExtra.size(), 2);
        out += e.name + localExtra + data;
        if (e.dataDescriptor) {
            put(out, 0x08074b50, 4);
            put(out, crc, 4);
            put(out, data.size(), options.zip64 ? 8 : 4);
            put(out, size, options.zip64 ? 8 : 4);
        }

        std::string centralExtra = e.centralExtra;
        if (options.zip64) {
            std::string values;
            put(values, size, 8);
            put(values, data.size(), 8);
            put(values, offset, 8);
            centralExtra = extraBlock(0x0001, values) + centralExtra;
        }
        put(central, 0x02014b50, 4);
        put(central, 0x031e, 2);  // made by: Unix, 3.0
        put(central, version, 2);
        put(central, flags, 2);
        put(central, method, 2);
        put(central, 0x6000, 2);
        put(central, 0x5821, 2);
        put(central, crc, 4);
        put(central, options.zip64 ? 0xFFFFFFFF : data.size(), 4);
        put(central, options.zip64 ? 0xFFFFFFFF : size, 4);
        put(central, e.name.size(), 2);
        put(central, centralExtra.size(), 2);
        put(central, e.comment.size(), 2);
        put(central, 0, 2);
        put(central, 0, 2);
        put(central, 0100644u << 16, 4);
        put(central, options.zip64 ? 0xFFFFFFFF : offset, 4);
        central += e.name + centralExtra + e.comment;
    };
    for (const ZipBuilderEntry& e : entries) add(e);
    ZipBuilderEntry empty{.name = "", .content = "", .deflate = false};
    for (std::size_t i = 0; i < options.emptyEntries; ++i) {
        char name[17];
        std::snprintf(name, sizeof name, "%016zx", i);
        empty.name = name;
        add(empty);
    }
    const std::size_t entryCount = entries.size() + options.emptyEntries;
    const std::uint64_t centralOffset = out.size();
    out += central;
    if (options.zip64) {
        const std::uint64_t recordOffset = out.size();
        put(out, 0x06064b50, 4);
        put(out, 44, 8);
        put(out, 45, 2);
        put(out, 45, 2);
        put(out, 0, 4);
        put(out, 0, 4);
        put(out, entryCount, 8);
        put(out, entryCount, 8);
        put(out, central.size(), 8);
        put(out, centralOffset, 8);
        put(out, 0x07064b50, 4);
        put(out, 0, 4);
        put(out, recordOffset, 8);
        put(out, 1, 4);
    }
    put(out, 0x06054b50, 4);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, options.zip64 ? 0xFFFF : entryCount, 2);
    put(out, options.zip64 ? 0xFFFF : entryCount, 2);
    put(out, options.zip64 ? 0xFFFFFFFF : central.size(), 4);
    put(out, options.zip64 ? 0xFFFFFFFF : centralOffset, 4);
    put(out, options.comment.size(), 2);
    out += options.comment;
    return out;
}

}  // namespace quorvane::testing

// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/dos_attrib.h"

#include <algorithm>
#include <cstdio>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace quorvane::fileinfo {
namespace {

constexpr std::uint16_t kWrittenVersion = 3;

std::size_t roundUp(std::size_t offset, std::size_t alignment) { return (offset + alignment - 1) / alignment * alignment; }

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "0x" followed by one to eight hex digits and nothing else (the prefix may be left out, as
// Samba's sscanf("%x") allows).
std::optional<AttributeWord> parseHexText(std::span<const std::byte> text)
{
    std::size_t position = 0;
    if (text.size() >= 2 && char(text[0]) == '0' && (char(text[1]) == 'x' || char(text[1]) == 'X')) position = 2;
    const std::size_t digitCount = text.size() - position;
    if (digitCount == 0 || digitCount > 8) return std::nullopt;
    AttributeWord word = 0;
    for (; position < text.size(); ++position) {
        const int digit = hexDigitValue(char(text[position]));
        if (digit < 0) return std::nullopt;
        word = (word << 4) | AttributeWord(digit);
    }
    return word;
}

std::optional<convert::FileTime> knownTime(convert::FileTime time)
{
    return time == 0 ? std::nullopt : std::optional<convert::FileTime>(time);
}

}  // namespace

std::optional<DosAttrib> parseDosAttrib(std::span<const std::byte> value)
{
    if (value.empty() || value.size() > kMaxDosAttribBytes) return std::nullopt;
    const auto nul = std::find(value.begin(), value.end(), std::byte{0});
    const std::size_t textLength = std::size_t(nul - value.begin());
    const auto text = value.first(textLength);

    // The legacy form ends with its text (and at most the text's NUL).
    if (textLength + 1 >= value.size()) {
        const auto word = parseHexText(text);
        if (!word) return std::nullopt;
        return DosAttrib{*word, std::nullopt};
    }

    // NDR: the string, padding to 2, the version twice (the union's discriminant is encoded
    // again), padding to 4, then the body of that version.
    ByteReader reader(value);
    reader.seek(roundUp(textLength + 1, 2));
    const std::uint16_t version = reader.u16();
    const std::uint16_t discriminant = reader.u16();
    reader.seek(roundUp(reader.position(), 4));
    if (!reader.ok() || version != discriminant) return std::nullopt;

    DosAttrib result;
    std::uint32_t validFlags = kDosInfoAttrib;
    convert::FileTime createTime = 0;
    switch (version) {
    case 1:  // attrib, ea_size, size, alloc_size, create_time, change_time
        result.attributes = reader.u32();
        reader.skip(4 + 8 + 8);
        createTime = reader.u64();
        reader.skip(8);
        validFlags |= kDosInfoCreateTime;
        break;
    case 2:  // flags, attrib, ...: only the attribute is taken from this layout, as Samba does
        reader.skip(4);
        result.attributes = reader.u32();
        break;
    case 3:  // valid_flags, attrib, ea_size, size, alloc_size, create_time, change_time
        validFlags = reader.u32();
        result.attributes = reader.u32();
        reader.skip(4 + 8 + 8);
        createTime = reader.u64();
        reader.skip(8);
        break;
    case 4:  // valid_flags, attrib, itime, create_time
        validFlags = reader.u32();
        result.attributes = reader.u32();
        reader.skip(8);
        createTime = reader.u64();
        break;
    case 5:  // valid_flags, attrib, create_time
        validFlags = reader.u32();
        result.attributes = reader.u32();
        createTime = reader.u64();
        break;
    default:
        return std::nullopt;
    }
    if (!reader.ok()) return std::nullopt;

    if (!(validFlags & kDosInfoAttrib)) result.attributes = parseHexText(text).value_or(0);
    if (validFlags & kDosInfoCreateTime) result.creationTime = knownTime(createTime);
    return result;
}

std::vector<std::byte> encodeDosAttrib(const DosAttrib& dosAttrib)
{
    char text[16];
    const int textLength = std::snprintf(text, sizeof text, "0x%x", unsigned(dosAttrib.attributes));

    std::vector<std::byte> value;
    ByteWriter writer(value);
    writer.bytes(std::as_bytes(std::span(text, std::size_t(textLength) + 1)));  // with its NUL
    writer.padTo(2);
    writer.u16(kWrittenVersion);
    writer.u16(kWrittenVersion);
    writer.padTo(4);
    writer.u32(kDosInfoAttrib | (dosAttrib.creationTime ? kDosInfoCreateTime : 0));
    writer.u32(dosAttrib.attributes);
    writer.u32(0);                                 // ea_size
    writer.u64(0);                                 // size
    writer.u64(0);                                 // alloc_size
    writer.u64(dosAttrib.creationTime.value_or(0));
    writer.u64(0);                                 // change_time
    return value;
}

}  // namespace quorvane::fileinfo

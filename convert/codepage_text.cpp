// SPDX-License-Identifier: Apache-2.0
#include "convert/codepage_text.h"

#include <cerrno>
#include <iconv.h>

#include <algorithm>

#include "convert/windows_1252.h"

namespace quorvane::convert {
namespace {

constexpr std::uint16_t kCodePageVietnamese = 1258;

std::string iconvName(std::uint16_t codePage)
{
    switch (codePage) {
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 65001: return "UTF-8";
    case 10000: return "MACINTOSH";
    case 10007: return "MAC-CYRILLIC";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    case 54936: return "GB18030";
    case 28603: return "ISO-8859-13";
    case 28605: return "ISO-8859-15";
    default: break;
    }
    if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

// Owner of an iconv descriptor.
class Converter {
public:
    Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter()
    {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; on an invalid or unmappable input sequence calls `onBad` with the
    // output so far and the input from that sequence on; it returns how many input bytes to
    // skip (0 = give up).
    template <typename OnBad>
    bool run(std::span<const std::byte> in, std::string& out, OnBad onBad)
    {
        char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
        std::size_t inLeft = in.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, std::size_t(outPtr - buffer));
            if (result != std::size_t(-1)) continue;
            if (errno == E2BIG) continue;
            const std::size_t skip = onBad(out, std::span(reinterpret_cast<const std::byte*>(inPtr), inLeft));
            if (skip == 0) return false;
            const std::size_t skipped = std::min(skip, inLeft);
            inPtr += skipped;
            inLeft -= skipped;
        }
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);  // shift state back to the initial one
        out.append(buffer, std::size_t(outPtr - buffer));
        return true;
    }

private:
    iconv_t cd_;
};

// Windows' tables of its ANSI code pages map each byte 0x80..0x9F that the page leaves
// unassigned to the C1 control of the same number (code page 1252: 0x81, 0x8D, 0x8F, 0x90,
// 0x9D), both ways; iconv has no mapping for them. The WHATWG Encoding Standard's indexes of
// windows-874 and windows-1250..1258 record the same. True for such a byte of such a page.
bool isC1Byte(std::uint16_t codePage, std::uint8_t byte)
{
    if (byte < 0x80 || byte > 0x9F) return false;
    if (codePage != 874 && (codePage < 1250 || codePage > 1258)) return false;
    Converter converter("UTF-8", iconvName(codePage));
    if (!converter.ok()) return false;
    const std::byte single[] = {std::byte{byte}};
    std::string decoded;
    return !converter.run(single, decoded, [](std::string&, std::span<const std::byte>) { return std::size_t(0); });
}

}  // namespace

std::string decodeCodePage(std::span<const std::byte> bytes, std::uint16_t codePage)
{
    if (codePage == kCodePageWindowsLatin1) return decodeWindows1252(bytes);
    Converter converter("UTF-8", iconvName(codePage));
    if (!converter.ok()) return decodeCodePage(bytes, kCodePageWindowsLatin1);
    std::string utf8;
    const std::size_t unit = codePage == kCodePageUtf16 || codePage == 1201 ? 2 : 1;
    const auto onUndefined = [unit, codePage](std::string& out, std::span<const std::byte> rest) {
        const auto byte = std::uint8_t(rest.front());
        if (unit == 1 && isC1Byte(codePage, byte)) {
            out += {'\xC2', char(byte)};  // U+0080..U+009F in UTF-8
        } else {
            out += "\xEF\xBF\xBD";
        }
        return unit;
    };
    if (codePage != kCodePageVietnamese) {
        converter.run(bytes, utf8, onUndefined);
        return utf8;
    }
    // iconv's 1258 joins a letter and the combining mark after it into one precomposed
    // character, which encodes back as a different byte ("A" 0xCC comes back as 0xC0). Windows
    // maps each byte on its own; so does a conversion of one byte at a time.
    for (std::size_t i = 0; i < bytes.size(); ++i) converter.run(bytes.subspan(i, 1), utf8, onUndefined);
    return utf8;
}

std::optional<std::vector<std::byte>> encodeCodePage(std::string_view utf8, std::uint16_t codePage)
{
    if (codePage == kCodePageWindowsLatin1) return encodeWindows1252(utf8);
    Converter converter(iconvName(codePage), "UTF-8");
    if (!converter.ok()) return std::nullopt;
    std::string encoded;
    const auto* data = reinterpret_cast<const std::byte*>(utf8.data());
    const auto onUnmappable = [codePage](std::string& out, std::span<const std::byte> rest) {
        if (rest.size() < 2 || rest[0] != std::byte{0xC2}) return std::size_t(0);
        const auto byte = std::uint8_t(rest[1]);
        if (!isC1Byte(codePage, byte)) return std::size_t(0);
        out += char(byte);
        return std::size_t(2);
    };
    if (!converter.run(std::span(data, utf8.size()), encoded, onUnmappable))
        return std::nullopt;
    const auto* begin = reinterpret_cast<const std::byte*>(encoded.data());
    return std::vector<std::byte>(begin, begin + encoded.size());
}

}  // namespace quorvane::convert

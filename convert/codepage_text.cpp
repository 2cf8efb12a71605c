#include "convert/codepage_text.h"

#include <cerrno>
#include <iconv.h>

#include <algorithm>

namespace quorvane::convert {
namespace {

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

    // Converts all of `in`; on an invalid or unmappable input sequence calls `onBad`, which
    // returns how many input bytes to skip (0 = give up).
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
            const std::size_t skip = onBad(out);
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

}  // namespace

std::string decodeCodePage(std::span<const std::byte> bytes, std::uint16_t codePage)
{
    Converter converter("UTF-8", iconvName(codePage));
    if (!converter.ok()) return decodeCodePage(bytes, kCodePageWindowsLatin1);
    std::string utf8;
    const std::size_t unit = codePage == kCodePageUtf16 || codePage == 1201 ? 2 : 1;
    converter.run(bytes, utf8, [unit](std::string& out) {
        out += "\xEF\xBF\xBD";
        return unit;
    });
    return utf8;
}

std::optional<std::vector<std::byte>> encodeCodePage(std::string_view utf8, std::uint16_t codePage)
{
    Converter converter(iconvName(codePage), "UTF-8");
    if (!converter.ok()) return std::nullopt;
    std::string encoded;
    const auto* data = reinterpret_cast<const std::byte*>(utf8.data());
    if (!converter.run(std::span(data, utf8.size()), encoded, [](std::string&) { return std::size_t(0); }))
        return std::nullopt;
    const auto* begin = reinterpret_cast<const std::byte*>(encoded.data());
    return std::vector<std::byte>(begin, begin + encoded.size());
}

}  // namespace quorvane::convert

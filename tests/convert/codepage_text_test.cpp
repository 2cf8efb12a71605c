// SPDX-License-Identifier: Apache-2.0
// Code-page text: every byte of every single-byte code page comes back unchanged through
// decoding and encoding, so a value that is not edited is written back byte for byte.
#include <gtest/gtest.h>

#include <iconv.h>

#include <set>

#include "convert/codepage_text.h"
#include "convert/windows_1252.h"

namespace quorvane::convert {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

struct SingleBytePage {
    std::uint16_t codePage;
    // Bytes that glibc's iconv (the conversion on this platform) does not define for the page;
    // they decode to U+FFFD and are left out of the round trip. None lies in 0x80..0x9F of a
    // Windows ANSI page (874, 1250..1258): those map to the C1 controls.
    std::set<int> undefined;
};

std::set<int> byteRange(int first, int last)
{
    std::set<int> bytes;
    for (int b = first; b <= last; ++b) bytes.insert(b);
    return bytes;
}

// The single-byte Windows code page identifiers that the conversion maps to an iconv name.
const SingleBytePage kPages[] = {
    {437, {}}, {500, {}}, {737, {}}, {775, {}}, {850, {}}, {852, {}}, {855, {}},
    {857, {0xD5, 0xE7, 0xF2}}, {858, {}}, {860, {}}, {861, {}}, {862, {}}, {863, {}},
    {864, {0x9B, 0x9C, 0x9F, 0xA6, 0xA7, 0xFF}}, {865, {}}, {866, {}},
    {869, {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x87, 0x93, 0x94}}, {870, {}},
    {874, {0xDB, 0xDC, 0xDD, 0xDE, 0xFC, 0xFD, 0xFE, 0xFF}}, {875, {0x6A, 0xDC, 0xE1, 0xEC, 0xED, 0xFC, 0xFD}}, {1026, {}}, {1047, {}},
    {1140, {}}, {1141, {}}, {1142, {}}, {1143, {}}, {1144, {}}, {1145, {}}, {1146, {}}, {1147, {}},
    {1148, {}}, {1149, {}},
    {1250, {}}, {1251, {}}, {1252, {}}, {1253, {0xAA, 0xD2, 0xFF}}, {1254, {}},
    {1255, {0xCA, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF}}, {1256, {}},
    {1257, {0xA1, 0xA5}}, {1258, {}},
    {10000, {}}, {10007, {}}, {20127, byteRange(0x80, 0xFF)}, {20866, {}}, {21866, {}},
    {28591, {}}, {28592, {}}, {28593, {0xA5, 0xAE, 0xBE, 0xC3, 0xD0, 0xE3, 0xF0}}, {28594, {}}, {28595, {}},
    {28596, {0xA1, 0xA2, 0xA3, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2,
             0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBC, 0xBD, 0xBE, 0xC0, 0xDB, 0xDC, 0xDD,
             0xDE, 0xDF, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF}},
    {28597, {0xAE, 0xD2, 0xFF}},
    {28598, [] {
         std::set<int> bytes = byteRange(0xBF, 0xDE);
         bytes.insert({0xA1, 0xFB, 0xFC, 0xFF});
         return bytes;
     }()},
    {28599, {}}, {28603, {}}, {28605, {}},
};

std::vector<std::byte> bytesOf(std::string_view text)
{
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return {data, data + text.size()};
}

TEST(CodePageText, EveryDefinedByteOfEverySingleBytePageRoundTrips)
{
    for (const SingleBytePage& page : kPages) {
        // A page iconv does not know decodes as 1252 but fails to encode: it would fail here.
        EXPECT_TRUE(encodeCodePage("A", page.codePage)) << page.codePage << " is not known";
        std::vector<std::byte> allDefined;
        for (int b = 0; b < 256; ++b) {
            const std::vector<std::byte> single{std::byte(b)};
            const std::string text = decodeCodePage(single, page.codePage);
            if (page.undefined.contains(b)) {
                EXPECT_EQ(text, kReplacement) << page.codePage << " byte " << b << " is defined after all";
                continue;
            }
            EXPECT_NE(text, kReplacement) << page.codePage << " byte " << b;
            EXPECT_EQ(encodeCodePage(text, page.codePage), single) << page.codePage << " byte " << b;
            allDefined.push_back(std::byte(b));
        }
        // All at once too: a conversion that combines neighbours (1258) must still come back.
        EXPECT_EQ(encodeCodePage(decodeCodePage(allDefined, page.codePage), page.codePage), allDefined)
            << page.codePage;
    }
}

TEST(CodePageText, UnassignedWindows1252BytesAreTheirC1Controls)
{
    const std::string text = decodeCodePage(bytesOf("a\x81\x8D\x8F\x90\x9D\x80z"), kCodePageWindowsLatin1);
    EXPECT_EQ(text, "a\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xE2\x82\xAC" "z");
    // U+0080 has no byte: 0x80 is the euro sign. A C1 control has none in a page that assigns
    // its byte, nor in one whose tables do not use the C1 controls.
    EXPECT_FALSE(encodeCodePage("\xC2\x80", kCodePageWindowsLatin1));
    EXPECT_FALSE(encodeCodePage("\xC2\x81", 437));
    EXPECT_FALSE(encodeCodePage("\xC2\x8A", 1250));
    EXPECT_EQ(encodeCodePage("\xC2\x81", 1250), bytesOf("\x81"));
    EXPECT_EQ(decodeCodePage(bytesOf("\x81"), 20127), kReplacement);
}

// glibc's iconv conversion of `in` from `from` to `to`; nullopt where it has none.
std::optional<std::string> iconvConverted(const char* to, const char* from, std::string in)
{
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(4 * in.size() + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool converted = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != std::size_t(-1);
    iconv_close(converter);
    if (!converted) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

// The page's own table agrees with iconv's CP1252 on every byte and every character of the
// Basic Multilingual Plane, but for the five unassigned bytes, which are their C1 controls.
TEST(CodePageText, TheTableOf1252AgreesWithIconvButForTheUnassignedBytes)
{
    const std::set<int> unassigned = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
    for (int b = 0; b < 256; ++b) {
        const std::vector<std::byte> single{std::byte(b)};
        const std::optional<std::string> expected = unassigned.contains(b)
            ? std::optional<std::string>(std::string{'\xC2', char(b)}) : iconvConverted("UTF-8", "CP1252", std::string(1, char(b)));
        EXPECT_EQ(decodeWindows1252(single), expected.value_or("")) << "byte " << b;
    }
    for (char32_t codePoint = 1; codePoint < 0x10000; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) continue;
        const char16_t unit = char16_t(codePoint);  // UTF-16LE on this machine
        const std::string utf8 = decodeCodePage(std::span(reinterpret_cast<const std::byte*>(&unit), 2), kCodePageUtf16);
        std::optional<std::string> expected = iconvConverted("CP1252", "UTF-8", utf8);
        if (unassigned.contains(int(codePoint))) expected = std::string(1, char(codePoint));
        const std::optional<std::vector<std::byte>> encoded = encodeWindows1252(utf8);
        ASSERT_EQ(encoded.has_value(), expected.has_value()) << "U+" << std::hex << unsigned(codePoint);
        if (encoded) {
            EXPECT_EQ(*encoded, bytesOf(*expected)) << "U+" << std::hex << unsigned(codePoint);
        }
    }
    EXPECT_FALSE(encodeWindows1252("a\xC3"));        // a sequence cut short
    EXPECT_FALSE(encodeWindows1252("\xC0\xA0"));     // an overlong form
}

}  // namespace
}  // namespace quorvane::convert

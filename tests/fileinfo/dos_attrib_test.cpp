// SPDX-License-Identifier: Apache-2.0
// The user.DOSATTRIB codec against byte examples made by Samba 4.17's own NDR encoder and
// hand-built values of the other layouts, and what we write against the readers of Samba
// (binary part) and Wine (hex text up to the NUL).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "fileinfo/dos_attrib.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

using testing::bytesFromHex;

std::vector<std::byte> valueOf(const std::string& raw)
{
    const auto* first = reinterpret_cast<const std::byte*>(raw.data());
    return {first, first + raw.size()};
}

std::string hexOf(const std::vector<std::byte>& bytes)
{
    std::string text;
    char buffer[4];
    for (const std::byte b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02x ", unsigned(b));
        text += buffer;
    }
    return text;
}

// Wine's rule (dlls/ntdll/unix/file.c): the value must start with "0x" and parse as hex in its
// entirety up to the first NUL; anything else is ignored.
std::optional<std::uint32_t> wineReads(const std::vector<std::byte>& value)
{
    const std::string raw(reinterpret_cast<const char*>(value.data()), value.size());
    const std::string text = raw.substr(0, raw.find('\0'));
    if (text.size() < 3 || text.compare(0, 2, "0x") != 0) return std::nullopt;
    char* end = nullptr;
    const unsigned long word = std::strtoul(text.c_str() + 2, &end, 16);
    if (*end != '\0') return std::nullopt;
    return std::uint32_t(word);
}

constexpr convert::FileTime kSambaTime = 0x0123456789ABCDEF;

struct ReadCase {
    const char* name;
    std::string hex;
    AttributeWord attributes;
    std::optional<convert::FileTime> creationTime;
};

TEST(DosAttribRead, ReadsEveryLayout)
{
    const ReadCase cases[] = {
        {"samba legacy text", "30 78 32 32", 0x22, std::nullopt},
        {"legacy text with its NUL", "30 78 32 30 30 30 00", 0x2000, std::nullopt},
        {"legacy text, capital X", "30 58 31 66", 0x1f, std::nullopt},
        {"samba v3, create time valid",
         "30 78 32 30 00 | 00 | 03 00 | 03 00 | 00 00 | 11 00 00 00 | 20 00 00 00 | 00 00 00 00 |"
         "00 00 00 00 00 00 00 00 | 00 00 00 00 00 00 00 00 | EF CD AB 89 67 45 23 01 | 00 00 00 00 00 00 00 00",
         0x20, kSambaTime},
        {"samba v3, four-byte text needs no pad",
         "30 78 32 00 | 03 00 | 03 00 | 11 00 00 00 | 02 00 00 00 | 00 00 00 00 |"
         "00 00 00 00 00 00 00 00 | 00 00 00 00 00 00 00 00 | EF CD AB 89 67 45 23 01 | 00 00 00 00 00 00 00 00",
         0x02, kSambaTime},
        {"samba v5", "00 | 00 | 05 00 | 05 00 | 00 00 | 11 00 00 00 | 20 00 00 00 | EF CD AB 89 67 45 23 01", 0x20,
         kSambaTime},
        {"v5 without the create-time flag", "00 | 00 | 05 00 | 05 00 | 00 00 | 01 00 00 00 | 26 00 00 00 | EF CD AB 89 67 45 23 01",
         0x26, std::nullopt},
        {"v5 with a zero create time", "00 | 00 | 05 00 | 05 00 | 00 00 | 11 00 00 00 | 04 20 00 00 | 00 00 00 00 00 00 00 00",
         0x2004, std::nullopt},
        {"v4", "00 | 00 | 04 00 | 04 00 | 00 00 | 11 00 00 00 | 06 00 00 00 | 99 99 99 99 99 99 99 99 | EF CD AB 89 67 45 23 01",
         0x06, kSambaTime},
        {"v1 always carries its create time",
         "30 78 32 31 00 | 00 | 01 00 | 01 00 | 00 00 | 21 00 00 00 | 00 00 00 00 | 00 00 00 00 00 00 00 00 |"
         "00 00 00 00 00 00 00 00 | 88 77 66 55 44 33 22 11 | 00 00 00 00 00 00 00 00",
         0x21, 0x1122334455667788},
        {"v2 gives its attribute only", "30 78 32 00 | 02 00 | 02 00 | 01 00 00 00 | 02 20 00 00", 0x2002, std::nullopt},
        {"binary attribute wins over the text",
         "30 78 37 00 | 05 00 | 05 00 | 01 00 00 00 | 20 00 00 00 | 00 00 00 00 00 00 00 00", 0x20, std::nullopt},
        {"v3 without the attribute flag falls back to the text",
         "30 78 32 00 | 03 00 | 03 00 | 10 00 00 00 | 00 00 00 00 | 00 00 00 00 |"
         "00 00 00 00 00 00 00 00 | 00 00 00 00 00 00 00 00 | EF CD AB 89 67 45 23 01 | 00 00 00 00 00 00 00 00",
         0x02, kSambaTime},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseDosAttrib(valueOf(bytesFromHex(c.hex)));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->attributes, c.attributes);
        EXPECT_EQ(parsed->creationTime, c.creationTime);
    }
}

TEST(DosAttribRead, RefusesWhatFitsNoLayout)
{
    const std::string samba56 = bytesFromHex(
        "30 78 32 30 00 00 03 00 03 00 00 00 11 00 00 00 20 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 EF CD AB 89 67 45 23 01 00 00 00 00 00 00 00 00");
    const struct {
        const char* name;
        std::string raw;
    } cases[] = {
        {"empty", ""},
        {"prefix without digits", "0x"},
        {"not hex", "0xZZ"},
        {"nine hex digits overflow the word", "0x123456789"},
        {"blank inside the text", "0x 20"},
        {"binary part cut by one byte", samba56.substr(0, samba56.size() - 1)},
        {"binary part cut inside the version", samba56.substr(0, 7)},
        {"text followed by a lone byte", bytesFromHex("30 78 32 30 00 01")},
        {"versions disagree", bytesFromHex("00 00 05 00 04 00 00 00 11 00 00 00 20 00 00 00 00 00 00 00 00 00 00 00")},
        {"version 6 is unknown", bytesFromHex("00 00 06 00 06 00 00 00 11 00 00 00 20 00 00 00 00 00 00 00 00 00 00 00")},
        {"version 0 is unknown", bytesFromHex("00 00 00 00 00 00 00 00 11 00 00 00 20 00 00 00 00 00 00 00 00 00 00 00")},
        {"longer than any layout", "0x20" + std::string(2000, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(parseDosAttrib(valueOf(c.raw)).has_value());
    }
}

TEST(DosAttribRead, EveryCutOfABinaryValueIsRefused)
{
    for (const auto& time : {std::optional<convert::FileTime>(), std::optional<convert::FileTime>(kSambaTime)}) {
        const auto whole = encodeDosAttrib({0x2022, time});
        const std::size_t textWithNul = 7;  // "0x2022" and its NUL
        for (std::size_t length = textWithNul + 1; length < whole.size(); ++length) {
            SCOPED_TRACE(length);
            EXPECT_FALSE(parseDosAttrib(std::span(whole).first(length)).has_value());
        }
        // Cut right after the text, it is the legacy form again.
        EXPECT_EQ(parseDosAttrib(std::span(whole).first(textWithNul))->attributes, 0x2022u);
        EXPECT_EQ(parseDosAttrib(std::span(whole).first(textWithNul - 1))->attributes, 0x2022u);
    }
}

TEST(DosAttribWrite, MatchesSambaEncoderByteForByte)
{
    EXPECT_EQ(hexOf(encodeDosAttrib({0x20, kSambaTime})),
              hexOf(valueOf(bytesFromHex(
                  "30 78 32 30 00 | 00 | 03 00 | 03 00 | 00 00 | 11 00 00 00 | 20 00 00 00 | 00 00 00 00 |"
                  "00 00 00 00 00 00 00 00 | 00 00 00 00 00 00 00 00 | EF CD AB 89 67 45 23 01 | 00 00 00 00 00 00 00 00"))));
    const auto shortText = encodeDosAttrib({0x2, kSambaTime});
    EXPECT_EQ(shortText.size(), 52u);
    EXPECT_EQ(hexOf(std::vector(shortText.begin(), shortText.begin() + 16)),
              hexOf(valueOf(bytesFromHex("30 78 32 00 03 00 03 00 11 00 00 00 02 00 00 00"))));
    // Without a creation time only the attribute is marked valid, and the time field is zero.
    const auto noTime = encodeDosAttrib({0x20, std::nullopt});
    ASSERT_EQ(noTime.size(), 56u);
    EXPECT_EQ(noTime[12], std::byte{0x01});
    EXPECT_EQ(hexOf(std::vector(noTime.begin() + 40, noTime.begin() + 48)), "00 00 00 00 00 00 00 00 ");
}

TEST(DosAttribWrite, RoundTripsAndWineReadsTheText)
{
    const AttributeWord words[] = {0x0, 0x1, 0x2, 0x22, 0x2020, 0x12345, 0xFFFFFFFF};
    const std::optional<convert::FileTime> times[] = {std::nullopt, kSambaTime, 0x7FFFFFFFFFFFFFFF};
    for (const AttributeWord word : words) {
        for (const auto& time : times) {
            SCOPED_TRACE(::testing::Message() << std::hex << word);
            const auto value = encodeDosAttrib({word, time});
            const auto back = parseDosAttrib(value);
            ASSERT_TRUE(back.has_value());
            EXPECT_EQ(back->attributes, word);
            EXPECT_EQ(back->creationTime, time);
            EXPECT_EQ(wineReads(value), word);
            EXPECT_EQ(value.size() % 4, 0u) << hexOf(value);
        }
    }
}

}  // namespace
}  // namespace quorvane::fileinfo

// SPDX-License-Identifier: Apache-2.0
// The property-set codec on hand-made streams: a new set byte for byte as the platform's
// service makes it, patching that keeps every other byte (values, dictionary, padding, the
// second section and the tail), refusal of damaged layouts, and the value-to-text table.
#include <gtest/gtest.h>

#include "props/catalogue.h"
#include "convert/codepage_text.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "propset/property_value_text.h"
#include "propset/propset_reader.h"
#include "propset/propset_stream_name.h"
#include "propset/custom_properties.h"
#include "propset/propset_writer.h"
#include "base/byte_writer.h"
#include "tests/support/cfb_builder.h"

namespace quorvane::propset {
namespace {

using testing::readU32;
using testing::writeU32;

std::vector<std::byte> hex(const std::string& text)
{
    std::vector<std::byte> bytes;
    for (std::size_t i = 0; i + 1 < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        bytes.push_back(std::byte(std::stoi(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

void append(std::vector<std::byte>& out, const std::vector<std::byte>& more) { out.insert(out.end(), more.begin(), more.end()); }

TEST(PropsetCodec, ANewSetIsTheOneThePlatformServiceCreates)
{
    // Title "Ab" in a new SummaryInformation, as the format notes give it.
    const auto stream = propset::newPropertySet(props::fmtidOfSelector(props::kSummaryInformation), 2,
                                       propset::typedCodePageString(hex("41 00 62 00"), convert::kCodePageUtf16));
    std::vector<std::byte> expected = hex("FE FF 00 00 0A 00 02 00");
    append(expected, hex("E0 85 9F F2 F9 4F 68 10 AB 91 08 00 2B 27 B3 D9"));  // class id = FMTID
    append(expected, hex("01 00 00 00 E0 85 9F F2 F9 4F 68 10 AB 91 08 00 2B 27 B3 D9 30 00 00 00"));
    append(expected, hex("30 00 00 00 02 00 00 00 01 00 00 00 18 00 00 00 02 00 00 00 20 00 00 00"));
    append(expected, hex("02 00 00 00 B0 04 00 00 1E 00 00 00 06 00 00 00 41 00 62 00 00 00 00 00"));
    EXPECT_EQ(stream, expected);
}

TEST(PropsetCodec, StreamNamesOfTheThreeSets)
{
    EXPECT_EQ(propset::propertySetStreamName(props::fmtidOfSelector(props::kSummaryInformation)), u"\x05SummaryInformation");
    EXPECT_EQ(propset::propertySetStreamName(props::fmtidOfSelector(props::kDocumentSummaryInformation)), u"\x05" u"DocumentSummaryInformation");
    EXPECT_EQ(propset::propertySetStreamName(props::fmtidOfSelector(props::kThirdPropertySet)), u"\x05sebiesnrmkudrfcoiaamtykdda");
}

// A DocumentSummaryInformation stream the way Office 97 writes one: code page 1252, values
// out of id order, an unpadded 5-byte string that misaligns what follows, a vector of an
// unknown (to us) type, a second section with a dictionary, and zero fill after both.
struct OfficeStream {
    std::vector<std::byte> bytes;
    std::size_t secondSectionOffset;
};

OfficeStream officeStream()
{
    std::vector<std::byte> first = hex(
        "00 00 00 00 04 00 00 00"                      // size (patched below), 4 properties
        "01 00 00 00 28 00 00 00"                      // code page at 40
        "0F 00 00 00 30 00 00 00"                      // company at 48
        "02 00 00 00 3D 00 00 00"                      // category at 61 (odd: Office 97 did not pad)
        "0C 00 00 00 4C 00 00 00"                      // heading pairs at 76
        "02 00 00 00 E4 04 00 00"                      // VT_I2 1252
        "1E 00 00 00 05 00 00 00 41 63 6D 65 00"       // "Acme", 13 bytes, no padding
        "1E 00 00 00 04 00 00 00 43 61 74 00 00 00 00" // "Cat" at 61, 15 bytes
        "0C 10 00 00 01 00 00 00 03 00 00 00 07 00 00 00 00 00 00 00"); // vector of variants
    writeU32(first, 0, std::uint32_t(first.size()));
    std::vector<std::byte> second = hex(
        "00 00 00 00 02 00 00 00 00 00 00 00 10 00 00 00 01 00 00 00 24 00 00 00"
        "01 00 00 00 02 00 00 00 05 00 00 00 4E 61 6D 65 00 00 00 00"  // dictionary {2: "Name"}
        "02 00 00 00 E4 04 00 00");
    writeU32(second, 0, std::uint32_t(second.size()));
    std::vector<std::byte> stream = hex("FE FF 00 00 05 01 02 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 02 00 00 00");
    append(stream, hex("02 D5 CD D5 9C 2E 1B 10 93 97 08 00 2B 2C F9 AE 44 00 00 00"));
    append(stream, hex("05 D5 CD D5 9C 2E 1B 10 93 97 08 00 2B 2C F9 AE 00 00 00 00"));
    append(stream, first);
    const std::size_t secondOffset = stream.size();
    writeU32(stream, 28 + 20 + 16, std::uint32_t(secondOffset));
    append(stream, second);
    stream.resize(stream.size() + 40, std::byte{0});  // Word-style zero fill
    return {stream, secondOffset};
}

TEST(PropsetCodec, PatchingKeepsEveryOtherByte)
{
    const OfficeStream office = officeStream();
    const auto original = propset::parsePropertySet(office.bytes);
    ASSERT_TRUE(original);
    ASSERT_EQ(original->sections.size(), 2u);
    struct Case {
        const char* label;
        std::uint32_t id;
        std::string text;
    };
    for (const Case& c : {Case{"shorter", 15, "A"}, Case{"longer", 15, "A much longer company name"},
                          Case{"misaligned one", 2, "Category text"}, Case{"new", 14, "Manager"}}) {
        const auto encoded = std::vector<std::byte>(reinterpret_cast<const std::byte*>(c.text.data()),
                                                    reinterpret_cast<const std::byte*>(c.text.data()) + c.text.size());
        const auto patched = propset::setProperty(office.bytes, c.id, propset::typedCodePageString(encoded, 1252));
        ASSERT_TRUE(patched.ok()) << c.label << ": " << patched.failure().text();
        const auto layout = parsePropertySet(*patched);
        ASSERT_TRUE(layout) << c.label;
        ASSERT_EQ(layout->sections.size(), 2u) << c.label;
        const propset::Section& oldFirst = original->sections[0];
        const propset::Section& newFirst = layout->sections[0];
        const auto value = propset::readProperty(*patched, newFirst, c.id);
        ASSERT_TRUE(value) << c.label;
        EXPECT_EQ(propset::PropertyValueToText(*value), c.text) << c.label;
        // Every other value keeps its bytes, and its offset keeps its remainder modulo 4.
        for (const propset::PropertyEntry& entry : oldFirst.entries) {
            if (entry.id == c.id) continue;
            const auto before = readProperty(office.bytes, oldFirst, entry.id);
            const auto after = readProperty(*patched, newFirst, entry.id);
            ASSERT_TRUE(after) << c.label << " " << entry.id;
            EXPECT_EQ(after->data, before->data) << c.label << " " << entry.id;
            const auto moved = std::find_if(newFirst.entries.begin(), newFirst.entries.end(),
                                            [&](const PropertyEntry& e) { return e.id == entry.id; });
            EXPECT_EQ(moved->offset % 4, entry.offset % 4) << c.label << " " << entry.id;
        }
        EXPECT_EQ(newFirst.entries.size(), oldFirst.entries.size() + (c.id == 14 ? 1 : 0)) << c.label;
        EXPECT_EQ(newFirst.declaredSize % 4, c.id == 14 ? 0u : oldFirst.declaredSize % 4) << c.label;
        // The second section moves as a block; the zero fill after it stays.
        const propset::Section& second = layout->sections[1];
        const std::size_t secondSize = original->sections[1].declaredSize;
        EXPECT_EQ(second.offset, office.secondSectionOffset + newFirst.declaredSize - oldFirst.declaredSize) << c.label;
        EXPECT_TRUE(std::equal(patched->begin() + second.offset, patched->begin() + second.offset + secondSize,
                               office.bytes.begin() + std::ptrdiff_t(office.secondSectionOffset)))
            << c.label;
        EXPECT_EQ(patched->size() - (second.offset + secondSize), 40u) << c.label;
        EXPECT_TRUE(std::equal(patched->begin(), patched->begin() + 28 + 20 + 16, office.bytes.begin())) << c.label;
    }
}

// A property listed twice (company and, in the category's place, company again): setting it
// keeps one entry with the new value, removing it keeps none, and neither old value is left
// anywhere in the stream; the other values keep their bytes.
TEST(PropsetCodec, APropertyListedTwiceLeavesNoOldValue)
{
    const OfficeStream office = officeStream();
    auto twice = office.bytes;
    writeU32(twice, 68 + 8 + 16, 15);  // the category's table entry names the company
    const auto original = propset::parsePropertySet(twice);
    const std::vector<std::byte> newValue = propset::typedCodePageString(hex("4E 65 77"), 1252);
    for (const bool removing : {true, false}) {
        const auto written = removing ? propset::removeProperty(twice, 15) : propset::setProperty(twice, 15, newValue);
        ASSERT_TRUE(written.ok()) << removing << ": " << written.failure().text();
        const auto layout = parsePropertySet(*written);
        ASSERT_TRUE(layout && layout->sections.size() == 2) << removing;
        const propset::Section& first = layout->sections[0];
        EXPECT_EQ(first.entries.size(), first.declaredCount) << removing;
        EXPECT_EQ(std::count_if(first.entries.begin(), first.entries.end(), [](const PropertyEntry& e) { return e.id == 15; }),
                  removing ? 0 : 1);
        if (!removing) {
            EXPECT_EQ(propset::PropertyValueToText(*propset::readProperty(*written, first, 15)), "New");
        }
        // The values kept start with their old bytes (the zeros left of a removed value follow).
        for (const std::uint32_t kept : {1u, 12u}) {
            const auto before = propset::readProperty(twice, original->sections[0], kept)->data;
            const auto after = propset::readProperty(*written, first, kept)->data;
            EXPECT_TRUE(after.size() >= before.size() && std::equal(before.begin(), before.end(), after.begin()))
                << removing << " " << kept;
        }
        for (const char* old : {"41 63 6D 65", "43 61 74 00"}) {
            const auto oldBytes = hex(old);
            EXPECT_EQ(std::search(written->begin(), written->end(), oldBytes.begin(), oldBytes.end()), written->end())
                << removing << " " << old;
        }
    }
}

// A user-defined section whose largest property id is the last one below the reserved ids
// ([MS-OLEPS] 2.18): a property added to it takes the smallest free id, not a reserved one.
TEST(PropsetCodec, ANewCustomPropertyNeverTakesAReservedId)
{
    const auto fmtidBytes = [](ByteWriter& w, std::uint32_t first) {
        w.u32(first);
        w.u16(0x2E9C);
        w.u16(0x101B);
        for (const std::uint8_t b : {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE}) w.u8(b);
    };
    std::vector<std::byte> section;
    {
        ByteWriter w(section);
        w.u32(0);  // size, set below
        w.u32(3);
        const std::uint32_t pairs = 8 + 3 * 8;
        w.u32(0), w.u32(pairs);            // dictionary
        w.u32(1), w.u32(pairs + 16);       // code page
        w.u32(0x7FFFFFFF), w.u32(pairs + 24);
        w.u32(1), w.u32(0x7FFFFFFF), w.u32(2), w.u16('B'), w.u16(0);  // one entry: "B"
        w.u16(2), w.u16(0), w.u16(1200), w.u16(0);                    // VT_I2 1200
        w.u16(3), w.u16(0), w.u32(42);                                 // VT_I4 42
        for (std::size_t i = 0; i < 4; ++i) section[i] = std::byte((section.size() >> (8 * i)) & 0xFF);
    }
    std::vector<std::byte> stream;
    ByteWriter w(stream);
    w.u16(0xFFFE), w.u16(0), w.u32(0x0002000A), w.zeros(16), w.u32(2);
    fmtidBytes(w, 0xD5CDD502), w.u32(68);
    fmtidBytes(w, 0xD5CDD505), w.u32(76);
    w.u32(8), w.u32(0);  // an empty DocumentSummaryInformation section
    w.bytes(section);

    props::CustomEdit added{props::CustomEdit::Kind::Set, "New", {}};
    added.value.type = props::kCustomInteger;
    added.value.integer = 7;
    const auto edited = streamWithCustomEdits(stream, std::span(&added, 1));
    ASSERT_TRUE(edited.ok() && *edited) << (edited.ok() ? "nothing changed" : edited.failure().text());
    const auto shown = customPropertiesOf(**edited);
    ASSERT_TRUE(shown.ok()) << shown.failure().text();
    EXPECT_EQ(*shown, (std::vector<props::CustomProperty>{{"B", "integer", "42"}, {"New", "integer", "7"}}));
    EXPECT_EQ(testing::readU32(**edited, 76 + 8 + 3 * 8), 2u) << "the new property's id in the section's table";
}

TEST(PropsetCodec, DamagedLayoutsAreNotPatched)
{
    const OfficeStream office = officeStream();
    const std::size_t firstOffset = 68;
    struct Case {
        const char* label;
        std::size_t at;
        std::uint32_t value;
        const char* reason;  // after "damaged property set: "
    };
    const char* const header = "its header or section list is broken";
    const char* const pastStream = "its first section runs past the end of the stream";
    const char* const pastTable = "the property table of its first section runs past the section";
    const char* const outside = "a value offset of its first section lies outside the section's values";
    const std::vector<Case> cases{
        {"byte order", 0, 0xFFFFFEFF, header},
        {"no section", 24, 0, "it holds no section"},
        {"section count past the stream", 24, 0x10000, header},
        {"first section past the stream", 28 + 16, 0xFFFF, pastStream},
        {"section size past the stream", firstOffset, 0xFFFFFF, pastStream},
        {"section size inside its table", firstOffset, 12, pastTable},
        {"property count past the section", firstOffset + 4, 1000, pastTable},
        {"value inside the table", firstOffset + 8 + 4, 8, outside},
        {"value past the section", firstOffset + 16 + 4, 4000, outside},
        {"two ids at one value", firstOffset + 16 + 4, testing::readU32(office.bytes, firstOffset + 8 + 4),
         "two properties of its first section share one value"},
        {"second section inside the first", 28 + 20 + 16, firstOffset + 20, "another section starts inside its first section"},
    };
    for (const Case& c : cases) {
        auto bytes = office.bytes;
        writeU32(bytes, c.at, c.value);
        const auto patched = propset::setProperty(bytes, 15, propset::typedNull());
        ASSERT_FALSE(patched.ok()) << c.label;
        EXPECT_EQ(patched.failure().text(), std::string("damaged property set: ") + c.reason) << c.label;
    }
}

TEST(PropsetCodec, ReadingNeverLeavesTheStream)
{
    // Every byte of the stream set to each of three values in turn: reading every property of
    // every section must stay inside the bytes (the sanitizer build checks that).
    const OfficeStream office = officeStream();
    for (std::size_t at = 0; at < office.bytes.size(); ++at) {
        for (const int value : {0x00, 0x7F, 0xFF}) {
            auto bytes = office.bytes;
            bytes[at] = std::byte(value);
            const auto layout = propset::parsePropertySet(bytes);
            if (!layout) continue;
            for (const propset::Section& section : layout->sections)
                for (const PropertyEntry& entry : section.entries)
                    if (const auto v = readProperty(bytes, section, entry.id)) (void)PropertyValueToText(*v);
            (void)propset::setProperty(bytes, 2, propset::typedNull());
        }
    }
}

propset::PropertyValue valueOf(std::uint16_t type, const std::string& dataHex, std::uint16_t codePage = 1252)
{
    return PropertyValue{type, hex(dataHex), codePage};
}

TEST(PropsetCodec, ValuesToText)
{
    const std::string date = convert::DateTimeToDisplayText(convert::FileTimeToDateTime(0x01C8A9A84AC3A000));
    struct Case {
        propset::PropertyValue value;
        std::string text;
        std::string editTimeText;
    };
    const std::vector<Case> cases{
        {valueOf(propset::kVtEmpty, ""), "", ""},
        {valueOf(propset::kVtNull, ""), "", ""},
        {valueOf(24, ""), "", ""},
        {valueOf(propset::kVtI2, "FB FF 00 00"), "-5", "-5"},
        {valueOf(propset::kVtI4, "FE FF FF FF"), "-2", "-2"},
        {valueOf(propset::kVtInt, "2A 00 00 00"), "42", "42"},
        {valueOf(propset::kVtR8, "00 00 00 00 00 00 F8 3F"), "1.5", "1.5"},
        {valueOf(propset::kVtR4, "00 00 20 40"), "2.5", "2.5"},
        {valueOf(propset::kVtBool, "FF FF 00 00"), "Yes", "Yes"},
        {valueOf(kVtBool, "00 00 00 00"), "No", "No"},
        {valueOf(propset::kVtError, "05 00 00 00"), "Error code: 5", "Error code: 5"},
        {valueOf(propset::kVtUi1, "FF 00 00 00"), "255", "255"},
        {valueOf(propset::kVtUi2, "FF FF 00 00"), "65535", "65535"},
        {valueOf(propset::kVtUi4, "FF FF FF FF"), "4294967295", "4294967295"},
        {valueOf(propset::kVtUi8, "FF FF FF FF FF FF FF FF"), "-1", "-1"},
        {valueOf(props::kVtLpstr, "06 00 00 00 43 61 66 E9 00 00"), "Café", "Café"},
        {valueOf(props::kVtLpstr, "08 00 00 00 6C 70 00 00 00 00 00 00"), "lp", "lp"},  // extra NULs in the count
        {valueOf(props::kVtLpstr, "FF FF 00 00 41 42"), "AB", "AB"},                     // count past the value
        {valueOf(props::kVtLpstr, "06 00 00 00 41 00 42 00 00 00", 1200), "AB", "AB"},
        {valueOf(propset::kVtBstr, "04 00 00 00 E0 E1 E2 00", 1251), "абв", "абв"},
        {valueOf(propset::kVtLpwstr, "03 00 00 00 E5 65 2C 67 00 00"), "日本", "日本"},
        {valueOf(props::kVtFiletime, "00 00 00 00 00 00 00 00"), "", "0"},
        {valueOf(props::kVtFiletime, "00 A0 C3 4A A8 A9 C8 01"), date, "214231883"},
        {valueOf(props::kVtFiletime, "00 9C A6 92 0C 00 00 00"), convert::DateTimeToDisplayText(convert::FileTimeToDateTime(54'000'000'000)), "90"},
        {valueOf(props::kVtFiletime, "00 E9 A4 35 00 00 00 00"), convert::DateTimeToDisplayText(convert::FileTimeToDateTime(900'000'000)), "2"},
        {valueOf(props::kVtFiletime, "00 2F 68 59 00 00 00 00"), convert::DateTimeToDisplayText(convert::FileTimeToDateTime(1'500'000'000)), "2"},
        {valueOf(props::kVtFiletime, "01 02 03"), "", "0"},
        {valueOf(propset::kVtClsid, "E0 85 9F F2 F9 4F 68 10 AB 91 08 00 2B 27 B3 D9"), "{F29F85E0-4FF9-1068-AB91-08002B27B3D9}",
         "{F29F85E0-4FF9-1068-AB91-08002B27B3D9}"},
        {valueOf(kVtClsid, "E0 85 9F"), "", ""},
        {valueOf(7, "00 00 00 00 00 00 F0 3F"), "", ""},  // VT_DATE
        {valueOf(16, "05 00 00 00"), "", ""},             // VT_I1
        {valueOf(kVtI4, "01 02"), "", ""},               // cut short
    };
    for (const Case& c : cases) {
        EXPECT_EQ(propset::PropertyValueToText(c.value), c.text) << "type " << c.value.type;
        EXPECT_EQ(propset::EditTimeValueToText(c.value), c.editTimeText) << "type " << c.value.type;
    }
}

}  // namespace
}  // namespace quorvane::propset

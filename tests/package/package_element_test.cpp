// SPDX-License-Identifier: Apache-2.0
// Writing one element into a parsed part: text replaced, elements removed, new elements bound to
// the namespace the part uses for them, and the date type on new created/modified elements.
#include <gtest/gtest.h>

#include <string>

#include "base/error.h"
#include "package/package_element.h"
#include "package/package_xml.h"
#include "tests/support/package_builder.h"
#include "tests/support/zip_builder.h"

namespace quorvane::package {
namespace {

using testing::bytesOf;
using testing::textOf;

constexpr const char* kCp = R"(xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties")";
constexpr const char* kDc = R"(xmlns:dc="http://purl.org/dc/elements/1.1/")";
constexpr const char* kDcterms = R"(xmlns:dcterms="http://purl.org/dc/terms/")";
constexpr const char* kXsi = R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance")";
constexpr const char* kCoreDefault = R"(xmlns="http://schemas.openxmlformats.org/package/2006/metadata/core-properties")";
constexpr const char* kExtendedDefault =
    R"(xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties")";

std::string root(const char* name, std::initializer_list<const char*> declarations, const std::string& children)
{
    std::string xml = std::string("<") + name;
    for (const char* d : declarations) xml += std::string(" ") + d;
    return xml + ">" + children + "</" + name + ">";
}

std::string afterSetting(const std::string& xml, const char* element, const char* value)
{
    package::ParsedPart part = parsePart("docProps\\core.xml", bytesOf(xml));
    package::SetChildElementText(part, element, value);
    return textOf(package::savePart(part));
}

TEST(PackageElementWrite, FollowsTheRulesForEachCase)
{
    const std::string usual = root("cp:coreProperties", {kCp, kDc, kDcterms, kXsi},
                                   "<dc:title>Old</dc:title><dc:description>D</dc:description>"
                                   "<cp:lastPrinted>2001-01-01T00:00:00Z</cp:lastPrinted>");
    const struct {
        const char* what;
        std::string part;
        const char* element;
        const char* value;
        std::string expected;
    } cases[] = {
        {"text replaced", usual, "dc:title", "New",
         root("cp:coreProperties", {kCp, kDc, kDcterms, kXsi},
              "<dc:title>New</dc:title><dc:description>D</dc:description>"
              "<cp:lastPrinted>2001-01-01T00:00:00Z</cp:lastPrinted>")},
        {"empty text keeps the element", usual, "dc:description", "",
         root("cp:coreProperties", {kCp, kDc, kDcterms, kXsi},
              "<dc:title>Old</dc:title><dc:description/>"
              "<cp:lastPrinted>2001-01-01T00:00:00Z</cp:lastPrinted>")},
        {"empty last printed removes it", usual, "cp:lastPrinted", "",
         root("cp:coreProperties", {kCp, kDc, kDcterms, kXsi},
              "<dc:title>Old</dc:title><dc:description>D</dc:description>")},
        {"absent element appended last", usual, "cp:category", "C",
         root("cp:coreProperties", {kCp, kDc, kDcterms, kXsi},
              "<dc:title>Old</dc:title><dc:description>D</dc:description>"
              "<cp:lastPrinted>2001-01-01T00:00:00Z</cp:lastPrinted><cp:category>C</cp:category>")},
        {"empty last printed, none there", root("cp:coreProperties", {kCp}, "<cp:category>C</cp:category>"),
         "cp:lastPrinted", "", root("cp:coreProperties", {kCp}, "<cp:category>C</cp:category>")},
        {"CDATA text replaced", root("cp:coreProperties", {kCp, kDc}, "<dc:title><![CDATA[a]]></dc:title>"),
         "dc:title", "b & c", root("cp:coreProperties", {kCp, kDc}, "<dc:title>b &amp; c</dc:title>")},
        {"default namespace: found without prefix",
         root("coreProperties", {kCoreDefault, kDc}, "<category>Old</category>"), "cp:category", "New",
         root("coreProperties", {kCoreDefault, kDc}, "<category>New</category>")},
        {"default namespace: new element takes no prefix", root("coreProperties", {kCoreDefault, kDc}, ""),
         "cp:revision", "4", root("coreProperties", {kCoreDefault, kDc}, "<revision>4</revision>")},
        {"other prefix bound on the root",
         root("k:coreProperties", {R"(xmlns:k="http://schemas.openxmlformats.org/package/2006/metadata/core-properties")"},
              ""),
         "cp:keywords", "K",
         root("k:coreProperties", {R"(xmlns:k="http://schemas.openxmlformats.org/package/2006/metadata/core-properties")"},
              "<k:keywords>K</k:keywords>")},
        {"namespace bound nowhere: declared on the new element", root("cp:coreProperties", {kCp}, ""), "dc:subject",
         "S",
         root("cp:coreProperties", {kCp},
              R"(<dc:subject xmlns:dc="http://purl.org/dc/elements/1.1/">S</dc:subject>)")},
        {"table prefix bound to another namespace",
         root("cp:coreProperties", {R"(xmlns:cp="http://example.com/other")"}, ""), "cp:category", "C",
         root("cp:coreProperties", {R"(xmlns:cp="http://example.com/other")"},
              R"(<cp:category xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties">C</cp:category>)")},
        {"new created carries its date type", usual, "dcterms:created", "2020-01-01T00:00:00Z",
         root("cp:coreProperties", {kCp, kDc, kDcterms, kXsi},
              "<dc:title>Old</dc:title><dc:description>D</dc:description>"
              "<cp:lastPrinted>2001-01-01T00:00:00Z</cp:lastPrinted>"
              R"(<dcterms:created xsi:type="dcterms:W3CDTF">2020-01-01T00:00:00Z</dcterms:created>)")},
        {"new modified binds xsi and dcterms itself", root("coreProperties", {kCoreDefault}, ""), "dcterms:modified",
         "2020-01-01T00:00:00Z",
         root("coreProperties", {kCoreDefault},
              R"(<dcterms:modified xmlns:dcterms="http://purl.org/dc/terms/" )"
              R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="dcterms:W3CDTF">)"
              "2020-01-01T00:00:00Z</dcterms:modified>")},
        {"date type names the prefix the part uses",
         root("p", {R"(xmlns:t="http://purl.org/dc/terms/")", R"(xmlns:i="http://www.w3.org/2001/XMLSchema-instance")"},
              ""),
         "dcterms:created", "X",
         root("p", {R"(xmlns:t="http://purl.org/dc/terms/")", R"(xmlns:i="http://www.w3.org/2001/XMLSchema-instance")"},
              R"(<t:created i:type="t:W3CDTF">X</t:created>)")},
        {"existing created keeps its attributes",
         root("cp:coreProperties", {kCp, kDcterms, kXsi}, R"(<dcterms:created xsi:type="dcterms:W3CDTF">A</dcterms:created>)"),
         "dcterms:created", "B",
         root("cp:coreProperties", {kCp, kDcterms, kXsi}, R"(<dcterms:created xsi:type="dcterms:W3CDTF">B</dcterms:created>)")},
        {"extended part: new element in its default namespace", root("Properties", {kExtendedDefault}, ""), "Manager",
         "M", root("Properties", {kExtendedDefault}, "<Manager>M</Manager>")},
        {"empty total time removes it", root("Properties", {kExtendedDefault}, "<TotalTime>5</TotalTime><Company/>"),
         "TotalTime", "", root("Properties", {kExtendedDefault}, "<Company/>")},
    };
    for (const auto& c : cases) EXPECT_EQ(afterSetting(c.part, c.element, c.value), c.expected) << c.what;
}

TEST(PackageElementWrite, ElementWithMoreThanTextIsAnError)
{
    const std::string part = root("cp:coreProperties", {kCp, kDc}, "<dc:title>a<b/>c</dc:title>");
    EXPECT_THROW(afterSetting(part, "dc:title", "x"), Error);
    EXPECT_NO_THROW(afterSetting(part, "dc:subject", "x"));
}

TEST(PackageElementWrite, SavingKeepsDeclarationAndEncoding)
{
    const std::string utf8 = testing::corePart("<dc:title>T</dc:title>");
    const std::string saved = textOf(package::savePart(package::parsePart("core", bytesOf(utf8))));
    EXPECT_EQ(saved.substr(0, saved.find("?>") + 2), R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)");

    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string(R"(<?xml version="1.0" encoding="UTF-16"?><a>T</a>)")) utf16 += std::string{c, '\0'};
    package::ParsedPart part = parsePart("utf16", bytesOf(utf16));
    package::SetChildElementText(part, "Manager", "M");
    std::string expected = "\xFF\xFE";
    for (const char c : std::string(R"(<?xml version="1.0" encoding="UTF-16"?><a>T<Manager )"
                                    R"(xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">M</Manager></a>)"))
        expected += std::string{c, '\0'};
    EXPECT_EQ(textOf(savePart(part)), expected);
}

TEST(PackageElementWrite, SavingKeepsTheBytesAroundTheRootElement)
{
    const std::string rootBefore = root("cp:coreProperties", {kCp, kDc}, "<dc:title>Old</dc:title>");
    const std::string rootAfter = root("cp:coreProperties", {kCp, kDc}, "<dc:title>New</dc:title>");
    const struct {
        const char* what;
        std::string before;  // the bytes before the root element
        std::string after;   // the bytes after it
    } cases[] = {
        {"line break after the declaration", "<?xml version='1.0' encoding='utf-8'?>\r\n", "\r\n"},
        {"no declaration", "", ""},
        {"byte-order mark, comment and instruction", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- made by hand -->\n<?pi x?>\n",
         "\n\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(afterSetting(c.before + rootBefore + c.after, "dc:title", "New"), c.before + rootAfter + c.after)
            << c.what;
    }
    // A comment after the root is kept too, written from the tree.
    EXPECT_EQ(afterSetting(rootBefore + " <!--c-->\n", "dc:title", "New"), rootAfter + "<!--c-->\n");

    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a><b>T</b></a>\r\n"))
        utf16 += std::string{c, '\0'};
    EXPECT_EQ(textOf(savePart(parsePart("utf16", bytesOf(utf16)))), utf16);
}

}  // namespace
}  // namespace quorvane::package

// SPDX-License-Identifier: Apache-2.0
// A package whose property parts hold an element, or a custom property, twice (the schema forbids
// it, but such parts exist and other readers show either copy), through quorvane-cli: a set
// writes the new value into every copy and a scrub empties every copy, so that no old value
// stays anywhere in the parts.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/cli_fixture.h"
#include "tests/support/package_builder.h"

namespace quorvane::testing {
namespace {

constexpr const char* kCustomType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";

std::string customPart(const std::string& properties)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/custom-properties" )"
           R"(xmlns:vt="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">)" +
           properties + "</Properties>";
}

std::string customProperty(int pid, const std::string& name, const std::string& value)
{
    return R"(<property fmtid="{D5CDD505-2E9C-101B-9397-08002B2CF9AE}" pid=")" + std::to_string(pid) + R"(" name=")" +
           name + R"("><vt:lpwstr>)" + value + "</vt:lpwstr></property>";
}

// Core, extended and custom parts, each holding its property twice with the value "Old ...".
std::string packageWithDuplicates()
{
    std::string relationships = relationshipsPart();
    relationships.insert(relationships.find("</Relationships>"),
                         std::string(R"(<Relationship Id="rId9" Type=")") + kCustomType + R"(" Target="docProps/custom.xml"/>)");
    auto entries = packageEntries(relationships,
                                  extendedPart("<Company>Old company</Company><Company>Old company</Company>"),
                                  corePart("<dc:title>Old title</dc:title><dc:creator>Ada</dc:creator>"
                                           "<dc:title>Old title</dc:title>"));
    entries.push_back({.name = "docProps/custom.xml",
                       .content = customPart(customProperty(2, "Project", "Old project") +
                                             customProperty(3, "project", "Old project"))});
    return buildZip(entries);
}

int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST_F(Cli, SetAndScrubChangeEveryCopyOfADuplicatedProperty)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> runs{
        {"set", {"set", "--title", "New title", "--company", "New company", "--custom", "Project=New project"}},
        {"scrub", {"scrub"}},
    };
    for (const auto& [label, arguments] : runs) {
        const std::string path = (scratch_.path() / (label + ".pptx")).string();
        writeFileBytes(path, packageWithDuplicates());
        std::vector<std::string> command = arguments;
        command.push_back(path);
        const CliRun changed = run(command);
        ASSERT_EQ(changed.status, 0) << label << ": " << changed.err;
        const std::string parts = partTextOf(path, "docProps/core.xml") + partTextOf(path, "docProps/app.xml") +
                                  partTextOf(path, "docProps/custom.xml");
        EXPECT_EQ(occurrences(parts, "Old "), 0) << label << ": an old value stayed in a copy:\n" << parts;
        if (label == "set") {
            EXPECT_EQ(occurrences(parts, "<dc:title>New title</dc:title>"), 2) << parts;
            EXPECT_EQ(occurrences(parts, "<Company>New company</Company>"), 2) << parts;
            EXPECT_EQ(occurrences(parts, "<vt:lpwstr>New project</vt:lpwstr>"), 2) << parts;
        }
    }
}

}  // namespace
}  // namespace quorvane::testing

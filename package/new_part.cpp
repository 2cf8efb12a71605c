// SPDX-License-Identifier: Apache-2.0
#include "package/new_part.h"

#include <cstdint>
#include <optional>
#include <set>

#include "package/custom_part.h"
#include "package/package_relationships.h"
#include "zip/zip_entry_extract.h"

namespace quorvane::package {
namespace {

// The root element of each part with the namespaces its elements use bound, so that a value
// written into it needs no declaration of its own.
constexpr std::string_view kCoreContent =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<cp:coreProperties "
    "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
    "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/>";
constexpr std::string_view kExtendedContent =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
    "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"/>";
constexpr std::string_view kCustomContent =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
    "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"/>";

// The number n of an entry named "<stem><n>.xml" (zip::sameEntryName), 0 for "<stem>.xml", nullopt
// for any other name. Numbers are written without leading zeros and take at most nine digits.
std::optional<std::uint32_t> partNumberOf(std::string_view entryName, std::string_view stem)
{
    constexpr std::string_view kExtension = ".xml";
    if (entryName.size() < stem.size() + kExtension.size()) return std::nullopt;
    if (!zip::sameEntryName(entryName.substr(0, stem.size()), stem)) return std::nullopt;
    if (!zip::sameEntryName(entryName.substr(entryName.size() - kExtension.size()), kExtension)) return std::nullopt;
    const std::string_view digits = entryName.substr(stem.size(), entryName.size() - stem.size() - kExtension.size());
    if (digits.empty()) return 0;
    if (digits.size() > 9 || digits.front() == '0') return std::nullopt;
    std::uint32_t number = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9') return std::nullopt;
        number = number * 10 + std::uint32_t(digit - '0');
    }
    return number;
}

}  // namespace

const NewPartKind kNewCorePart{"docProps/core", kCoreContent, kCorePropertiesType,
                               "application/vnd.openxmlformats-package.core-properties+xml"};
const NewPartKind kNewExtendedPart{"docProps/app", kExtendedContent, kExtendedPropertiesType,
                                   "application/vnd.openxmlformats-officedocument.extended-properties+xml"};
const NewPartKind kNewCustomPart{"docProps/custom", kCustomContent, kCustomPropertiesType,
                                 "application/vnd.openxmlformats-officedocument.custom-properties+xml"};

std::string newPartEntryName(const zip::ZipDirectory& directory, const NewPartKind& kind)
{
    // The numbers taken, gathered in one pass: a directory may hold hundreds of thousands of entries.
    std::set<std::uint32_t> taken;
    for (const zip::ZipEntry& entry : directory.entries)
        if (const auto number = partNumberOf(entry.name, kind.nameStem)) taken.insert(*number);
    const std::string stem(kind.nameStem);
    if (!taken.contains(0)) return stem + ".xml";
    std::uint32_t n = 2;
    while (taken.contains(n)) ++n;
    return stem + std::to_string(n) + ".xml";
}

}  // namespace quorvane::package

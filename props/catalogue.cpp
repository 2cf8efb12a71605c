// SPDX-License-Identifier: Apache-2.0
#include "props/catalogue.h"

#include <cassert>

namespace quorvane::props {
namespace {

constexpr std::array<PropertyRow, kRowCount> kRows{{
    {"Title", kSummaryInformation, 2, kVtLpstr, PackagePart::Core, "dc:title", "title"},
    {"Subject", kSummaryInformation, 3, kVtLpstr, PackagePart::Core, "dc:subject", "subject"},
    {"Author", kSummaryInformation, 4, kVtLpstr, PackagePart::Core, "dc:creator", "author"},
    {"Keywords", kSummaryInformation, 5, kVtLpstr, PackagePart::Core, "cp:keywords", "keywords"},
    {"Comments", kSummaryInformation, 6, kVtLpstr, PackagePart::Core, "dc:description", "comments"},
    // The spelling is load-bearing: it names saved registry values and a CSV column.
    {"Catagory", kDocumentSummaryInformation, 2, kVtLpstr, PackagePart::Core, "cp:category", "category"},
    {"Revision Number", kSummaryInformation, 9, kVtLpstr, PackagePart::Core, "cp:revision", "revision"},
    {"Last Saved By", kSummaryInformation, 8, kVtLpstr, PackagePart::Core, "cp:lastModifiedBy", "last_saved_by"},
    {"Manager", kDocumentSummaryInformation, 14, kVtLpstr, PackagePart::Extended, "Manager", "manager"},
    {"Company", kDocumentSummaryInformation, 15, kVtLpstr, PackagePart::Extended, "Company", "company"},
    {"Create Time/Date", kSummaryInformation, 12, kVtFiletime, PackagePart::Core, "dcterms:created", "created"},
    {"Last saved Time/Date", kSummaryInformation, 13, kVtFiletime, PackagePart::Core, "dcterms:modified", "last_saved"},
    {"Total Editing Time(Minutes)", kSummaryInformation, 10, kVtFiletime, PackagePart::Extended, "TotalTime", "total_editing_minutes"},
    {"Last Printed", kSummaryInformation, 11, kVtFiletime, PackagePart::Core, "cp:lastPrinted", "last_printed"},
}};

constexpr std::array<Fmtid, 3> kFmtids{{
    {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}},
    {0xD5CDD502, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE}},
    {0x64440492, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}},
}};

constexpr std::array<std::string_view, kFileInfoLabelCount> kFileInfoLabels{
    "Creation Time", "Modify Time", "Last Access Time", "Read-only", "Archive", "Hidden", "System",
};

constexpr std::array<std::string_view, kFileInfoLabelCount> kFileInfoNames{
    "created", "modified", "accessed", "read_only", "archive", "hidden", "system",
};

}  // namespace

std::array<std::uint8_t, 16> Fmtid::toBytes() const
{
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 4; ++i) bytes[i] = std::uint8_t(data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) bytes[4 + i] = std::uint8_t(data2 >> (8 * i));
    for (int i = 0; i < 2; ++i) bytes[6 + i] = std::uint8_t(data3 >> (8 * i));
    for (int i = 0; i < 8; ++i) bytes[8 + i] = data4[i];
    return bytes;
}

const PropertyRow& catalogueRow(int row)
{
    assert(row >= 0 && row < kRowCount);
    return kRows[std::size_t(row)];
}

const Fmtid& fmtidOfSelector(int selector)
{
    assert(selector >= kSummaryInformation && selector <= kThirdPropertySet);
    return kFmtids[std::size_t(selector - 1)];
}

std::string_view fileInfoLabel(int index)
{
    assert(index >= 0 && index < kFileInfoLabelCount);
    return kFileInfoLabels[std::size_t(index)];
}

std::string_view fileInfoName(int index)
{
    assert(index >= 0 && index < kFileInfoLabelCount);
    return kFileInfoNames[std::size_t(index)];
}

}  // namespace quorvane::props

// SPDX-License-Identifier: Apache-2.0
// The write path on any bytes: one .ppt row written into the input as a compound file held in
// memory, the row and its value chosen by the first two bytes of the header's class id ([MS-CFB]
// 2.2: not interpreted, so every real file is a seed as it is). A refused write must leave every
// byte as it was; an accepted one must leave a file that reopens, passes the allocation and
// directory checks, reads the written value back, and holds every other stream byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text_trim.h"
#include "cfb/cfb_compound_file.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "convert/minutes_text.h"
#include "document/ppt_rows.h"
#include "props/row_value_text.h"
#include "propset/property_set_access.h"
#include "propset/propset_reader.h"
#include "propset/propset_stream_name.h"

namespace {

using namespace quorvane;

constexpr std::size_t kRowByte = 0x08, kValueByte = 0x09;

void require(bool condition)
{
    if (!condition) std::abort();
}

std::vector<std::string> valueTexts()
{
    return {
        "",
        "NEW",
        "\xE4\xB8\xAD\xE6\x96\x87",  // not in most 8-bit code pages
        std::string(5000, 'x'),      // past the mini-stream cutoff
        convert::DateTimeToDisplayText(*convert::encodeDateTime({2020, 1, 1, 10, 0, 0, 0})),
        convert::DateTimeToDisplayText(*convert::encodeDateTime({1500, 1, 1})),
        "90",
        "not a date",
    };
}

// The text a reader shows for the write of `text` into `row`.
std::string expectedText(int row, const std::string& text)
{
    if (text.empty()) return {};
    if (props::isDurationRow(row)) return convert::FileTimeSpanToMinutesText(convert::MinutesTextToFileTimeSpan(text));
    if (props::isDateTimeRow(row)) return convert::DateTimeToDisplayText(convert::DisplayTextToDateTime(text));
    return text;
}

// Every stream reachable from the root, by entry id, read whole (nullopt when it cannot be).
std::map<std::uint32_t, std::optional<std::vector<std::byte>>> streamsOf(cfb::CompoundFile& compound, std::uint64_t maxBytes)
{
    std::map<std::uint32_t, std::optional<std::vector<std::byte>>> streams;
    const auto ids = compound.directory().reachableStreams();
    if (!ids) return streams;
    for (const std::uint32_t id : *ids) {
        auto bytes = compound.readStream(id, maxBytes);
        streams[id] = bytes.ok() ? std::optional(std::move(bytes).value()) : std::nullopt;
    }
    return streams;
}

// The row's text as the display reads it from `file`.
std::string readBack(RandomAccessFile& file, const props::Fmtid& fmtid, std::uint32_t propertyId, int row)
{
    auto opened = cfb::CompoundFile::open(file);
    require(opened.ok());
    const auto entryId = opened.value().findRootStream(propset::propertySetStreamName(fmtid));
    if (!entryId) return {};
    auto stream = opened.value().readStream(*entryId, propset::kMaxPropertySetStreamBytes);
    require(stream.ok());
    const auto layout = propset::parsePropertySet(*stream);
    require(layout.has_value());
    if (layout->sections.empty()) return {};  // a set without a section holds no value
    const auto value = propset::readProperty(*stream, layout->sections.front(), propertyId);
    if (!value) return {};
    return props::isDurationRow(row) ? propset::EditTimeValueToText(*value) : propset::PropertyValueToText(*value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<std::string> texts = valueTexts();
    const auto* first = reinterpret_cast<const std::byte*>(data);
    const std::vector<std::byte> original(first, first + size);
    const int row = size > kRowByte ? data[kRowByte] % props::kRowCount : 0;
    const std::string& text = texts[size > kValueByte ? data[kValueByte] % texts.size() : 0];
    const auto value = props::rowValueOfDisplayText(row, text);
    const auto rowWrite = value.ok() ? document::pptRowWrite(row, *value) : Result<propset::PropertyWrite>(value.failure());
    const props::Fmtid& fmtid = props::fmtidOfSelector(document::pptSelectorOfRow(row));

    // What the file holds before: every stream, and the entry of the set to be written.
    MemoryFile before(original);
    std::map<std::uint32_t, std::optional<std::vector<std::byte>>> streamsBefore;
    std::optional<std::uint32_t> setEntry;
    if (auto opened = cfb::CompoundFile::open(before); opened.ok()) {
        streamsBefore = streamsOf(opened.value(), size);
        setEntry = opened.value().findRootStream(propset::propertySetStreamName(fmtid));
    }

    MemoryFile file(original);
    const Failure written = rowWrite.ok() ? propset::writePropertiesInto(file, fmtid, std::span(&*rowWrite, 1))
                                          : rowWrite.failure();  // a text that is no value of its row
    if (written.failed()) {
        require(file.bytes() == original);
        return 0;
    }

    auto reopened = cfb::CompoundFile::open(file);
    require(reopened.ok());
    require(!reopened.value().checkAllocation().failed());
    const auto streamsAfter = streamsOf(reopened.value(), file.bytes().size());
    for (const auto& [id, bytes] : streamsBefore) {
        if (setEntry && id == *setEntry) continue;
        const auto after = streamsAfter.find(id);
        require(after != streamsAfter.end() && after->second == bytes);
    }
    require(streamsAfter.size() == streamsBefore.size() + (setEntry || file.bytes() == original ? 0 : 1));
    require(readBack(file, fmtid, rowWrite->propertyId, row) == expectedText(row, std::string(trimBlanksAndControls(text))));
    return 0;
}

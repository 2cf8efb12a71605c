// SPDX-License-Identifier: Apache-2.0
#include "table/row_request.h"

#include <algorithm>

#include "change/custom_value_text.h"
#include "table/table_cells.h"
#include "convert/display_text.h"
#include "convert/storable_date.h"
#include "fileinfo/attribute_word.h"
#include "props/row_value_text.h"

namespace quorvane::table {
namespace {

using fileinfo::BoxState;

std::optional<convert::DateTime> localDateOfCell(const std::string& text)
{
    const auto cell = tableInstantOf(text);
    return cell ? std::optional(convert::localValueOfInstant(cell->instant)) : std::nullopt;
}

std::string notADate(const std::string& text) { return "'" + text + "' is not a date"; }

// Whether the display text `shown` of a local date-time is the cell's date to its precision.
bool sameDate(const std::string& shown, const TableInstant& cell)
{
    const auto local = convert::readDisplayText(shown);
    const auto utcMs = local ? convert::localToUtcEpochMs(*local) : std::nullopt;
    if (!utcMs) return false;
    const std::int64_t seconds = *utcMs / 1000 - (*utcMs % 1000 < 0);
    return sameAtCellPrecision(cell, seconds, std::int32_t(*utcMs - seconds * 1000) * 1'000'000);
}

bool sameCustomValue(const props::CustomValue& a, const props::CustomValue& b)
{
    constexpr std::uint64_t kUnitsPerSecond = 10'000'000;
    return a.type == b.type && a.text == b.text && a.integer == b.integer && a.number == b.number && a.yesNo == b.yesNo &&
           a.filetime100ns / kUnitsPerSecond == b.filetime100ns / kUnitsPerSecond;
}

class RowReader {
public:
    RowReader(const change::FileDisplay& current, std::vector<TableRefusal>& refusals, const std::string& where)
        : current_(current), refusals_(refusals), where_(where)
    {
    }

    void readCell(const TableColumn& column, const std::optional<std::string>& text, change::FileRequest& request)
    {
        column_ = &column;
        switch (column.kind) {
        case TableColumn::Kind::Row: readRow(column.index, text.value_or(""), request); break;
        case TableColumn::Kind::FileTime: if (text) readFileTime(column.index, *text, request); break;
        case TableColumn::Kind::Attribute: if (text) readAttribute(column.index, *text, request); break;
        case TableColumn::Kind::Custom: readCustom(column, text, request); break;
        }
    }

private:
    void refuse(std::string reason) { refusals_.push_back({where_, column_->title, std::move(reason)}); }

    void readRow(int row, const std::string& text, change::FileRequest& request)
    {
        const std::string shown = current_.rows ? (*current_.rows)[std::size_t(row)] : std::string();
        props::RowValue value = props::RowValue::cleared();
        if (!text.empty() && props::isDateTimeRow(row)) {
            const auto cell = tableInstantOf(text);
            if (!cell) return refuse(notADate(text));
            const std::int64_t utcMs = cell->instant.utcSeconds * 1000 + cell->instant.nanoseconds / 1'000'000;
            if (const Failure refusal = convert::storableDateRefusal(utcMs, "'" + text + "'"); refusal.failed())
                return refuse(refusal.text());
            if (sameDate(shown, *cell)) return;
            value = props::RowValue::instantValue(utcMs);
        } else if (!text.empty() && props::isDurationRow(row)) {
            auto minutes = props::rowValueOfDisplayText(row, text);
            if (!minutes.ok()) return refuse(minutes.failure().text());
            value = std::move(minutes).value();
            if (const auto held = props::rowValueOfDisplayText(row, shown); held.ok() && *held == value) return;
        } else if (!text.empty()) {
            if (text == shown) return;
            value = props::RowValue::textValue(text);
        } else if (shown.empty()) {
            return;
        }
        request.content.rows[std::size_t(row)] = std::move(value);
    }

    void readFileTime(int index, const std::string& text, change::FileRequest& request)
    {
        if (text.empty()) return;
        const auto cell = tableInstantOf(text);
        if (!cell) return refuse(notADate(text));
        if (current_.snapshot) {
            const fileinfo::FileSnapshot& snapshot = *current_.snapshot;
            const timespec held = index == props::kCreationTimeLabel ? fileinfo::timespecOf(snapshot.creationTime)
                                : index == props::kModifyTimeLabel   ? snapshot.exactLastWrite
                                                                     : snapshot.exactLastAccess;
            if (sameAtCellPrecision(*cell, held.tv_sec, std::int32_t(held.tv_nsec))) return;
        }
        const convert::DateTime local = convert::localValueOfInstant(cell->instant);
        fileinfo::FileTimeSources* const times[] = {&request.file.creation, &request.file.lastWrite, &request.file.lastAccess};
        times[index - props::kCreationTimeLabel]->date = convert::datePart(local);
        times[index - props::kCreationTimeLabel]->time = convert::timePart(local);
    }

    void readAttribute(int index, const std::string& text, change::FileRequest& request)
    {
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
        const bool on = lower == "y" || lower == "yes" || lower == "true" || lower == "1" || lower == "on";
        const bool off = lower.empty() || lower == "n" || lower == "no" || lower == "false" || lower == "0" || lower == "off";
        if (!on && !off) return refuse("'" + text + "' is neither Y nor empty (yes or no)");
        constexpr fileinfo::AttributeWord kBits[] = {fileinfo::kReadOnly, fileinfo::kArchive, fileinfo::kHidden, fileinfo::kSystem};
        const fileinfo::AttributeWord bit = kBits[index - props::kReadOnlyLabel];
        if (current_.snapshot && bool(current_.snapshot->attributes & bit) == on) return;
        BoxState fileinfo::AttributeBoxes::*const boxes[] = {&fileinfo::AttributeBoxes::readOnly, &fileinfo::AttributeBoxes::archive,
                                                             &fileinfo::AttributeBoxes::hidden, &fileinfo::AttributeBoxes::system};
        request.file.boxes.*boxes[index - props::kReadOnlyLabel] = on ? BoxState::Checked : BoxState::Unchecked;
    }

    void readCustom(const TableColumn& column, const std::optional<std::string>& text, change::FileRequest& request)
    {
        const auto held = std::find_if(current_.custom.begin(), current_.custom.end(), [&](const props::CustomProperty& property) {
            return props::sameCustomName(property.name, column.customName);
        });
        const bool holds = held != current_.custom.end();
        if (!text || text->empty()) {
            if (holds && (!text || !held->value.empty()))
                request.content.custom.push_back({props::CustomEdit::Kind::Remove, column.customName, {}});
            return;
        }
        std::string_view type = column.customType;
        if (type.empty()) type = holds && isReadType(held->type) ? std::string_view(held->type) : props::kCustomText;
        type = canonicalType(type);
        const std::string valueText = type == props::kCustomNumber ? numberTextOfCell(*text) : *text;
        auto value = change::customValueOfText(type, valueText, localDateOfCell);
        if (!value.ok()) return refuse(value.failure().text());
        if (holds && held->type == type && type == props::kCustomDate) {
            if (sameDate(held->value, *tableInstantOf(*text))) return;  // the value read, so a date
        } else if (holds && held->type == type) {
            const auto heldValue = change::customValueOfText(type, held->value, localDateOfCell);
            if (heldValue.ok() && sameCustomValue(*heldValue, *value)) return;
        }
        request.content.custom.push_back({props::CustomEdit::Kind::Set, column.customName, std::move(value).value()});
    }

    static bool isReadType(std::string_view type) { return !canonicalType(type).empty(); }

    // The type name of props/custom_property.h that `type` spells, whose storage outlives the
    // request; "" for another type.
    static std::string_view canonicalType(std::string_view type)
    {
        for (const std::string_view known : {props::kCustomText, props::kCustomInteger, props::kCustomNumber, props::kCustomYesNo,
                                             props::kCustomDate})
            if (type == known) return known;
        return {};
    }

    const change::FileDisplay& current_;
    std::vector<TableRefusal>& refusals_;
    const std::string& where_;
    const TableColumn* column_ = nullptr;
};

}  // namespace

RowRequest requestOfRow(const ValueTable& table, const TableRow& row, const change::FileDisplay& current,
                        std::optional<std::size_t> onlyCell)
{
    RowRequest result;
    RowReader reader(current, result.refusals, row.where);
    for (std::size_t cell = 0; cell < row.cells.size(); ++cell)
        if (!onlyCell || *onlyCell == cell)
            reader.readCell(table.columns[row.cells[cell].column], row.cells[cell].text, result.request);
    return result;
}

}  // namespace quorvane::table

// SPDX-License-Identifier: Apache-2.0
#include "change/saved_defaults.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "convert/display_text.h"
#include "base/error.h"

namespace quorvane::change {
namespace {

using convert::DateTime;

// Value-name stems of the three file times, in FileTimeIndex order.
constexpr const char* kFileTimeNames[] = {"createtime", "modifytime", "accesstime"};
// The four attribute boxes with their value names ("contentindex" is System), in saving order.
struct AttributeValue {
    const char* name;
    fileinfo::BoxState fileinfo::AttributeBoxes::*box;
};
constexpr AttributeValue kAttributeValues[] = {
    {"readonly", &fileinfo::AttributeBoxes::readOnly},
    {"archive", &fileinfo::AttributeBoxes::archive},
    {"hidden", &fileinfo::AttributeBoxes::hidden},
    {"contentindex", &fileinfo::AttributeBoxes::system},
};
constexpr char kBackupName[] = "backupold";
constexpr char kRemoveAllCustomName[] = "removeallcustom";
constexpr char kValuesAreTemplatesName[] = "valuesaretemplates";
constexpr char kLastFolderName[] = "lastfolder";
constexpr char kListColumnsName[] = "listcolumns";

std::string stringValueName(int row) { return std::string(props::catalogueRow(row).label) + "string"; }
std::string checkValueName(int row) { return std::string(props::catalogueRow(row).label) + "check"; }

// Three-state boxes are stored "0" grayed, "1" checked, "2" unchecked.
std::string boxStateText(fileinfo::BoxState state)
{
    switch (state) {
    case fileinfo::BoxState::Checked: return "1";
    case fileinfo::BoxState::Unchecked: return "2";
    case fileinfo::BoxState::Grayed: break;
    }
    return "0";
}

fileinfo::BoxState boxStateOf(const std::string& text)
{
    if (text == "1") return fileinfo::BoxState::Checked;
    if (text == "2") return fileinfo::BoxState::Unchecked;
    return fileinfo::BoxState::Grayed;
}

bool isDateRow(int row)
{
    return row == props::kCreatedRow || row == props::kLastSavedRow || row == props::kLastPrintedRow;
}

std::optional<DateTime> displayTextDateTimeOf(const std::string& text)
{
    try {
        return convert::DisplayTextToDateTime(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// The store writes a date-time in one form whatever the locale, "YYYY-MM-DD HH:MM:SS", so that
// a store written under one locale reads under another. "" for a value outside years 1..9999.
std::string storeTextOf(DateTime value)
{
    const auto f = convert::decodeDateTimeInRange(value);
    if (!f) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f->year, f->month, f->day, f->hour,
                  f->minute, f->second);
    return text;
}

// Reads the store's form, also with the time left out; nullopt for any other text.
std::optional<DateTime> dateTimeOfStoreText(std::string_view text)
{
    static constexpr std::string_view kShape = "0000-00-00 00:00:00";
    if (text.size() != kShape.size() && text.size() != 10) return std::nullopt;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digitWanted = kShape[i] == '0';
        const bool isDigit = text[i] >= '0' && text[i] <= '9';
        if (digitWanted ? !isDigit : text[i] != kShape[i]) return std::nullopt;
    }
    const auto number = [text](std::size_t first, std::size_t length) {
        int value = 0;
        for (std::size_t i = first; i < first + length && i < text.size(); ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    return convert::encodeDateTime(
        {number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2), 0});
}

// A stored date-time: the store's form, or the current locale's display text that stores
// written before that form hold.
std::optional<DateTime> storedDateTimeOf(const std::string& text)
{
    if (const auto value = dateTimeOfStoreText(text)) return value;
    return displayTextDateTimeOf(text);
}

// The text a property row is stored with: a date row's date-time in the store's form.
std::string storedRowValueOf(int row, const std::string& rowValue)
{
    if (!isDateRow(row)) return rowValue;
    const auto value = displayTextDateTimeOf(rowValue);
    return value ? storeTextOf(*value) : rowValue;
}

// The stored text of a property row as the batch table takes it back.
std::string rowValueOf(int row, const std::string& stored, DateTime now)
{
    if (!isDateRow(row) || (row == props::kLastPrintedRow && stored.empty())) return stored;
    if (const auto value = dateTimeOfStoreText(stored)) return convert::DateTimeToDisplayText(*value);
    return displayTextDateTimeOf(stored) ? stored : convert::DateTimeToDisplayText(now);
}

}  // namespace

NamedValues defaultsValuesOf(const BatchSettings& settings)
{
    NamedValues values;
    for (int index = 0; index < 3; ++index) {
        const FileTimeSetting& time = settings.fileTimes[std::size_t(index)];
        const std::string stem = kFileTimeNames[index];
        // The pair is one date-time: the date of the date picker with the time of the time picker.
        const DateTime combined = convert::datePart(time.datePicker) + convert::timePart(time.timePicker);
        values.emplace_back(stem, storeTextOf(combined));
        values.emplace_back(stem + "checkdate", time.applyDate ? "1" : "0");
        values.emplace_back(stem + "checktime", time.applyTime ? "1" : "0");
    }
    for (const AttributeValue& attribute : kAttributeValues)
        values.emplace_back(attribute.name, boxStateText(settings.attributes.*attribute.box));
    for (int row = 0; row < props::kRowCount; ++row) {
        values.emplace_back(stringValueName(row), storedRowValueOf(row, settings.rowValues[std::size_t(row)]));
        values.emplace_back(checkValueName(row), settings.rowChecks[std::size_t(row)] ? "1" : "0");
    }
    values.emplace_back(kBackupName, settings.backup ? "1" : "");
    values.emplace_back(kRemoveAllCustomName, settings.removeAllCustom ? "1" : "");
    values.emplace_back(kValuesAreTemplatesName, settings.valuesAreTemplates ? "1" : "");
    return values;
}

BatchSettings batchSettingsFromDefaults(const NamedValues& values, DateTime now)
{
    BatchSettings settings;
    for (int index = 0; index < 3; ++index) {
        FileTimeSetting& time = settings.fileTimes[std::size_t(index)];
        const std::string stem = kFileTimeNames[index];
        const DateTime value = storedDateTimeOf(valueOf(values, stem)).value_or(now);
        time.datePicker = value;
        time.timePicker = value;
        time.applyDate = valueOf(values, stem + "checkdate") != "0";
        time.applyTime = valueOf(values, stem + "checktime") != "0";
    }
    for (const AttributeValue& attribute : kAttributeValues)
        settings.attributes.*attribute.box = boxStateOf(valueOf(values, attribute.name));
    settings.backup = valueOf(values, kBackupName) == "1";
    settings.removeAllCustom = valueOf(values, kRemoveAllCustomName) == "1";
    settings.valuesAreTemplates = valueOf(values, kValuesAreTemplatesName) == "1";
    for (int row = 0; row < props::kRowCount; ++row) {
        settings.rowValues[std::size_t(row)] = rowValueOf(row, valueOf(values, stringValueName(row)), now);
        settings.rowChecks[std::size_t(row)] = valueOf(values, checkValueName(row)) == "1";
    }
    return settings;
}

bool saveBatchDefaults(const std::string& storePath, const BatchSettings& settings, const TargetWrapper& wrapTarget)
{
    return writeDefaultsKey(storePath, defaultsValuesOf(settings), wrapTarget);
}

std::optional<BatchSettings> loadBatchDefaults(const std::string& storePath, DateTime now)
{
    const auto values = openDefaultsKey(storePath);
    if (!values) return std::nullopt;
    return batchSettingsFromDefaults(*values, now);
}

Result<BatchSettings> loadSavedBatchSettings(const std::string& storePath, DateTime now)
{
    const auto values = readDefaultsKey(storePath);
    if (!values.ok() && values.failure().kind() == FailureKind::NotFound)
        return values.failure().within("no saved batch settings");
    if (!values.ok()) return values.failure();
    // A saved store holds every batch value, the dates never empty; a store holding none of them
    // (the last folder used alone, say) holds no settings, and the first-start ones are no one's.
    const NamedValues names = defaultsValuesOf(BatchSettings{});
    const bool holdsSettings = std::any_of(names.begin(), names.end(), [&](const auto& named) {
        return !valueOf(*values, named.first).empty();
    });
    if (!holdsSettings) return Failure(FailureKind::NotFound, "no saved batch settings in " + storePath);
    return batchSettingsFromDefaults(*values, now);
}

std::string lastUsedFolder(const std::string& storePath)
{
    const auto values = openDefaultsKey(storePath);
    if (!values) return "";
    std::string folder = valueOf(*values, kLastFolderName);
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) return "";
    return folder;
}

bool rememberLastUsedFolder(const std::string& storePath, const std::string& folder)
{
    const auto values = openDefaultsKey(storePath);
    if (values && valueOf(*values, kLastFolderName) == folder) return true;
    return writeDefaultsKey(storePath, {{kLastFolderName, folder}});
}

std::vector<std::string> shownListColumns(const std::string& storePath)
{
    const auto values = openDefaultsKey(storePath);
    std::vector<std::string> names;
    if (!values) return names;
    const std::string stored = valueOf(*values, kListColumnsName);
    for (std::size_t start = 0; start < stored.size();) {
        const std::size_t comma = std::min(stored.find(',', start), stored.size());
        if (comma > start) names.push_back(stored.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

bool rememberListColumns(const std::string& storePath, const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ",") + name;
    const auto values = openDefaultsKey(storePath);
    if (values && valueOf(*values, kListColumnsName) == joined) return true;
    return writeDefaultsKey(storePath, {{kListColumnsName, joined}});
}

}  // namespace quorvane::change

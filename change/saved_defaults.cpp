#include "change/saved_defaults.h"

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

std::optional<DateTime> dateTimeOf(const std::string& text)
{
    try {
        return convert::DisplayTextToDateTime(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// The stored text of a property row as the batch table takes it back.
std::string rowValueOf(int row, const std::string& stored, DateTime now)
{
    if (row == props::kCreatedRow || row == props::kLastSavedRow)
        return dateTimeOf(stored) ? stored : convert::DateTimeToDisplayText(now);
    if (row == props::kLastPrintedRow && !stored.empty())
        return dateTimeOf(stored) ? stored : convert::DateTimeToDisplayText(now);
    return stored;
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
        values.emplace_back(stem, convert::DateTimeToDisplayText(combined));
        values.emplace_back(stem + "checkdate", time.applyDate ? "1" : "0");
        values.emplace_back(stem + "checktime", time.applyTime ? "1" : "0");
    }
    for (const AttributeValue& attribute : kAttributeValues)
        values.emplace_back(attribute.name, boxStateText(settings.attributes.*attribute.box));
    for (int row = 0; row < props::kRowCount; ++row) {
        values.emplace_back(stringValueName(row), settings.rowValues[std::size_t(row)]);
        values.emplace_back(checkValueName(row), settings.rowChecks[std::size_t(row)] ? "1" : "0");
    }
    values.emplace_back(kBackupName, settings.backup ? "1" : "");
    return values;
}

BatchSettings batchSettingsFromDefaults(const NamedValues& values, DateTime now)
{
    BatchSettings settings;
    for (int index = 0; index < 3; ++index) {
        FileTimeSetting& time = settings.fileTimes[std::size_t(index)];
        const std::string stem = kFileTimeNames[index];
        const DateTime value = dateTimeOf(valueOf(values, stem)).value_or(now);
        time.datePicker = value;
        time.timePicker = value;
        time.applyDate = valueOf(values, stem + "checkdate") != "0";
        time.applyTime = valueOf(values, stem + "checktime") != "0";
    }
    for (const AttributeValue& attribute : kAttributeValues)
        settings.attributes.*attribute.box = boxStateOf(valueOf(values, attribute.name));
    settings.backup = valueOf(values, kBackupName) == "1";
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

}  // namespace quorvane::change

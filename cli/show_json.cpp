// SPDX-License-Identifier: Apache-2.0
#include "cli/show_json.h"

#include "cli/json_writer.h"
#include "cli/output_text.h"
#include "convert/display_text.h"
#include "convert/machine_date_text.h"
#include "convert/utf8_sequence.h"
#include "fileinfo/attribute_word.h"

namespace quorvane::cli {
namespace {

constexpr std::string_view kNull = "null";

std::string jsonTextOrNull(const std::string& text) { return text.empty() ? std::string(kNull) : jsonString(text); }

// A row's value: minutes as a number, dates as instants, every other row (the revision number
// included, which a file stores as text) as a string.
std::string jsonRowValue(int row, const std::string& text)
{
    if (text.empty()) return std::string(kNull);
    if (props::isDateTimeRow(row)) return jsonInstantOfDisplayText(text);
    if (props::isDurationRow(row)) return text;
    return jsonString(text);
}

std::string jsonCustomValue(const props::CustomProperty& custom)
{
    if (custom.type == props::kCustomText) return jsonString(custom.value);
    if (custom.value.empty()) return std::string(kNull);
    // A stored NaN or infinity has no JSON number.
    const bool isNumber = custom.value.find_first_not_of("0123456789+-.e") == std::string::npos;
    if (custom.type == props::kCustomInteger || custom.type == props::kCustomNumber) return isNumber ? custom.value : std::string(kNull);
    if (custom.type == props::kCustomYesNo) return custom.value == "yes" ? "true" : "false";
    if (custom.type == props::kCustomDate) return jsonInstantOfDisplayText(custom.value);
    return std::string(kNull);  // a stored type the program does not read
}

std::string jsonTimes(const std::optional<fileinfo::FileSnapshot>& snapshot)
{
    const auto instant = [&](const timespec& exact) {
        return jsonString(convert::rfc3339TextOfInstant(exact.tv_sec, std::int32_t(exact.tv_nsec)));
    };
    if (!snapshot) return R"({"created": null, "modified": null, "accessed": null})";
    return "{\"created\": " + jsonString(convert::rfc3339TextOfFileTime(snapshot->creationTime)) +
           ", \"modified\": " + instant(snapshot->exactLastWrite) + ", \"accessed\": " + instant(snapshot->exactLastAccess) +
           "}";
}

std::string jsonAttributes(const std::optional<fileinfo::FileSnapshot>& snapshot)
{
    const fileinfo::AttributeWord bits[] = {fileinfo::kReadOnly, fileinfo::kArchive, fileinfo::kHidden, fileinfo::kSystem};
    std::string object = "{";
    for (int index = props::kReadOnlyLabel; index <= props::kSystemLabel; ++index) {
        const std::string value =
            !snapshot ? std::string(kNull) : (snapshot->attributes & bits[index - props::kReadOnlyLabel]) ? "true" : "false";
        object += (index > props::kReadOnlyLabel ? ", " : "") + jsonString(props::fileInfoName(index)) + ": " + value;
    }
    return object + "}";
}

}  // namespace

std::string jsonInstantOfDisplayText(const std::string& displayText)
{
    const auto local = convert::readDisplayText(displayText);
    const std::string text = local ? convert::rfc3339TextOfLocal(*local) : "";
    return jsonTextOrNull(text);
}

std::string jsonObjectOf(const FileReport& file)
{
    std::string object = "{\"path\": " + jsonString(file.path);
    // The text above has U+FFFD for bytes that are not UTF-8; the bytes themselves, losslessly.
    if (!convert::isValidUtf8(file.path)) object += ", \"path_bytes\": \"" + hexOfBytes(file.path) + '"';
    object += ", \"format\": " + (file.format ? jsonString(*file.format) : std::string(kNull));
    object += ", \"readable\": " + std::string(file.failure.empty() ? "true" : "false");
    object += ", \"failure\": " + jsonTextOrNull(file.failure) + ", \"properties\": {";
    for (int row = 0; row < props::kRowCount; ++row)
        object += (row ? ", " : "") + jsonString(props::catalogueRow(row).name) + ": " +
                  jsonRowValue(row, file.rows[std::size_t(row)]);
    object += "}, \"times\": " + jsonTimes(file.snapshot) + ", \"attributes\": " + jsonAttributes(file.snapshot);
    object += ", \"custom\": [";
    for (std::size_t index = 0; index < file.custom.size(); ++index)
        object += (index ? ", " : "") + std::string("{\"name\": ") + jsonString(file.custom[index].name) +
                  ", \"type\": " + jsonString(file.custom[index].type) + ", \"value\": " + jsonCustomValue(file.custom[index]) +
                  "}";
    return object + "]}";
}

}  // namespace quorvane::cli

// SPDX-License-Identifier: Apache-2.0
#include "table/value_table.h"

#include <algorithm>

#include "table/csv_table.h"
#include "table/json_reader.h"
#include "props/catalogue.h"
#include "props/custom_property.h"

namespace quorvane::table {
namespace {

constexpr std::string_view kPathTitle = "File full name";
constexpr std::string_view kFileNameTitle = "File Name";
constexpr std::string_view kCustomTypes[] = {props::kCustomText, props::kCustomInteger, props::kCustomNumber,
                                             props::kCustomYesNo, props::kCustomDate};

std::string lowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
    return text;
}

// The type name `given` stands for (letter case ignored); "" for none of the five.
std::string_view customTypeOf(const std::string& given)
{
    const std::string lower = lowerAscii(given);
    for (const std::string_view type : kCustomTypes)
        if (lower == type) return type;
    return {};
}

// The column of a CSV title other than the path's and the file name's.
std::optional<TableColumn> csvColumnOf(const std::string& title, std::string& problem)
{
    for (int row = 0; row < props::kRowCount; ++row)
        if (title == props::catalogueRow(row).label) return TableColumn{title, TableColumn::Kind::Row, row, {}, {}};
    for (int index = 0; index < props::kFileInfoLabelCount; ++index)
        if (title == props::fileInfoLabel(index))
            return TableColumn{title, index <= props::kLastAccessTimeLabel ? TableColumn::Kind::FileTime : TableColumn::Kind::Attribute,
                               index, {}, {}};
    TableColumn custom{title, TableColumn::Kind::Custom, 0, title, {}};
    if (const auto colon = title.rfind(':'); colon != std::string::npos) {
        custom.customType = customTypeOf(title.substr(colon + 1));
        if (custom.customType.empty()) {
            problem = "unknown type '" + title.substr(colon + 1) + "' (text, integer, number, yes-no or date)";
            return std::nullopt;
        }
        custom.customName = title.substr(0, colon);
    }
    if (custom.customName.empty()) {
        problem = "a column without a title";
        return std::nullopt;
    }
    return custom;
}

TableReading csvTable(std::string_view bytes)
{
    TableReading reading;
    reading.table.pathTitle = kPathTitle;
    auto records = readCsvRecords(tableTextOf(bytes));
    if (!records.ok()) return {{}, {{"", "", records.failure().text()}}};
    if (records->empty()) return {{}, {{"", "", "the table is empty"}}};
    const std::vector<std::string>& titles = records->front().fields;
    std::optional<std::size_t> pathField;
    // Each field's column, or nullopt for the path and file name fields.
    std::vector<std::optional<std::size_t>> columnOfField(titles.size());
    for (std::size_t field = 0; field < titles.size(); ++field) {
        const std::string& title = titles[field];
        if (std::count(titles.begin(), titles.begin() + std::ptrdiff_t(field), title)) {
            reading.refusals.push_back({"row 1", title, "the column is given twice"});
            continue;
        }
        if (title == kPathTitle) {
            pathField = field;
            continue;
        }
        if (title == kFileNameTitle) continue;
        std::string problem;
        const auto column = csvColumnOf(title, problem);
        if (!column) {
            reading.refusals.push_back({"row 1", title.empty() ? "number " + std::to_string(field + 1) : title, problem});
            continue;
        }
        columnOfField[field] = reading.table.columns.size();
        reading.table.columns.push_back(*column);
    }
    if (!pathField) reading.refusals.push_back({"row 1", "", "no column \"" + std::string(kPathTitle) + "\" names the files"});
    if (!reading.refusals.empty()) return reading;
    for (std::size_t record = 1; record < records->size(); ++record) {
        const CsvRecord& line = (*records)[record];
        TableRow row{"row " + std::to_string(record + 1), {}, {}};
        if (line.fields.size() > titles.size()) {
            reading.refusals.push_back({row.where, "", "more fields than the titles in row 1"});
            continue;
        }
        for (std::size_t field = 0; field < line.fields.size(); ++field) {
            if (field == *pathField) row.path = line.fields[field];
            else if (columnOfField[field]) row.cells.push_back({*columnOfField[field], line.fields[field]});
        }
        if (row.path.empty()) reading.refusals.push_back({row.where, std::string(kPathTitle), "no file named"});
        reading.table.rows.push_back(std::move(row));
    }
    return reading;
}

// The bytes of hexadecimal text, as show --json prints path_bytes; nullopt for other text.
std::optional<std::string> bytesOfHex(const std::string& hex)
{
    if (hex.size() % 2) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (const char c : {hex[i], hex[i + 1]}) {
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0) return std::nullopt;
            value = value * 16 + digit;
        }
        bytes += char(value);
    }
    return bytes;
}

class JsonTableReader {
public:
    TableReading read(const JsonValue& document)
    {
        if (document.kind != JsonValue::Kind::Array) return {{}, {{"", "", "the JSON table is not an array"}}};
        reading_.table.pathTitle = "path";
        for (std::size_t element = 0; element < document.items.size(); ++element)
            readElement(document.items[element], "element " + std::to_string(element + 1));
        return std::move(reading_);
    }

private:
    void refuse(const std::string& where, const std::string& column, std::string reason)
    {
        reading_.refusals.push_back({where, column, std::move(reason)});
    }

    std::size_t columnIndex(TableColumn column)
    {
        const auto& columns = reading_.table.columns;
        const auto found = std::find_if(columns.begin(), columns.end(), [&](const TableColumn& known) {
            return known.title == column.title && known.customType == column.customType;
        });
        if (found != columns.end()) return std::size_t(found - columns.begin());
        reading_.table.columns.push_back(std::move(column));
        return columns.size() - 1;
    }

    // A scalar as cell text: strings as they are, numbers as written, booleans as yes and no,
    // null as nullopt; nullopt with a refusal for an array or object.
    std::optional<std::optional<std::string>> cellText(const JsonValue& value, const std::string& where, const std::string& title)
    {
        switch (value.kind) {
        case JsonValue::Kind::Null: return std::optional<std::string>();
        case JsonValue::Kind::Boolean: return std::optional<std::string>(value.boolean ? "yes" : "no");
        case JsonValue::Kind::Number:
        case JsonValue::Kind::String: return std::optional<std::string>(value.text);
        default: refuse(where, title, "not a string, number, boolean or null"); return std::nullopt;
        }
    }

    // The members of one of the objects "properties", "times", "attributes".
    void readGroup(const JsonValue& group, std::string_view groupName, TableRow& row)
    {
        if (group.kind != JsonValue::Kind::Object) {
            refuse(row.where, std::string(groupName), "not an object");
            return;
        }
        for (const auto& [name, value] : group.members) {
            const std::string title = std::string(groupName) + "." + name;
            std::optional<TableColumn> column;
            if (groupName == "properties") {
                for (int index = 0; index < props::kRowCount; ++index)
                    if (name == props::catalogueRow(index).name) column = TableColumn{title, TableColumn::Kind::Row, index, {}, {}};
            } else {
                const bool times = groupName == "times";
                const int first = times ? props::kCreationTimeLabel : props::kReadOnlyLabel;
                const int last = times ? props::kLastAccessTimeLabel : props::kSystemLabel;
                for (int index = first; index <= last; ++index)
                    if (name == props::fileInfoName(index))
                        column = TableColumn{title, times ? TableColumn::Kind::FileTime : TableColumn::Kind::Attribute, index, {}, {}};
            }
            if (!column) {
                refuse(row.where, title, "unknown column");
                continue;
            }
            if (const auto text = cellText(value, row.where, title)) row.cells.push_back({columnIndex(*column), *text});
        }
    }

    void readCustom(const JsonValue& custom, TableRow& row)
    {
        if (custom.kind != JsonValue::Kind::Array) {
            refuse(row.where, "custom", "not an array");
            return;
        }
        for (const JsonValue& entry : custom.items) {
            const JsonValue* name = entry.member("name");
            const JsonValue* type = entry.member("type");
            const JsonValue* value = entry.member("value");
            if (entry.kind != JsonValue::Kind::Object || !name || name->kind != JsonValue::Kind::String || name->text.empty() || !value) {
                refuse(row.where, "custom", "an entry without a name or a value");
                continue;
            }
            const std::string title = "custom." + name->text;
            TableColumn column{title, TableColumn::Kind::Custom, 0, name->text, {}};
            if (type && type->kind != JsonValue::Kind::Null) {
                column.customType = type->kind == JsonValue::Kind::String ? customTypeOf(type->text) : std::string_view();
                // A type the program does not read (VT_BLOB) is kept as it is: only its removal applies.
                const bool unreadType = type->kind == JsonValue::Kind::String && column.customType.empty() && value->kind == JsonValue::Kind::Null;
                if (unreadType) continue;
                if (column.customType.empty()) {
                    refuse(row.where, title, "unknown type (text, integer, number, yes-no or date)");
                    continue;
                }
            }
            if (const auto text = cellText(*value, row.where, title)) row.cells.push_back({columnIndex(column), *text});
        }
    }

    void readElement(const JsonValue& element, const std::string& where)
    {
        TableRow row{where, {}, {}};
        if (element.kind != JsonValue::Kind::Object) {
            refuse(where, "", "not an object");
            return;
        }
        for (const auto& [key, value] : element.members) {
            if (key == "path" && value.kind == JsonValue::Kind::String) {
                if (row.path.empty()) row.path = value.text;
            } else if (key == "path_bytes" && value.kind == JsonValue::Kind::String) {
                const auto bytes = bytesOfHex(value.text);
                if (bytes) row.path = *bytes;
                else refuse(where, key, "not hexadecimal bytes");
            } else if (key == "properties" || key == "times" || key == "attributes") {
                readGroup(value, key, row);
            } else if (key == "custom") {
                readCustom(value, row);
            } else if (key != "format" && key != "readable" && key != "failure") {
                refuse(where, key, "unknown column");
            }
        }
        if (row.path.empty()) refuse(where, "path", "no file named");
        reading_.table.rows.push_back(std::move(row));
    }

    TableReading reading_;
};

}  // namespace

std::string TableRefusal::text() const
{
    std::string text = where;
    if (!column.empty()) text += (text.empty() ? "column " : ", column ") + column;
    return text + (text.empty() ? "" : ": ") + reason;
}

TableReading readValueTable(std::string_view bytes)
{
    const std::string text = tableTextOf(bytes);
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos || text[first] != '[') return csvTable(bytes);
    const auto document = readJson(text);
    if (!document.ok()) return {{}, {{"", "", document.failure().text()}}};
    return JsonTableReader().read(*document);
}

}  // namespace quorvane::table

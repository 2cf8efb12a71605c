// SPDX-License-Identifier: Apache-2.0
#include "app/list_columns.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>
#include <limits>

#include "app/core_label_text.h"
#include "convert/display_text.h"
#include "fileinfo/attribute_word.h"

namespace quorvane::app {
namespace {

bool isDateRow(int row)
{
    return row == props::kCreatedRow || row == props::kLastSavedRow || row == props::kLastPrintedRow;
}

double rowNumberOf(int row, const std::string& text)
{
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    if (text.empty()) return kNone;
    if (isDateRow(row)) return convert::readDisplayText(text).value_or(kNone);
    if (row != props::kRevisionNumberRow && row != props::kTotalEditingTimeRow) return kNone;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    return end && *end == '\0' ? number : kNone;
}

template <typename Number>
int compareNumbers(Number a, Number b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

QString columnCaption(int column)
{
    if (column == kFileNameColumn) return QCoreApplication::translate("FileList", "File Name");
    if (column < kFirstTimeColumn) return coreLabelText(props::catalogueRow(column - kFirstRowColumn).label);
    if (column < kAttributesColumn) return coreLabelText(props::fileInfoLabel(props::kCreationTimeLabel + column - kFirstTimeColumn));
    switch (column) {
    case kAttributesColumn: return QCoreApplication::translate("FileList", "Attributes");
    case kSizeColumn: return QCoreApplication::translate("FileList", "Size");
    case kFormatColumn: return QCoreApplication::translate("FileList", "Format");
    default: return QCoreApplication::translate("FileList", "Status");
    }
}

std::string columnName(int column)
{
    if (column == kFileNameColumn) return "name";
    if (column < kFirstTimeColumn) return std::string(props::catalogueRow(column - kFirstRowColumn).name);
    if (column < kAttributesColumn) return std::string(props::fileInfoName(props::kCreationTimeLabel + column - kFirstTimeColumn));
    switch (column) {
    case kAttributesColumn: return "attributes";
    case kSizeColumn: return "size";
    case kFormatColumn: return "format";
    default: return "status";
    }
}

int columnOfName(std::string_view name)
{
    for (int column = 0; column < kListColumnCount; ++column)
        if (columnName(column) == name) return column;
    return -1;
}

LineValues lineValuesOf(const change::FileDisplay& display)
{
    LineValues values;
    if (display.rows) values.rows = *display.rows;
    for (int row = 0; row < props::kRowCount; ++row)
        values.rowNumbers[std::size_t(row)] = rowNumberOf(row, values.rows[std::size_t(row)]);
    if (display.snapshot) {
        values.hasSnapshot = true;
        values.times = {convert::FileTimeToDateTime(display.snapshot->creationTime),
                        convert::FileTimeToDateTime(display.snapshot->lastWriteTime),
                        convert::FileTimeToDateTime(display.snapshot->lastAccessTime)};
        values.attributes = display.snapshot->attributes;
    }
    if (display.stamp) values.sizeBytes = display.stamp->sizeBytes;
    values.format = display.format;
    return values;
}

QString columnText(const LineValues& values, int column)
{
    if (column >= kFirstRowColumn && column < kFirstTimeColumn)
        return QString::fromStdString(values.rows[std::size_t(column - kFirstRowColumn)]);
    if (column >= kFirstTimeColumn && column < kAttributesColumn) {
        if (!values.hasSnapshot) return {};
        return QString::fromStdString(convert::DateTimeToDisplayText(values.times[std::size_t(column - kFirstTimeColumn)]));
    }
    switch (column) {
    case kAttributesColumn: {
        if (!values.hasSnapshot) return {};
        // The letters of the set bits, in the order of the "File Attribute" boxes.
        QString letters;
        const std::pair<fileinfo::AttributeWord, char> bits[] = {
            {fileinfo::kReadOnly, 'R'}, {fileinfo::kArchive, 'A'}, {fileinfo::kHidden, 'H'}, {fileinfo::kSystem, 'S'}};
        for (const auto& [bit, letter] : bits)
            if (values.attributes & bit) letters += QLatin1Char(letter);
        return letters;
    }
    case kSizeColumn:
        return values.sizeBytes < 0 ? QString() : QLocale().formattedDataSize(values.sizeBytes);
    case kFormatColumn:
        if (!values.format) return {};
        return *values.format == document::DocumentFormat::Package
                   ? QCoreApplication::translate("FileList", "Open XML package")
                   : QCoreApplication::translate("FileList", "Compound document");
    default:
        return {};
    }
}

int compareColumn(const LineValues& a, const LineValues& b, int column)
{
    if (column >= kFirstRowColumn && column < kFirstTimeColumn) {
        const auto row = std::size_t(column - kFirstRowColumn);
        const double x = a.rowNumbers[row], y = b.rowNumbers[row];
        if (!std::isnan(x) && !std::isnan(y)) return compareNumbers(x, y);
        if (std::isnan(x) != std::isnan(y) && (a.rows[row].empty() || b.rows[row].empty()))
            return a.rows[row].empty() ? -1 : 1;
        return compareNaturally(columnText(a, column), columnText(b, column));
    }
    if (column >= kFirstTimeColumn && column < kAttributesColumn) {
        if (a.hasSnapshot != b.hasSnapshot) return a.hasSnapshot ? 1 : -1;
        const auto time = std::size_t(column - kFirstTimeColumn);
        return compareNumbers(a.times[time], b.times[time]);
    }
    if (column == kSizeColumn) return compareNumbers(a.sizeBytes, b.sizeBytes);
    return columnText(a, column).compare(columnText(b, column));
}

int compareNaturally(const QString& a, const QString& b)
{
    // Chunk by chunk: a run of digits against a run of digits by number (leading zeros aside),
    // anything else by text without regard to case.
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digits = a[i].isDigit() && b[j].isDigit();
        qsizetype endA = i, endB = j;
        while (endA < a.size() && a[endA].isDigit() == digits) ++endA;
        while (endB < b.size() && b[endB].isDigit() == digits) ++endB;
        QStringView chunkA = QStringView(a).sliced(i, endA - i), chunkB = QStringView(b).sliced(j, endB - j);
        int order = 0;
        if (digits) {
            while (chunkA.size() > 1 && chunkA.front() == u'0') chunkA = chunkA.sliced(1);
            while (chunkB.size() > 1 && chunkB.front() == u'0') chunkB = chunkB.sliced(1);
            order = chunkA.size() != chunkB.size() ? (chunkA.size() < chunkB.size() ? -1 : 1) : chunkA.compare(chunkB);
        } else {
            order = chunkA.compare(chunkB, Qt::CaseInsensitive);
        }
        if (order != 0) return order;
        i = endA;
        j = endB;
    }
    return i < a.size() ? 1 : (j < b.size() ? -1 : 0);
}

}  // namespace quorvane::app

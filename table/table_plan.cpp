// SPDX-License-Identifier: Apache-2.0
#include "table/table_plan.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>
#include <optional>
#include <utility>

#include "base/parallel_for.h"
#include "change/file_display.h"
#include "fileinfo/file_snapshot.h"
#include "table/row_request.h"
#include "table/value_table.h"

namespace quorvane::table {
namespace {

constexpr std::streamsize kMaxTableBytes = 64 << 20;

// The bytes of the table file `path`, or why they cannot be read.
Result<std::string> tableBytesOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return Failure::fromErrno(errno);
    // Read a piece at a time: the bound is what a table may hold, not what a table takes.
    std::string bytes;
    char piece[64 * 1024];
    while (file.read(piece, sizeof piece) || file.gcount() > 0) {
        bytes.append(piece, std::size_t(file.gcount()));
        if (std::streamsize(bytes.size()) > kMaxTableBytes) return Failure(FailureKind::Unsupported, "a table may hold at most 64 MiB");
    }
    if (file.bad()) return Failure::fromErrno(errno);
    return bytes;
}

// `path` as a row names it: as it is when absolute, else within the folder of `tablePath`.
std::string pathInTableFolder(const std::string& path, const std::string& tablePath)
{
    const auto slash = tablePath.find_last_of('/');
    if (path.starts_with('/') || slash == std::string::npos) return path;
    return tablePath.substr(0, slash + 1) + path;
}

class TablePlanner {
public:
    TablePlanner(const change::ChangeOptions& options, int jobs) : options_(options), jobs_(jobs) {}

    void plan(const std::string& tablePath, TablePlan& planned)
    {
        const auto refuse = [&](const TableRefusal& refusal) { planned.refusals.push_back(tablePath + ": " + refusal.text()); };
        const auto bytes = tableBytesOf(tablePath);
        if (!bytes.ok()) return refuse({"", "", bytes.failure().text()});
        const TableReading reading = readValueTable(*bytes);
        for (const TableRefusal& refusal : reading.refusals) refuse(refusal);
        if (!reading.refusals.empty()) return;
        // The custom properties are read only for a table that names some.
        const auto& columns = reading.table.columns;
        const bool withCustom = std::any_of(columns.begin(), columns.end(),
                                            [](const TableColumn& column) { return column.kind == TableColumn::Kind::Custom; });
        // Each row's file is found and checked for being named once, in row order; then the
        // files are read and planned, several at a time; then the refusals and plans are taken
        // in row order again.
        struct RowCheck {
            std::optional<TableRefusal> found;  // why the row names no file of its own
            std::string path;
            std::vector<TableRefusal> refusals;
            change::FileRequest request;
            change::FilePlan plan;
        };
        std::vector<RowCheck> checks(reading.table.rows.size());
        for (std::size_t index = 0; index < checks.size(); ++index) {
            const TableRow& row = reading.table.rows[index];
            RowCheck& check = checks[index];
            check.path = pathInTableFolder(row.path, tablePath);
            const auto stamp = change::fileStampOf(check.path);
            if (!stamp || !fileinfo::FileEntryExists(check.path)) {
                check.found = TableRefusal{row.where, reading.table.pathTitle, "'" + row.path + "' matches no file"};
                continue;
            }
            const auto [seen, isNew] = rowOfFile_.try_emplace({stamp->device, stamp->inode}, tablePath + " " + row.where);
            if (!isNew) check.found = TableRefusal{row.where, reading.table.pathTitle, "'" + row.path + "' is the file of " + seen->second + " too"};
        }
        forEachIndexInParallel(checks.size(), jobs_, [&](std::size_t index) {
            RowCheck& check = checks[index];
            if (check.found) return;
            const TableRow& row = reading.table.rows[index];
            const change::FileDisplay current = change::ReadFileForDisplay(check.path, withCustom);
            RowRequest rowRequest = requestOfRow(reading.table, row, current);
            check.refusals = std::move(rowRequest.refusals);
            if (!check.refusals.empty()) return;
            if (change::requestHasWork(rowRequest.request)) check.plan = change::planFileChange(check.path, rowRequest.request, options_);
            if (const auto refusal = valueRefusal(reading.table, row, check.path, current, check.plan)) {
                check.refusals.push_back(*refusal);
                return;
            }
            check.request = std::move(rowRequest.request);
        });
        for (RowCheck& check : checks) {
            if (check.found) refuse(*check.found);
            for (const TableRefusal& refusal : check.refusals) refuse(refusal);
            if (check.found || !check.refusals.empty()) continue;
            planned.paths.push_back(std::move(check.path));
            planned.requests.push_back(std::move(check.request));
            planned.plans.push_back(std::move(check.plan));
        }
    }

private:
    // Why the file cannot hold a value of its row (its plan refused as Conversion), named by the
    // first cell whose value alone is refused; nullopt when it can, or when the plan refuses the
    // file for a reason of its own (signed, locked, ...), which the run then reports for that file.
    std::optional<TableRefusal> valueRefusal(const ValueTable& table, const TableRow& row, const std::string& path,
                                             const change::FileDisplay& current, const change::FilePlan& plan)
    {
        if (!plan.refused() || plan.refusal.kind() != FailureKind::Conversion) return std::nullopt;
        for (std::size_t cell = 0; cell < row.cells.size(); ++cell) {
            const RowRequest alone = requestOfRow(table, row, current, cell);
            if (!change::requestHasWork(alone.request)) continue;
            const change::FilePlan cellPlan = change::planFileChange(path, alone.request, options_);
            if (cellPlan.refused() && cellPlan.refusal.kind() == FailureKind::Conversion)
                return TableRefusal{row.where, table.columns[row.cells[cell].column].title, cellPlan.refusal.text()};
        }
        return TableRefusal{row.where, "", plan.refusal.text()};
    }

    const change::ChangeOptions& options_;
    const int jobs_;
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::string> rowOfFile_;  // device and inode -> "TABLE row N"
};

}  // namespace

TablePlan planTables(const std::vector<std::string>& tablePaths, const change::ChangeOptions& options, int jobs)
{
    TablePlan planned;
    TablePlanner planner(options, jobs);
    for (const std::string& table : tablePaths) planner.plan(table, planned);
    return planned;
}

}  // namespace quorvane::table

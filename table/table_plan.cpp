// SPDX-License-Identifier: Apache-2.0
#include "table/table_plan.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>
#include <optional>
#include <utility>

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
    std::string bytes(std::size_t(kMaxTableBytes) + 1, '\0');
    file.read(bytes.data(), kMaxTableBytes + 1);
    if (file.bad()) return Failure::fromErrno(errno);
    if (file.gcount() > kMaxTableBytes) return Failure(FailureKind::Unsupported, "a table may hold at most 64 MiB");
    bytes.resize(std::size_t(file.gcount()));
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
    explicit TablePlanner(const change::ChangeOptions& options) : options_(options) {}

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
        for (const TableRow& row : reading.table.rows) {
            const std::string path = pathInTableFolder(row.path, tablePath);
            const auto stamp = change::fileStampOf(path);
            if (!stamp || !fileinfo::FileEntryExists(path)) {
                refuse({row.where, reading.table.pathTitle, "'" + row.path + "' matches no file"});
                continue;
            }
            const auto [seen, isNew] = rowOfFile_.try_emplace({stamp->device, stamp->inode}, tablePath + " " + row.where);
            if (!isNew) {
                refuse({row.where, reading.table.pathTitle, "'" + row.path + "' is the file of " + seen->second + " too"});
                continue;
            }
            const change::FileDisplay current = change::ReadFileForDisplay(path, withCustom);
            RowRequest rowRequest = requestOfRow(reading.table, row, current);
            for (const TableRefusal& refusal : rowRequest.refusals) refuse(refusal);
            if (!rowRequest.refusals.empty()) continue;
            change::FilePlan plan;
            if (change::requestHasWork(rowRequest.request)) plan = change::planFileChange(path, rowRequest.request, options_);
            if (const auto refusal = valueRefusal(reading.table, row, path, current, plan)) {
                refuse(*refusal);
                continue;
            }
            planned.paths.push_back(path);
            planned.requests.push_back(std::move(rowRequest.request));
            planned.plans.push_back(std::move(plan));
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
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::string> rowOfFile_;  // device and inode -> "TABLE row N"
};

}  // namespace

TablePlan planTables(const std::vector<std::string>& tablePaths, const change::ChangeOptions& options)
{
    TablePlan planned;
    TablePlanner planner(options);
    for (const std::string& table : tablePaths) planner.plan(table, planned);
    return planned;
}

}  // namespace quorvane::table

#include "cli/export_command.h"

#include <unistd.h>

#include "change/progress_percent.h"
#include "cli/usage.h"
#include "export/csv_export.h"

namespace quorvane::cli {
namespace {

// Redraws a one-line progress bar in place on a terminal.
void drawProgress(std::ostream& err, int percent)
{
    constexpr int kBarWidth = 40;
    const int filled = percent * kBarWidth / 100;
    err << "\r[" << std::string(std::size_t(filled), '#') << std::string(std::size_t(kBarWidth - filled), ' ') << "] "
        << percent << "%" << std::flush;
}

}  // namespace

int runExport(const std::vector<std::string>& arguments, std::ostream&, std::ostream& err)
{
    bool progress = false;
    std::vector<std::string> names;
    for (const std::string& argument : arguments) {
        if (argument == "--progress") progress = true;
        else if (argument.starts_with("--")) return usageError(err, "export: unknown option " + argument);
        else names.push_back(argument);
    }
    if (names.size() < 2) return usageError(err, "export: give the CSV file and at least one file");
    const std::string target = names.front();
    const std::vector<std::string> paths(names.begin() + 1, names.end());
    const bool showBar = progress && ::isatty(STDERR_FILENO);

    int status = 0;
    exporting::ExportList lines;
    exporting::WriteCsvHeader(lines);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::size_t linesBefore = lines.size();
        if (const Failure failure = exporting::appendFileLine(paths[i], lines); failure.failed()) {
            if (showBar) err << '\n';
            const bool lineAdded = lines.size() > linesBefore;
            err << "quorvane-cli: " << paths[i] << ": " << failure.text()
                << (lineAdded ? "" : "; no line written") << '\n';
            status = 1;
        }
        if (showBar) drawProgress(err, change::progressPercent(int(i + 1), int(paths.size())));
    }
    if (showBar) err << '\n';
    if (!exporting::saveExportList(target, lines)) {
        err << "quorvane-cli: cannot save to " << target << '\n';
        return 1;
    }
    return status;
}

}  // namespace quorvane::cli

#include "cli/show_command.h"

#include <array>

#include "cli/file_failure.h"
#include "cli/file_kind.h"
#include "cli/json_writer.h"
#include "cli/usage.h"
#include "props/catalogue.h"
#include "props/ppt_rows.h"

namespace quorvane::cli {
namespace {

struct FileRows {
    std::string path;
    std::string failure;  // "" when readable
    props::RowTexts rows;
};

FileRows readFile(const std::string& path)
{
    FileRows file{path, {}, {}};
    switch (fileKindOf(path)) {
    case FileKind::Package: file.failure = "packages (.pptx) are not supported yet"; break;
    case FileKind::CompoundDocument:
        file.failure = readFailureReason(path);
        if (file.failure.empty()) file.rows = props::readPptRows(path);
        break;
    }
    return file;
}

void printText(const FileRows& file, std::ostream& out)
{
    out << file.path << '\n';
    for (int row = 0; row < props::kRowCount; ++row)
        out << props::catalogueRow(row).label << ": " << file.rows[std::size_t(row)] << '\n';
}

void printJson(const FileRows& file, std::ostream& out)
{
    out << "{\"path\": " << jsonString(file.path) << ", \"readable\": " << (file.failure.empty() ? "true" : "false")
        << ", \"properties\": {";
    for (int row = 0; row < props::kRowCount; ++row) {
        out << (row ? ", " : "") << jsonString(props::catalogueRow(row).label) << ": "
            << jsonString(file.rows[std::size_t(row)]);
    }
    out << "}}";
}

}  // namespace

int runShow(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    bool json = false;
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        if (argument == "--json") json = true;
        else if (argument.starts_with("--")) return usageError(err, "show: unknown option " + argument);
        else paths.push_back(argument);
    }
    if (paths.empty()) return usageError(err, "show: no file given");

    int status = 0;
    if (json) out << "[";
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const FileRows file = readFile(paths[i]);
        if (!file.failure.empty()) {
            err << "quorvane-cli: " << file.path << ": " << file.failure << '\n';
            status = 1;
        }
        if (json) {
            out << (i ? ",\n " : "");
            printJson(file, out);
        } else {
            if (i) out << '\n';
            printText(file, out);
        }
    }
    if (json) out << "]\n";
    return status;
}

}  // namespace quorvane::cli

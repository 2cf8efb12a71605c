#include "cli/usage.h"

namespace quorvane::cli {

void printHelp(std::ostream& out)
{
    out << "Usage: quorvane-cli show [--json] FILE...\n"
           "       quorvane-cli set [ROW OPTIONS] FILE...\n"
           "       quorvane-cli --help\n"
           "\n"
           "show   prints the 14 document properties of each file, one \"Label: value\" line each;\n"
           "       --json prints one JSON array of {\"path\", \"readable\", \"properties\"}.\n"
           "set    writes the given properties into each file, in the order below, stopping at a\n"
           "       file's first failed write. Each option takes the value text; an empty text\n"
           "       removes the value (an empty string, or no date).\n"
           "         --title --subject --author --keywords --comments --category --revision\n"
           "         --last-saved-by --manager --company --total-editing-time (whole minutes)\n"
           "         --created --modified --last-printed (local time, YYYY-MM-DD[ HH:MM[:SS]])\n"
           "       Options may also be written --option=VALUE.\n"
           "\n"
           "Files ending in .pptx (any case) are packages, not supported yet; all others are read\n"
           "as compound documents (.ppt).\n"
           "Exit status: 0 all files done, 1 some file failed, 2 usage error.\n";
}

int usageError(std::ostream& err, const std::string& message)
{
    err << "quorvane-cli: " << message << "\nTry 'quorvane-cli --help'.\n";
    return kUsageStatus;
}

}  // namespace quorvane::cli

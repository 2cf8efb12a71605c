#include "cli/usage.h"

namespace quorvane::cli {

void printHelp(std::ostream& out)
{
    out << "Usage: quorvane-cli show [--json] FILE...\n"
           "       quorvane-cli set [OPTIONS] FILE...\n"
           "       quorvane-cli export [--progress] OUT.csv FILE...\n"
           "       quorvane-cli --help\n"
           "\n"
           "show   prints the 14 document properties of each file, then its three times and four\n"
           "       attributes, one \"Label: value\" line each; the file's times and attributes are\n"
           "       left as they were. --json prints one JSON array of {\"path\", \"readable\",\n"
           "       \"properties\", \"times\", \"attributes\"}.\n"
           "set    changes each file as a batch run of the program does: the given properties,\n"
           "       the date and time parts of the file times, the attributes; every property,\n"
           "       time part and attribute not given is kept as the file has it. One line per\n"
           "       file: \"PATH: changed\", or \"PATH: failed: REASON\" on standard error.\n"
           "       Properties (the value text; an empty text removes the value):\n"
           "         --title --subject --author --keywords --comments --category --revision\n"
           "         --last-saved-by --manager --company --total-editing-time (whole minutes)\n"
           "         --created --modified --last-printed (local time, YYYY-MM-DD[ HH:MM[:SS]])\n"
           "       File times (local time): --creation-date --modify-date --access-date YYYY-MM-DD\n"
           "         replace the date part, --creation-time --modify-time --access-time\n"
           "         HH:MM[:SS] the time of day.\n"
           "       Attributes: --read-only --archive --hidden --system, each on or off.\n"
           "       --backup first copies each file to FILE.bak beside it; a file that cannot be\n"
           "         copied is not changed.\n"
           "       Options may also be written --option=VALUE.\n"
           "\n"
           "export writes the values of the files to OUT.csv (replaced whole), as the program's\n"
           "       export does; --progress shows a progress bar on a terminal.\n"
           "\n"
           "Files ending in .pptx (any case) are packages; all others are read as compound\n"
           "documents (.ppt).\n"
           "Exit status: 0 all files done, 1 some file failed, 2 usage error.\n";
}

int usageError(std::ostream& err, const std::string& message)
{
    err << "quorvane-cli: " << message << "\nTry 'quorvane-cli --help'.\n";
    return kUsageStatus;
}

}  // namespace quorvane::cli

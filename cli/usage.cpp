// SPDX-License-Identifier: Apache-2.0
#include "cli/usage.h"

#ifndef QUORVANE_VERSION
#define QUORVANE_VERSION "unknown"
#endif

namespace quorvane::cli {
namespace {

constexpr std::string_view kSynopsis =
    "Usage: quorvane-cli show [--json] [-r] [--] FILE|FOLDER...\n"
    "       quorvane-cli set [OPTIONS] [-r] [--] FILE|FOLDER...\n"
    "       quorvane-cli export [-o OUT.csv|-] [--force] [--safe-formulas] [--custom] [--locale-dates] [--progress] [-r]\n"
    "                           [--] FILE|FOLDER...\n"
    "       quorvane-cli apply [--backup] [--dry-run] [-j N] [--force-signed] [--allow-new-times] [--] TABLE...\n"
    "       quorvane-cli scrub [--keep ROWS] [--thumbnail] [--backup] [--dry-run] [-j N] [--force-signed]\n"
    "                          [--allow-new-times] [--break-links] [-r] [--] FILE|FOLDER...\n"
    "       quorvane-cli COMMAND --help | --help | --version\n";

constexpr std::string_view kShowHelp =
    "show   prints the 14 document properties of each file, then its three times and four\n"
    "       attributes, one \"Label: value\" line each; nothing is written to the file, and\n"
    "       its times are left as they were (a read by a user who does not own the file may\n"
    "       move its access time, which only its owner may set back).\n"
    "       Control characters in names and values are escaped (\\n, \\t, \\r, \\xHH; a\n"
    "       backslash as \\\\) so that every value stays on its line.\n"
    "       --json prints one JSON array of {\"path\", \"format\", \"readable\", \"failure\",\n"
    "       \"properties\", \"times\", \"attributes\", \"custom\"} with the properties by their\n"
    "       machine names (title, ..., last_saved, total_editing_minutes, last_printed),\n"
    "       numbers as numbers, yes/no as booleans, absent values as null and instants as\n"
    "       RFC 3339 with their offset (2003-12-26T04:22:45+01:00), whatever the locale;\n"
    "       always valid UTF-8: a byte that is not UTF-8 in a name or value becomes\n"
    "       U+FFFD, and when the path is not valid UTF-8 the object also holds\n"
    "       \"path_bytes\", the hex of the path's bytes. The man page states the contract.\n";

constexpr std::string_view kSetHelp =
    "set    changes each file as a batch run of the program does: the given properties,\n"
    "       the date and time parts of the file times, the attributes; every property,\n"
    "       time part and attribute not given is kept as the file has it. One line per\n"
    "       file: \"PATH: changed\", \"PATH: unchanged\" when it holds every value already\n"
    "       (nothing is written, no backup made), or \"PATH: failed: REASON\" on standard\n"
    "       error, also when a requested time or attribute did not take its value. All or\n"
    "       nothing: a file with one value it cannot hold is refused before anything of\n"
    "       it is written.\n"
    "       Properties (the value text; an empty text removes the value):\n"
    "         --title --subject --author --keywords --comments --category --revision\n"
    "         --last-saved-by --manager --company --total-editing-minutes (whole minutes;\n"
    "         also --total-editing-time)\n"
    "         --created --last-saved --last-printed (local time, YYYY-MM-DD,\n"
    "         YYYY-MM-DD HH:MM[:SS] or YYYY-MM-DDTHH:MM[:SS], or RFC 3339 with its offset\n"
    "         as show --json prints it; from 1601-01-01 00:00:01 to 9999-12-31 23:59:59\n"
    "         UTC; --modified is --last-saved's earlier name)\n"
    "       File times (local time): --creation-date --modify-date --access-date YYYY-MM-DD\n"
    "         replace the date part, --creation-time --modify-time --access-time\n"
    "         HH:MM[:SS] the time of day.\n"
    "       Attributes: --read-only --archive --hidden --system, each on or off.\n"
    "       Custom properties:\n"
    "         --custom NAME:TYPE=VALUE sets a value of TYPE text, integer, number,\n"
    "         yes-no or date; --custom NAME=VALUE a value of the type the property is\n"
    "         stored with (text for a new one); --remove-custom NAME removes one\n"
    "         (names in any letter case); --remove-all-custom removes them all.\n"
    "       An interrupted change leaves each file with its old properties or its new\n"
    "         ones, and with its attributes and creation time as before or as asked. A\n"
    "         .pptx also keeps its times then; a .ppt, written in place, may keep the\n"
    "         moment of the write as its modification time.\n"
    "       --backup first copies each file to FILE.bak beside it, once the change is known\n"
    "         to go ahead; a file that cannot be copied is not changed.\n"
    "       --template makes each property option's value a template filled in per file:\n"
    "         {name} (file name without extension), {filename}, {folder}, {path}, {n} or\n"
    "         {n:3} (the file's number in the run, zero-padded), a property's machine name\n"
    "         ({title}, {author}, ...: the file's current value; dates as\n"
    "         {last_saved:%Y-%m-%d}), the file's times {file_created}, {modified},\n"
    "         {accessed} (also with a strftime form); {{ and }} are braces. An unknown\n"
    "         field is refused before any file is read. Without --template, braces are text.\n"
    "       --defaults starts from the batch settings saved by the program (its saved\n"
    "         defaults); the other options given override them. Values saved as\n"
    "         templates are filled in per file. Without saved settings nothing is changed.\n"
    "       --dry-run prints per file what would change (\"Label: old -> new\") and changes\n"
    "         nothing, the file's times included; a file the change would refuse fails\n"
    "         with the same reason. It reads each file as the change does.\n"
    "       --force-signed changes the properties of digitally signed files too, which\n"
    "         invalidates their signatures; without it such a file fails with \"signed\n"
    "         document: changing it would invalidate its signature; --force-signed\n"
    "         changes it anyway\" and stays as it was.\n"
    "       --allow-new-times changes a .ppt that you may write but do not own (a shared\n"
    "         deck of another user): only its owner may set its times, so it takes the\n"
    "         moment of the write as its modification time. Without it such a file fails\n"
    "         with \"its times cannot be kept: you do not own it\" and stays as it was. A\n"
    "         .pptx of another owner fails with \"its owner cannot be kept\" either way, and\n"
    "         file times given for a file of another owner with \"its times cannot be set\".\n"
    "       --break-links changes a .pptx (any package) that has several hard links: its\n"
    "         new content is a new file under the name given, and the file's other names\n"
    "         keep the old content (\"PATH: changed; its other hard link keeps the old\n"
    "         content\"). Without it such a file fails with \"has N hard links; changing\n"
    "         it would split them\" and stays as it was. A .ppt is written in place and\n"
    "         keeps its hard links.\n"
    "       Options may also be written --option=VALUE, and must be for a VALUE that\n"
    "         begins with --.\n";

constexpr std::string_view kExportHelp =
    "export writes the values of the files as CSV (RFC 4180, UTF-8, CR LF), as the program's\n"
    "       export does, to -o/--output FILE, or to standard output when that is absent or\n"
    "       \"-\". The output may not end in .ppt or .pptx nor be one of the files, and an\n"
    "       existing file is replaced only with --force. The older form\n"
    "       \"export OUT.csv FILE...\" works when OUT ends in .csv.\n"
    "       --safe-formulas puts a ' before each value that starts with =, +, -, @, tab or\n"
    "         CR, so that spreadsheets do not run it as a formula.\n"
    "       --custom adds, after the 23 standard columns, one column per custom property\n"
    "         name found across the files (names in any letter case are one column, titled\n"
    "         as first seen; columns in byte order of their titles), each cell the file's\n"
    "         value as show gives it, empty where the file has no such property.\n"
    "       Dates are written YYYY-MM-DD HH:MM:SS in local time, whatever the locale, as\n"
    "         set and apply read them; --locale-dates writes them as the program's window\n"
    "         does (the locale's short date and long time, no time at midnight).\n"
    "       --progress shows a progress bar on a terminal.\n";

constexpr std::string_view kApplyHelp =
    "apply  sets per-file values from tables: a CSV as export (or the program) writes it,\n"
    "       also re-saved by a spreadsheet, or a JSON array as show --json prints it. Each\n"
    "       row names its file by its path (\"File full name\" or \"path\"; a relative path\n"
    "       is relative to the table's folder); each column present gives a value to set,\n"
    "       an empty cell removes it, absent columns and custom properties not named are\n"
    "       kept. CSV columns are the export's titles; any other title is a custom\n"
    "       property NAME or NAME:TYPE. Every cell of every row is read, and each file's\n"
    "       change planned, before anything is written: a table with a bad cell, a path\n"
    "       that names no file, two rows for one file, or a value its file cannot hold is\n"
    "       refused with its row, column and reason (exit status 2), and nothing changes.\n"
    "       A value a file holds already is kept: a table applied unchanged writes\n"
    "       nothing. Dates: RFC 3339, the forms set takes, the program's display form,\n"
    "       and the locale's short form (01.05.2024 09:30 under de_DE, 5/1/2024 9:30 AM\n"
    "       under en_US); numbers also with the locale's decimal separator. CSV text in\n"
    "       UTF-8 (a byte-order mark allowed) or else Windows-1252, separated by commas,\n"
    "       semicolons or tabs. --backup, --dry-run, -j, --force-signed and\n"
    "       --allow-new-times as for set.\n";

constexpr std::string_view kScrubHelp =
    "scrub  removes personal information from each file: empties Title, Subject, Author,\n"
    "       Keywords, Comments, Category, Last Saved By, Manager, Company, Total Editing\n"
    "       Time and Last Printed, and removes every custom property; Created, Last Saved,\n"
    "       Revision and the file's times and attributes stay. One line per file:\n"
    "       \"PATH: scrubbed\", \"PATH: unchanged\" when there was nothing to remove, or\n"
    "       \"PATH: failed: REASON\" on standard error. Everything goes in one write.\n"
    "       --keep ROWS leaves the rows named (a comma list of title, subject, author,\n"
    "         keywords, comments, category, last_saved_by, manager, company,\n"
    "         total_editing_minutes, last_printed, '-' also for '_'; may be given more\n"
    "         than once).\n"
    "       --thumbnail also removes the document's thumbnail picture.\n"
    "       --backup, --force-signed, --allow-new-times, --break-links as for set.\n"
    "       --dry-run prints per file what would be removed (\"Label: 'old' -> ''\",\n"
    "         \"Custom NAME: 'value' -> '(removed)'\", \"thumbnail: '(present)' ->\n"
    "         '(removed)'\") and changes nothing.\n"
    "       With Last Saved By a .ppt also loses the last user's name that its Current\n"
    "         User stream keeps. The slide titles that a file lists among the titles\n"
    "         of its parts stay.\n"
    "       A .ppt saved for PowerPoint 95 and 97 keeps a second copy of its properties\n"
    "         and of its Current User stream in PP97_DUALSTORAGE: set and scrub change\n"
    "         it alike, and --dry-run lists it (\"Title (second copy in PP97_DUALSTORAGE)\").\n";

constexpr std::string_view kCommonHelp =
    "\n"
    "A FOLDER gives its presentation files (.ppt .pps .pot .pptx .pptm .ppsx .ppsm .potx\n"
    ".potm, any letter case; no \"~$\" owner files) as the\n"
    "program's \"Add files from folder\" takes them: one level, sorted by name in byte order;\n"
    "-r/--recursive also takes each subfolder's, after the folder's own files, subfolders in\n"
    "byte order (symbolic links to folders are not followed). \"--\" ends the options.\n"
    "-j N/--jobs N works on N files at a time (default: two per processor); the output\n"
    "keeps the files' order. A file named twice (or under two names) is worked on once,\n"
    "unless its change split its names apart (--break-links): a later name, a file of its\n"
    "own by then, is worked on in its turn.\n"
    "A file is read as a package or a compound document by its first bytes, whatever its\n"
    "name; only a file that starts as neither goes by its name (.pptx, .pptm, .ppsx, ...:\n"
    "a package; anything else: a compound document).\n"
    "Exit status: 0 all files done, 1 some file failed (could not be read completely, its\n"
    "times could not be put back, or it was not changed as asked), 2 usage error (nothing\n"
    "touched).\n";

}  // namespace

void printHelp(std::ostream& out)
{
    out << kSynopsis << '\n' << kShowHelp << kSetHelp << '\n' << kExportHelp << '\n' << kApplyHelp << '\n' << kScrubHelp
        << kCommonHelp;
}

bool printCommandHelp(std::string_view command, std::ostream& out)
{
    const std::string_view* help = command == "show"   ? &kShowHelp
                                   : command == "set"    ? &kSetHelp
                                   : command == "export" ? &kExportHelp
                                   : command == "scrub"  ? &kScrubHelp
                                   : command == "apply"  ? &kApplyHelp
                                                         : nullptr;
    if (!help) return false;
    out << kSynopsis << '\n' << *help << kCommonHelp;
    return true;
}

void printVersion(std::ostream& out) { out << "quorvane-cli " << QUORVANE_VERSION << '\n'; }

int usageError(std::ostream& err, const std::string& message, std::string_view command)
{
    err << "quorvane-cli: " << message << "\nTry 'quorvane-cli " << command << (command.empty() ? "" : " ") << "--help'.\n";
    return kUsageStatus;
}

}  // namespace quorvane::cli

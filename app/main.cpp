// SPDX-License-Identifier: Apache-2.0
// Program start: the property access first, before any window; then the application and its
// main window, the message loop until the main window closes, which ends the program; and the
// property access shut down at the very end.
//
// Usage: quorvane [--help|--version] [--] [FILE|FOLDER]...
// The files and folders named start in the file list (see addCommandLinePaths); the toolkit's own
// options (-platform, -style, ...) are taken out before. "--" ends the options, so that a name
// that begins with '-' is taken as a name. --help and --version print and end the program before
// the toolkit starts, so that they need no display.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/file_list.h"
#include "app/main_form.h"
#include "app/quorvane_application.h"
#include "app/window_translation.h"
#include "base/temp_cleanup.h"
#include "propset/property_set_access.h"

namespace {

constexpr char kHelp[] =
    "Usage: quorvane [--] [FILE|FOLDER]...\n"
    "Shows and changes the document properties, attributes and file times of presentation\n"
    "files (.ppt, .pptx) in a window; the files named, and those in the folders named, start\n"
    "in its file list.\n"
    "\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "  --           take every later argument as a file or folder name\n"
    "The toolkit's own options (-platform NAME, -style NAME, ...) are taken as well.\n"
    "The same work without a window: quorvane-cli --help.\n";

// The text that an option before "--" asks for instead of the window; nullptr when none does.
const char* printedInsteadOfWindow(int argc, char* argv[])
{
    static const std::string version = std::string("quorvane ") + QUORVANE_VERSION + "\n";
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") break;
        if (argument == "--help" || argument == "-h") return kHelp;
        if (argument == "--version") return version.c_str();
    }
    return nullptr;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (const char* text = printedInsteadOfWindow(argc, argv)) {
        const bool written = std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0;
        if (!written) std::perror("quorvane: cannot write to standard output");
        return written ? 0 : 1;
    }
    quorvane::propset::InitPropertySetAccess();
    quorvane::installTempCleanupHandlers();  // without it, a named temporary file may outlive SIGINT
    int exitCode = 0;
    {
        quorvane::app::QuorvaneApplication application(argc, argv);
        // The translations lie where they are installed, relative to the program's folder; the
        // build puts them at the same place relative to the built program.
        quorvane::app::installWindowTranslation(
            application, QCoreApplication::applicationDirPath() + QStringLiteral("/" QUORVANE_TRANSLATION_DIR));
        // The application has removed its own options from argv; the rest are the names, taken
        // as the file system's bytes.
        std::vector<std::string> paths(argv + 1, argv + argc);
        if (!paths.empty() && paths.front() == "--") paths.erase(paths.begin());
        quorvane::app::TForm1 form1;
        quorvane::app::addCommandLinePaths(form1, paths);
        form1.show();
        exitCode = application.exec();
    }
    quorvane::propset::ShutdownPropertySetAccess();
    return exitCode;
}

// Program start: the property access first, before any window; then the application and its
// main window, the message loop until the main window closes, which ends the program; and the
// property access shut down at the very end.
//
// Usage: quorvane [--] [FILE|FOLDER]...
// The files and folders named start in the file list (see addCommandLinePaths); the toolkit's own
// options (-platform, -style, ...) are taken out before. "--" ends the options, so that a name
// that begins with '-' is taken as a name.
#include <string>
#include <vector>

#include "app/file_list.h"
#include "app/main_form.h"
#include "app/quorvane_application.h"
#include "base/temp_cleanup.h"
#include "propset/property_set_access.h"

int main(int argc, char* argv[])
{
    quorvane::propset::InitPropertySetAccess();
    quorvane::installTempCleanupHandlers();  // without it, a named temporary file may outlive SIGINT
    int exitCode = 0;
    {
        quorvane::app::QuorvaneApplication application(argc, argv);
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

// Program start: the property access first, before any window; then the application and its
// main window, the message loop until the main window closes, which ends the program; and the
// property access shut down at the very end.
#include "app/main_form.h"
#include "app/quorvane_application.h"
#include "propset/property_set_access.h"

int main(int argc, char* argv[])
{
    quorvane::propset::InitPropertySetAccess();
    int exitCode = 0;
    {
        quorvane::app::QuorvaneApplication application(argc, argv);
        quorvane::app::TForm1 form1;
        form1.show();
        exitCode = application.exec();
    }
    quorvane::propset::ShutdownPropertySetAccess();
    return exitCode;
}

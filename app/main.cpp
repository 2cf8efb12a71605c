// Program start: the application and its main window, then the message loop until the main
// window closes, which ends the program.
#include "app/main_form.h"
#include "app/quorvane_application.h"

int main(int argc, char* argv[])
{
    quorvane::app::QuorvaneApplication application(argc, argv);
    quorvane::app::TForm1 form1;
    form1.show();
    return application.exec();
}

// Program start: the user's locale for dates and times, then the main window.
#include <QApplication>
#include <QMainWindow>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // Dates are shown and read in the user's formats; numbers stay in the C locale.
    std::setlocale(LC_TIME, "");
    application.setApplicationName("Quorvane");

    QMainWindow window;
    window.setWindowTitle("Quorvane");
    window.resize(817, 614);
    window.show();
    return application.exec();
}

// SPDX-License-Identifier: Apache-2.0
#include "app/quorvane_application.h"

#include <QIcon>

#include <clocale>
#include <exception>

#include "app/message_box.h"

namespace quorvane::app {

QuorvaneApplication::QuorvaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // QApplication has just set every locale category from the environment. Dates are shown
    // and read in the user's formats (LC_TIME); numbers are read and written in the C form.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(QString::fromLatin1(kApplicationTitle));
    setDesktopFileName(QStringLiteral("quorvane"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/quorvane.svg")));
}

bool QuorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showMessage(activeWindow(), QString::fromUtf8(error.what()));
        return false;
    }
}

}  // namespace quorvane::app

// SPDX-License-Identifier: Apache-2.0
// The application object. Its notify() is the program's top-level error handler: an exception
// that escapes a command ends that command, its text is shown in a message box captioned
// "Quorvane", and the program goes on.
#pragma once

#include <QApplication>

namespace quorvane::app {

class QuorvaneApplication : public QApplication {
    Q_OBJECT
public:
    QuorvaneApplication(int& argc, char** argv);

    // Delivers `event` as QApplication does. An exception thrown while it is handled is shown
    // through showMessage() and the event counts as not handled (false).
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace quorvane::app

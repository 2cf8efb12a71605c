// SPDX-License-Identifier: Apache-2.0
// The window's language, chosen from the locale: the program's own translation and the toolkit's
// (standard buttons, file dialogs). English, the language the texts are written in, needs none.
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace quorvane::app {

// Installs into `application` the translation quorvane_<language>.qm from `folder` that best
// fits `locale`, and Qt's own for that language where Qt has one. Returns whether the program's
// translation was found; without one the window stays English.
bool installWindowTranslation(QCoreApplication& application, const QString& folder,
                              const QLocale& locale = QLocale());

}  // namespace quorvane::app

// SPDX-License-Identifier: Apache-2.0
#include "app/window_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quorvane::app {

bool installWindowTranslation(QCoreApplication& application, const QString& folder, const QLocale& locale)
{
    auto* own = new QTranslator(&application);
    if (!own->load(locale, QStringLiteral("quorvane"), QStringLiteral("_"), folder)) {
        delete own;
        return false;
    }
    application.installTranslator(own);
    auto* toolkit = new QTranslator(&application);
    if (toolkit->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(toolkit);
    else
        delete toolkit;
    return true;
}

}  // namespace quorvane::app

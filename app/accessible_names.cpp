// SPDX-License-Identifier: Apache-2.0
#include "app/accessible_names.h"

#include <QCoreApplication>

namespace quorvane::app {

QString rowValueName(const QString& rowLabel)
{
    return QCoreApplication::translate("quorvane::app::AccessibleNames", "%1 value").arg(rowLabel);
}

QString rowDateName(const QString& rowLabel)
{
    return QCoreApplication::translate("quorvane::app::AccessibleNames", "%1 date").arg(rowLabel);
}

QString rowTimeName(const QString& rowLabel)
{
    return QCoreApplication::translate("quorvane::app::AccessibleNames", "%1 time of day").arg(rowLabel);
}

}  // namespace quorvane::app

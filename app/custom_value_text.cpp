// SPDX-License-Identifier: Apache-2.0
#include "app/custom_value_text.h"

#include <QCoreApplication>

#include "base/error.h"
#include "change/custom_value_text.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "convert/iso_date_time.h"

namespace quorvane::app {

std::optional<convert::DateTime> customDateOfText(const QString& text)
{
    const std::string date = text.toStdString();
    if (const auto shown = convert::readDisplayText(date)) return shown;
    return convert::parseIsoDateTime(date, convert::DateTimeShape::DateWithOptionalTime);
}

std::optional<props::CustomValue> customValueOfText(std::string_view type, const QString& text, QString* problem)
{
    const auto value = change::customValueOfText(type, text.toStdString(), [](const std::string& date) {
        return customDateOfText(QString::fromStdString(date));
    });
    if (value.ok()) return *value;
    *problem = QString::fromStdString(value.failure().text());
    if (type == props::kCustomDate) {
        // Examples in the form the locale writes dates and in the ISO form, both read here.
        const auto example = convert::encodeDateTime({2024, 5, 1, 13, 30, 0, 0});
        *problem += QCoreApplication::translate("quorvane::app::CustomValueText", " in the form %1 or 2024-05-01 13:30")
                        .arg(QString::fromStdString(convert::DateTimeToDisplayText(example.value_or(0))));
    }
    return std::nullopt;
}

}  // namespace quorvane::app

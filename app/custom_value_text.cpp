// SPDX-License-Identifier: Apache-2.0
#include "app/custom_value_text.h"

#include <QCoreApplication>

#include "base/error.h"
#include "change/custom_value_text.h"
#include "convert/date_time.h"
#include "convert/display_text.h"

namespace quorvane::app {

std::optional<props::CustomValue> customValueOfText(std::string_view type, const QString& text, QString* problem)
{
    const auto value = change::customValueOfText(type, text.toStdString(), [](const std::string& date) -> std::optional<convert::DateTime> {
        try {
            return convert::DisplayTextToDateTime(date);
        } catch (const quorvane::Error&) {
            return std::nullopt;
        }
    });
    if (value.ok()) return *value;
    *problem = QString::fromStdString(value.failure().text());
    if (type == props::kCustomDate) {
        // An example in the form the locale writes dates, which is the form read here.
        const auto example = convert::encodeDateTime({2024, 5, 1, 13, 30, 0, 0});
        *problem += QCoreApplication::translate("quorvane::app::CustomValueText", " in the form ") + QString::fromStdString(convert::DateTimeToDisplayText(example.value_or(0)));
    }
    return std::nullopt;
}

}  // namespace quorvane::app

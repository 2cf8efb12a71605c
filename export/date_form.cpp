// SPDX-License-Identifier: Apache-2.0
#include "export/date_form.h"

#include "convert/display_text.h"
#include "convert/machine_date_text.h"

namespace quorvane::exporting {

std::string dateTextInForm(const std::string& displayText, DateForm form)
{
    if (form == DateForm::Display || displayText.empty()) return displayText;
    const auto local = convert::readDisplayText(displayText);
    const std::string text = local ? convert::isoLocalTextOf(*local) : "";
    return text.empty() ? displayText : text;
}

std::vector<props::CustomProperty> customInForm(std::vector<props::CustomProperty> custom, DateForm form)
{
    for (props::CustomProperty& property : custom)
        if (property.type == props::kCustomDate) property.value = dateTextInForm(property.value, form);
    return custom;
}

}  // namespace quorvane::exporting

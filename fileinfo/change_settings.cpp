// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/change_settings.h"

#include <cmath>

namespace quorvane::fileinfo {
namespace {

convert::DateTime joinDateAndTime(convert::DateTime dateSource, convert::DateTime timeSource)
{
    const double day = std::trunc(dateSource);
    const double timeOfDay = std::fabs(timeSource - std::trunc(timeSource));
    return day < 0 ? day - timeOfDay : day + timeOfDay;
}

}  // namespace

AttributeWord ApplyTriState(AttributeWord word, BoxState state, AttributeWord bit)
{
    switch (state) {
    case BoxState::Checked: return word | bit;
    case BoxState::Unchecked: return word & ~bit;
    case BoxState::Grayed: break;
    }
    return word;
}

AttributeWord ApplyAttributeBoxes(AttributeWord word, const AttributeBoxes& boxes)
{
    word = ApplyTriState(word, boxes.readOnly, kReadOnly);
    word = ApplyTriState(word, boxes.archive, kArchive);
    word = ApplyTriState(word, boxes.hidden, kHidden);
    return ApplyTriState(word, boxes.system, kSystem);
}

convert::DateTime ComposeDateTime(convert::DateTime base, std::optional<convert::DateTime> date,
                                std::optional<convert::DateTime> time)
{
    if (date) base = joinDateAndTime(*date, base);
    if (time) base = joinDateAndTime(base, *time);
    return base;
}

}  // namespace quorvane::fileinfo

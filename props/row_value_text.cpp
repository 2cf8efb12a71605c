// SPDX-License-Identifier: Apache-2.0
#include "props/row_value_text.h"

#include <charconv>
#include <cstdint>

#include "base/text_trim.h"
#include "convert/date_time.h"
#include "convert/display_text.h"

namespace quorvane::props {

Result<RowValue> rowValueOfDisplayText(int row, std::string_view text)
{
    if (isTextRow(row) || row == kRevisionNumberRow) return RowValue::textValue(std::string(text));
    const std::string_view trimmed = trimBlanksAndControls(text);
    if (trimmed.empty()) return RowValue::cleared();
    if (isDurationRow(row)) {
        std::string_view digits = trimmed;
        if (digits.front() == '+') digits.remove_prefix(1);
        std::int32_t minutes = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), minutes);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
            return Failure(FailureKind::Conversion, "'" + std::string(text) + "' is not a whole number of minutes");
        // A negative span would be stored as it is and read back as years of editing.
        if (minutes < 0)
            return Failure(FailureKind::Conversion, "'" + std::string(text) + "' is less than 0 minutes");
        return RowValue::minutesValue(minutes);
    }
    const auto local = convert::readDisplayText(trimmed);
    const auto utcMs = local ? convert::localToUtcEpochMs(*local) : std::nullopt;
    if (!utcMs) return Failure(FailureKind::Conversion, convert::notADateText(text));
    return RowValue::instantValue(*utcMs);
}

}  // namespace quorvane::props

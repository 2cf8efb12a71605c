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
        std::int32_t minutes = 0;
        const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), minutes);
        if (error != std::errc() || end != trimmed.data() + trimmed.size())
            return Failure(FailureKind::Conversion, "'" + std::string(text) + "' is not a whole number of minutes");
        return RowValue::minutesValue(minutes);
    }
    const auto local = convert::readDisplayText(trimmed);
    const auto utcMs = local ? convert::localToUtcEpochMs(*local) : std::nullopt;
    if (!utcMs) return Failure(FailureKind::Conversion, convert::notADateText(text));
    return RowValue::instantValue(*utcMs);
}

}  // namespace quorvane::props

// SPDX-License-Identifier: Apache-2.0
#include "cli/row_names.h"

#include <algorithm>
#include <string>

#include "props/catalogue.h"

namespace quorvane::cli {

std::optional<int> rowOfName(std::string_view name)
{
    // The machine names use '_'; an option spells them with '-'. The earlier option names of the
    // editing time and of Last saved stay accepted, as scripts use them.
    std::string machineName(name);
    std::replace(machineName.begin(), machineName.end(), '-', '_');
    if (machineName == "total_editing_time") return props::kTotalEditingTimeRow;
    if (machineName == "modified") return props::kLastSavedRow;
    for (int row = 0; row < props::kRowCount; ++row)
        if (props::catalogueRow(row).name == machineName) return row;
    return std::nullopt;
}

}  // namespace quorvane::cli

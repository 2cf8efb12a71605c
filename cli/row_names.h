// SPDX-License-Identifier: Apache-2.0
// The names by which the command line gives the 14 property rows: `set` takes them as options
// ("--title", "--last-saved-by"), `scrub --keep` as a comma list ("title,last_saved_by"). They
// are the catalogue's machine names, with '-' accepted for '_'.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::cli {

// The row (catalogue order) that `name` stands for: a machine name (props/catalogue.h) with '_'
// or '-', or "total-editing-time" or "modified" (the earlier names of the editing time and of
// Last saved); nullopt for any other text.
std::optional<int> rowOfName(std::string_view name);


}  // namespace quorvane::cli

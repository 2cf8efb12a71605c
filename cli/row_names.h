// The names by which the command line gives the 14 property rows: `set` takes them as options
// ("--title"), `scrub --keep` as a comma list ("title,author").
#pragma once

#include <optional>
#include <string_view>

namespace quorvane::cli {

// The row (catalogue order) that `name` stands for: title, subject, author, keywords, comments,
// category, revision, last-saved-by, manager, company, created, modified, total-editing-time,
// last-printed; nullopt for any other text.
std::optional<int> rowOfName(std::string_view name);

// The name of `row`. Precondition: 0 <= row < props::kRowCount.
std::string_view nameOfRow(int row);

}  // namespace quorvane::cli

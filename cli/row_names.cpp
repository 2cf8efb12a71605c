#include "cli/row_names.h"

#include <array>

#include "props/catalogue.h"

namespace quorvane::cli {
namespace {

// In catalogue order (index = row).
constexpr std::array<std::string_view, props::kRowCount> kRowNames{
    "title",         "subject", "author",  "keywords", "comments", "category", "revision",
    "last-saved-by", "manager", "company", "created",  "modified", "total-editing-time", "last-printed",
};

}  // namespace

std::optional<int> rowOfName(std::string_view name)
{
    for (int row = 0; row < props::kRowCount; ++row)
        if (kRowNames[std::size_t(row)] == name) return row;
    return std::nullopt;
}

std::string_view nameOfRow(int row) { return kRowNames[std::size_t(row)]; }

}  // namespace quorvane::cli

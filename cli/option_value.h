// The value of a command-line option given as "--option=VALUE" or as "--option VALUE".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::cli {

// The value of the option at arguments[index], whose name (the text before any '=') is
// `option`: the text after the '=', else the next argument, `index` then moved onto it; nullopt
// when there is neither.
std::optional<std::string> optionValue(const std::vector<std::string>& arguments, std::size_t& index,
                                       const std::string& option);

}  // namespace quorvane::cli

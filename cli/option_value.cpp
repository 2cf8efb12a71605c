// SPDX-License-Identifier: Apache-2.0
#include "cli/option_value.h"

namespace quorvane::cli {

std::optional<std::string> optionValue(const std::vector<std::string>& arguments, std::size_t& index,
                                       const std::string& option, std::string& problem)
{
    const std::string& argument = arguments[index];
    if (argument.size() > option.size()) return argument.substr(option.size() + 1);
    if (index + 1 < arguments.size() && !arguments[index + 1].starts_with("--")) return arguments[++index];
    problem = option + " needs a value";
    if (index + 1 < arguments.size())
        problem += " (one that begins with -- is given as " + option + "=" + arguments[index + 1] + ")";
    return std::nullopt;
}

}  // namespace quorvane::cli

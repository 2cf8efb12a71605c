#include "cli/option_value.h"

namespace quorvane::cli {

std::optional<std::string> optionValue(const std::vector<std::string>& arguments, std::size_t& index,
                                       const std::string& option)
{
    const std::string& argument = arguments[index];
    if (argument.size() > option.size()) return argument.substr(option.size() + 1);
    if (index + 1 < arguments.size()) return arguments[++index];
    return std::nullopt;
}

}  // namespace quorvane::cli

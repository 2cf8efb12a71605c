// SPDX-License-Identifier: Apache-2.0
// The value of a command-line option given as "--option=VALUE" or as "--option VALUE".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::cli {

// The value of the option at arguments[index], whose name (the text before any '=') is
// `option`: the text after the '=', else the next argument, `index` then moved onto it. nullopt
// with the reason in `problem` ("--title needs a value") when there is neither, or when the next
// argument begins with "--": that is the next option, left to be read as one, so that a value
// forgotten before it does not swallow it; such a value is given as "--title=--text".
std::optional<std::string> optionValue(const std::vector<std::string>& arguments, std::size_t& index,
                                       const std::string& option, std::string& problem);

}  // namespace quorvane::cli

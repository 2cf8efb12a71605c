// SPDX-License-Identifier: Apache-2.0
// The one exception type of the core. Thrown only where a command is meant to end with a
// message to the user (an unreadable date or number text, a malformed XML part); caught by
// the application's top-level handler and by the command-line tool.
#pragma once

#include <stdexcept>
#include <string>

namespace quorvane {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quorvane

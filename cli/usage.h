// SPDX-License-Identifier: Apache-2.0
// The tool's help texts, its version line and its usage errors (exit status 2).
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace quorvane::cli {

inline constexpr int kUsageStatus = 2;

// The whole help: the synopsis of every command, then each command's help.
void printHelp(std::ostream& out);
// The help of one command ("show", "set", "export", "scrub"); false, printing nothing, for
// another name.
bool printCommandHelp(std::string_view command, std::ostream& out);
// "quorvane-cli VERSION".
void printVersion(std::ostream& out);
// Prints "quorvane-cli: <message>" and a pointer to the help of `command` ("Try 'quorvane-cli
// set --help'."), to the whole help when no command is given; returns kUsageStatus.
int usageError(std::ostream& err, const std::string& message, std::string_view command = {});

}  // namespace quorvane::cli

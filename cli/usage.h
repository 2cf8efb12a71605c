// The tool's help text and its usage errors (exit status 2).
#pragma once

#include <ostream>
#include <string>

namespace quorvane::cli {

inline constexpr int kUsageStatus = 2;

void printHelp(std::ostream& out);
// Prints "quorvane-cli: <message>" and a pointer to --help; returns kUsageStatus.
int usageError(std::ostream& err, const std::string& message);

}  // namespace quorvane::cli

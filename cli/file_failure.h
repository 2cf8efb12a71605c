// The words with which the tool explains why a file could not be read or changed.
#pragma once

#include <string>

namespace quorvane::cli {

// Why `path` cannot be read as a compound document ("" when it can).
std::string readFailureReason(const std::string& path);
// Why a package could not be read, as far as the reader tells.
std::string packageFailureReason();
// Why a write into `path` failed, as far as can be told afterwards.
std::string writeFailureReason(const std::string& path);

}  // namespace quorvane::cli

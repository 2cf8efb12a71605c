// SPDX-License-Identifier: Apache-2.0
// The per-user store of the saved defaults: named string values under one key, kept in a text
// file in the form of a registry export:
//     Windows Registry Editor Version 5.00
//
//     [HKEY_CURRENT_USER\SOFTWARE\lomberk\quorvane]
//     "createtime"="2008-06-01 12:00:00"
// Values are UTF-8; backslash and double quote are escaped with a backslash, and line breaks
// are written \n and \r so that every value stays on its line. The file is
// always replaced whole (temporary file beside it, renamed over it). As in the registry, the
// key's and the values' names are matched without regard to letter case.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/temp_file.h"

namespace quorvane::change {

inline constexpr char kDefaultsKeyPath[] = "SOFTWARE\\lomberk\\quorvane";

// Name/value pairs of the key, in file order; no two names differ only in letter case.
using NamedValues = std::vector<std::pair<std::string, std::string>>;

// $XDG_CONFIG_HOME/lomberk/quorvane.reg, or ~/.config/lomberk/quorvane.reg when XDG_CONFIG_HOME
// is unset or not absolute. Empty when neither that nor HOME can be found.
std::string defaultsStorePath();

// The values of the defaults key in `storeText`. Lines of other keys, comments and anything
// that does not parse are skipped; a damaged file gives what can be read, never an error.
NamedValues parseDefaultsStore(std::string_view storeText);

// The whole text of a store holding `values` under the defaults key.
std::string formatDefaultsStore(const NamedValues& values);

// Opens the key for reading, creating the store (folder and empty key) when it is missing.
// nullopt when the store can neither be read nor created. Files over 1 MiB are not read.
std::optional<NamedValues> openDefaultsKey(const std::string& storePath);

// The values of the key as stored, for a reader that must not take a missing or unreadable store
// for an empty one. The failure, after the store's path: "no such file" (kind NotFound) when
// there is none, the reason it cannot be opened or read, "larger than 1 MiB". Creates nothing.
Result<NamedValues> readDefaultsKey(const std::string& storePath);

// Writes the given values into the key, keeping the other values already stored there (a value
// stored under the same name in other letter case is replaced and keeps its stored name).
// True only when the new file is completely written and has replaced the old one.
// `wrapTarget` is for fault tests.
bool writeDefaultsKey(const std::string& storePath, const NamedValues& values, const TargetWrapper& wrapTarget = {});

// The value named `name` in any letter case, or "" when it is missing (a missing value reads as
// empty text).
std::string valueOf(const NamedValues& values, std::string_view name);

}  // namespace quorvane::change

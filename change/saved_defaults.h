// SPDX-License-Identifier: Apache-2.0
// The batch settings saved as defaults: which value names hold which setting, how each is
// written, and the rules by which stored text is read back (missing values read as empty).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "change/batch_settings.h"
#include "change/defaults_store.h"

namespace quorvane::change {

// The named values of `settings`, in the order they are written: the three date-times each
// followed by its two apply boxes, the four attribute boxes, then per row its "string" and
// "check" values, then "backupold", "removeallcustom" and last "valuesaretemplates" ("1" when
// set, else "", and read as off from a store without them). Date-times, the date rows' texts included, are written
// "YYYY-MM-DD HH:MM:SS" in every locale.
NamedValues defaultsValuesOf(const BatchSettings& settings);

// Settings read back from stored values. A date is read in the store's form "YYYY-MM-DD
// HH:MM:SS", else (stores written before that form) as the current locale's display text;
// `now` (local date-time) stands in for every date that is missing or reads as neither.
BatchSettings batchSettingsFromDefaults(const NamedValues& values, convert::DateTime now);

// Saves `settings` into the store at `storePath`; false when the store cannot be written.
// `wrapTarget` is for fault tests.
bool saveBatchDefaults(const std::string& storePath, const BatchSettings& settings,
                       const TargetWrapper& wrapTarget = {});

// Loads the settings from the store at `storePath`, creating an empty store when there is none;
// nullopt when the store can neither be read nor created.
std::optional<BatchSettings> loadBatchDefaults(const std::string& storePath, convert::DateTime now);

// The settings saved in the store at `storePath`, read as loadBatchDefaults reads them, for a run
// that must apply saved settings or none: the failure "no saved batch settings: PATH: no such
// file" when there is no store, "no saved batch settings in PATH" when it holds none of the batch
// values, else the reason it cannot be read (readDefaultsKey). Creates nothing.
Result<BatchSettings> loadSavedBatchSettings(const std::string& storePath, convert::DateTime now);

// The folder the file dialogs used last, kept in the same store under its own value name,
// "lastfolder". It is no batch setting: defaultsValuesOf() leaves it out, saving the batch
// settings keeps it as it is, and the batch settings read the same with or without it.

// The stored folder while it still is a folder; "" when none is stored, it is gone, or the store
// cannot be read.
std::string lastUsedFolder(const std::string& storePath);

// Stores `folder` as the one used last (nothing is written when it is stored already); false when
// the store cannot be written.
bool rememberLastUsedFolder(const std::string& storePath, const std::string& folder);

// The columns the file list shows besides the file name, kept in the same store under
// "listcolumns" as their names separated by commas ("title,author,modified"), in the same way as
// the last folder: no batch setting, and kept as it is when the batch settings are saved.

// The stored column names in stored order; empty when none are stored or the store cannot be read.
std::vector<std::string> shownListColumns(const std::string& storePath);

// Stores `names` as the columns shown (nothing is written when they are stored already); false
// when the store cannot be written.
bool rememberListColumns(const std::string& storePath, const std::vector<std::string>& names);

}  // namespace quorvane::change

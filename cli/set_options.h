// SPDX-License-Identifier: Apache-2.0
// The options of `quorvane-cli set`, read into the typed request of the change path
// (change/file_request.h): a row option gives its row a value, a date or time option replaces
// that part of a file time, an attribute option sets or clears its bit (absent: left as it
// is), --backup copies each file aside first; --defaults starts from the program's saved
// batch settings, --dry-run only reports, --force-signed changes signed files too,
// --allow-new-times changes in place files whose times cannot be kept, --break-links rewrites
// packages that have several hard links, -r walks subfolders.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "change/batch_settings.h"
#include "change/file_request.h"
#include "change/value_template.h"
#include "cli/file_options.h"
#include "props/custom_property.h"

namespace quorvane::cli {

// With --template, a row option's value: filled in per file, then read as the option's value.
struct RowTemplate {
    int row = 0;
    change::ValueTemplate value;
};

struct SetRequest {
    change::FileRequest request;  // every row kept, no time source, every attribute grayed unless asked
    FileOptions files;            // its `backup` also set by saved defaults that ask for one
    std::vector<RowTemplate> rowTemplates;  // the rows whose values are templates (their rows kept in `request`)
};

// Gives the batch settings saved by the program, or why there are none to give.
using DefaultsLoader = std::function<Result<change::BatchSettings>()>;

// The batch settings saved in the per-user store (change::loadSavedBatchSettings), read as the
// program reads them, the current local time standing in for missing dates; the failure when
// none are saved or the store cannot be read.
Result<change::BatchSettings> loadSavedDefaults();

// The typed value of the text of a row option: a date row's date (convert/iso_date_time.h's
// parseDateOrInstant, within convert/storable_date.h's bound; "" clears the row), the
// minutes row's whole number ("" clears it), any other row's text; nullopt with `problem` set
// for a text the row cannot take.
std::optional<props::RowValue> rowValueOfArgument(int row, const std::string& text, std::string* problem);

// The request `arguments` (everything after "set") ask for. With --template every row option's
// value is a template (change/value_template.h) kept in rowTemplates; one naming an unknown field
// is refused here, before any file is read. With --defaults the request starts
// from `loadDefaults()` (change::batchRequest) and the other options override them (a saved
// removal of every custom property comes before the custom options given); rows saved with
// "Values are templates" become rowTemplates, one naming an unknown field refused. Custom values given
// without a type keep, per file, the type the file stores them with (content.customFor). nullopt with the reason in
// `problem` for an unknown option, a missing or malformed value (dates are read strictly, see
// convert/iso_date_time.h; property dates outside convert/storable_date.h's bound), no file, nothing to
// change, or no saved defaults to start from. "--" ends the options.
std::optional<SetRequest> parseSetArguments(const std::vector<std::string>& arguments, std::string* problem,
                                            const DefaultsLoader& loadDefaults = loadSavedDefaults);

}  // namespace quorvane::cli

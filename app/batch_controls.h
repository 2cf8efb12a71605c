// SPDX-License-Identifier: Apache-2.0
// The controls of the two change pages as plain values, and back: the batch settings of the
// "Batch Change" page and the values of the "Single Change" page. This is the one place that
// knows which control holds which value; the commands hand the values to the change engine and
// the saved defaults.
#pragma once

#include <Qt>

#include "change/batch_settings.h"
#include "change/change_engine.h"
#include "fileinfo/change_settings.h"
#include "convert/date_time.h"

class QCheckBox;

namespace quorvane::app {

class TForm1;

// The state of a three-state attribute box; setBoxState shows one.
fileinfo::BoxState boxStateOf(const QCheckBox* box);
void setBoxState(QCheckBox* box, fileinfo::BoxState state);

// The batch settings as the "Batch Change" page shows them. Each file time's date and time
// values are both the pair of its pickers (date of the date picker, time of day of the time
// picker), to the second.
change::BatchSettings batchSettingsOf(const TForm1& form);

// Shows `settings` on the "Batch Change" page: rows with their check marks, apply boxes (each
// picker enabled exactly while its box is checked), pickers, attribute boxes, backup option,
// "Remove all custom properties".
void showBatchSettings(TForm1& form, const change::BatchSettings& settings);

// The values of the "Single Change" page: the 14 row texts, the three picker pairs, the four
// attribute boxes.
change::SingleChangeValues singleChangeValuesOf(const TForm1& form);

// The current local date and time, to the second.
convert::DateTime currentLocalDateTime();

}  // namespace quorvane::app

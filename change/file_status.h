// SPDX-License-Identifier: Apache-2.0
// The status of a file in the file list, shown as its status picture: what last happened to the
// file. Set by the display of the selected file, the single and batch change and the export.
#pragma once

namespace quorvane::change {

enum FileStatus { kUnchanged = 0, kChanged = 1, kChangeFailed = 2, kUnreadable = 3 };

}  // namespace quorvane::change

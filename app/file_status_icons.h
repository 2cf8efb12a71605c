// SPDX-License-Identifier: Apache-2.0
// The status pictures of the file list, by status: 0 unchanged presentation file, 1 changed,
// 2 change failed, 3 file information unreadable.
#pragma once

#include <QIcon>

namespace quorvane::app {

inline constexpr int kFileStatusCount = 4;

// The picture of `status` (0..3); a null icon for any other number.
QIcon fileStatusIcon(int status);

}  // namespace quorvane::app

// Changing the custom properties of one file through the file change sequence: the file's times,
// mode and attribute word stay as they were, a read-only file included.
#pragma once

#include <span>
#include <string>

#include "base/failure.h"
#include "props/custom_property.h"

namespace quorvane::change {

// Applies `edits` in order to the file at `path` in one write (document/custom_rows.h), backing
// the file up first when `backup` is set (no edits: nothing is touched, no backup made), inside
// fileinfo::runFileChange with no time source and every attribute box grayed. Failure{} when
// written or when nothing changes; else why not (change/backup_first.h's refusal, the change
// sequence's or the writer's failure), the file then as it was.
Failure changeCustomProperties(const std::string& path, std::span<const props::CustomEdit> edits, bool backup);

}  // namespace quorvane::change

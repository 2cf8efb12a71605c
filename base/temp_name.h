// SPDX-License-Identifier: Apache-2.0
// The names of the temporary files that whole-file replacements write beside their targets, and
// the removal of those a killed process left. A name says whose it is: ".NAME.quorvane-" and then
// the writing process's id, its start time (so that a reused process id is told apart) and a
// tag of the machine's boot and process-id namespace (so that a name written by another machine
// or container sharing the folder is never judged by our process table), then six random
// characters. A name of that form whose process has ended is a leftover of a SIGKILL (or a
// crash): nothing else has that name, and no live process will rename it any more.
#pragma once

#include <string>

namespace quorvane {

// A fresh hidden name for a temporary file beside `target`, in the same folder; owned by the
// calling process. NAME is `target`'s base name, shortened (whole UTF-8 characters) where the
// name would pass 255 bytes.
std::string temporaryNameBeside(const std::string& target);

// Removes from `folder` every regular file that bears a temporary name of this machine and
// namespace whose process has ended (or whose process id now belongs to a later process).
// Leaves every other name alone: names of live processes, of other machines or namespaces, of
// processes whose state cannot be read, and look-alikes that do not fit the form exactly.
// Returns how many were removed; failures to read the folder or to remove a name remove less.
int removeStaleTemporaryFiles(const std::string& folder);

// removeStaleTemporaryFiles(folder), unless this process swept `folder` less than a minute ago: a
// batch of many files in one folder reads the folder once, not once per file.
void removeStaleTemporaryFilesNowAndThen(const std::string& folder);

}  // namespace quorvane

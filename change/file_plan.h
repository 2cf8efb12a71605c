// SPDX-License-Identifier: Apache-2.0
// The one change path of every front end. A plan reads the file once and says what a request
// would change, or why the file would be refused, before anything is written; a dry run is the
// plan. Applying a request plans it, makes the backup when asked, and commits the file in one
// write (one archive rewrite, one write sequence of a compound file) inside the file change
// sequence (fileinfo/file_change.h), then reads the times and attributes back: all or nothing
// per file, and a value that did not land is a failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/failure.h"
#include "change/file_request.h"
#include "document/document_edit.h"

namespace quorvane::change {

struct FilePlan {
    // Why the file would not be changed; Failure{} when it can be.
    Failure refusal;
    // What the plan's read left that it could not undo: a last-access time that the read moved
    // and that only the file's owner may set ("its times cannot be put back: permission denied").
    Failure readTrace;
    // Every value the request would alter (content first, then times and attributes), as display
    // texts; empty when nothing would change.
    std::vector<document::ValueChange> changes;
    bool writesContent = false;  // the content would be written, not only times or attributes
    // The other names of a package whose rewrite would split them off: each keeps the old file
    // (with options.breakLinks; without it the plan is refused with hardLinksRefusal).
    std::uint64_t otherHardLinks = 0;

    bool refused() const { return refusal.failed(); }
};

// Plans `request` on `path` without writing: one open under a shared lock (format, signature,
// rows, custom properties, thumbnail, last user's name), the file's last-access time put back.
// Refusals: the file's snapshot's ("no such file", "not a regular file", ...), the open's ("in
// use by another program", "not a ZIP archive", "damaged compound file: ..."), a signed file whose
// content would change (unless options.allowSigned), a value the file cannot hold ("text cannot
// be stored in code page 1251", "Create Time/Date cannot be stored: a date must lie from ...",
// ...), an encrypted document whose content the request would touch ("encrypted document: its
// properties are inside the encryption"), a read-only file that its user cannot make writable
// ("read-only cannot be cleared: permission denied"), a file time outside convert/storable_date.h's
// bound, an attribute bit that the file system cannot keep, and what only the file's owner (or
// root) may do: a time to set ("its times cannot be set: you do not own it"), content to write in
// place, which gives the file the time of the write (timesNotKeptRefusal, unless
// options.allowNewTimes), or a package to rewrite, which gives the new file the writer as its
// owner ("its owner cannot be kept: you do not own it"). Refused too, whoever asks: a file on a
// read-only file system, an immutable or append-only one (fileinfo/unchangeable_file.h), and a
// package to rewrite whose folder the user may not write or that has several hard links
// (change/package_rewrite_refusal.h; the links unless options.breakLinks).
FilePlan planFileChange(const std::string& path, const FileRequest& request, const ChangeOptions& options);

// The refusal of a content change that cannot keep the file's times: "its times cannot be kept:
// you do not own it" (kind Permission).
Failure timesNotKeptRefusal();

struct FileOutcome {
    enum class Kind {
        Changed,    // the file holds every value asked
        Unchanged,  // nothing would change: nothing was written, no backup made
        Failed      // `failure` says why; the file is as it was unless `partly` says otherwise
    };
    Kind kind = Kind::Unchanged;
    Failure failure;
    std::vector<document::ValueChange> changes;  // what the plan said would change
    bool backupFailed = false;  // the failure is the backup's (a batch of the window stops there)
    // The content was committed but a time or attribute did not land as asked, or the commit
    // failed after its switch ("the change is written, but: ..."); the failure names it. Every
    // other way to fail leaves the file as it was.
    bool partly = false;
    std::uint64_t otherHardLinks = 0;  // the plan's: other names split off by the change, or refusing it

    bool failed() const { return kind == Kind::Failed; }
};

// Applies `request` to `path`: the plan (a refused plan is the outcome; nothing written, no
// backup; a plan with nothing to change fails with its readTrace when it has one), the backup
// when options.backup (its failure: "no backup could be made as NAME.bak: <why, as
// fileinfo::backUpFile says>; the file was not changed"), the content in one commit with the final metadata, the times and
// attribute word, then a read of them: a requested time or attribute that does not show as asked
// fails the outcome ("Hidden is 'no', not 'yes' as asked").
FileOutcome applyFileChange(const std::string& path, const FileRequest& request, const ChangeOptions& options);

}  // namespace quorvane::change

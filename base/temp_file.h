// SPDX-License-Identifier: Apache-2.0
// A new file beside a target, to be renamed over it once complete: the way every whole-file
// replacement (package rewrite, backup, CSV export, saved defaults) leaves either the old file or
// the new one, never a torn one. The new file is unnamed (O_TMPFILE) where the folder's file
// system allows, and named (hidden) only for the rename, so that only a SIGKILL in that moment
// can leave it behind; elsewhere it has a hidden name from the start. Names say which process
// wrote them (temp_name.h), so that the next replacement in the folder removes those a killed
// process left. A named file is registered for removal on an ending signal (temp_cleanup.h).
// Unless committed, the destructor removes the file. The new file keeps the metadata of the one
// it replaces, and takes the final metadata of a change (change_scope.h) before the rename when
// one is given.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "base/change_scope.h"
#include "base/failure.h"
#include "base/random_access_file.h"

namespace quorvane {

// Lets a fault test put a wrapper between a whole-file replacement and the temporary file it
// writes (for instance one that fails the Nth write).
using TargetWrapper = std::function<RandomAccessFile&(RandomAccessFile&)>;

class TempFile {
public:
    // Creates an empty file in the folder of `target` (mode 0600): unnamed where the file system
    // takes O_TMPFILE, else with a unique hidden name (temporaryNameBeside), which carries
    // `finalMetadata`'s temporaryMark when given. First removes the temporary files that ended
    // processes left in that folder (removeStaleTemporaryFiles). nullopt when the folder refuses
    // a new file.
    static std::optional<TempFile> besideOf(const std::string& target);
    // besideOf with the reason of a failure: the system's for the new file ("permission denied",
    // "no space left on the device", "no such file" when the folder is missing, ...).
    static Result<TempFile> createBeside(const std::string& target, const FinalMetadata* finalMetadata = nullptr);

    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&&) = delete;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    RandomAccessFile& file() { return *file_; }
    // The file as a writer is to write it: file(), or what `wrap` (when given) puts around it,
    // which must live until commit; commit syncs through the same one, so that a fault test
    // sees that sync too.
    RandomAccessFile& writtenThrough(const TargetWrapper& wrap);
    // The hidden name of the file; "" while it is unnamed.
    const std::string& path() const { return path_; }

    // Gives the file these permission bits (for instance the original's); false on failure.
    bool setPermissions(unsigned permissionBits);
    // setPermissions with the reason of a failure (the system's).
    Failure setMode(unsigned permissionBits);

    // Gives the file the metadata of the regular file it is to replace, then `finalMetadata`
    // when given, syncs it once (content and metadata together), names it (an unnamed file),
    // closes it, renames it over `target`, and syncs the folder so that the new name survives a
    // crash. A file that carries the temporaryMark gets the final values of those attributes
    // after the sync, as the last step before the rename, so that it stays hidden until then.
    // Kept from the file replaced: its owner and group and every extended attribute this process
    // can see (user.*, trusted.*, security labels, the access ACL, ...); an access ACL that only
    // the folder's default ACL gave the new file is taken away. The final metadata then sets
    // its extendedAttributes, the mode, its extendedAttributesAfterMode and the last-access and
    // last-write times, in that order, so that the rename commits content and metadata at once.
    // True only when every step succeeded; on false the target is as it was (unless the failure
    // came after the rename, in the close or the folder sync) and the file is removed.
    bool commitOver(const std::string& target);
    // commitOver with the reason of a failure: "its owner cannot be kept: <the system's words>"
    // (a user who may not give the file the replaced one's owner or group: the rename is refused
    // rather than change them), "its extended attributes cannot be kept: <name>: <the system's
    // words>" (one that this process may not give the new file, such as a security label or
    // trusted.* for a user without the capability: refused rather than dropped), or the system's
    // for the first other step that failed (the mode, the times, the sync, the name, the close,
    // the rename or the folder's sync).
    Failure commit(const std::string& target, const FinalMetadata* finalMetadata = nullptr);

private:
    TempFile(std::string path, PosixFile file, int cleanupSlot)
        : path_(std::move(path)), file_(std::move(file)), cleanupSlot_(cleanupSlot)
    {
    }
    Failure takeMetadataOf(const std::string& target, const struct stat& replaced, const FinalMetadata* final);
    // Links the unnamed file under a fresh hidden name beside `target` and registers it; called
    // with the ending signals held back (CleanupSignalsBlocked).
    Failure giveName(const std::string& target);

    std::string path_;
    std::optional<PosixFile> file_;
    RandomAccessFile* written_ = nullptr;  // what writtenThrough gave, when not file_ itself
    int cleanupSlot_ = -1;
    std::optional<unsigned> permissionBits_;
    std::vector<std::string> markNames_;  // the extended attributes that hold the temporaryMark
    bool committed_ = false;
};

// Replaces the whole content of `target` with what `writeContents` writes into a new file
// beside it (starting at offset 0), then syncs it and renames it over `target`. The new file
// takes the permission bits of the file it replaces, or 0666 less the umask when there was none.
// True only when every step succeeded; otherwise `target` is as it was and nothing is left
// behind. `wrapTarget` is for fault tests.
bool replaceWholeFile(const std::string& target, const std::function<bool(RandomAccessFile&)>& writeContents,
                      const TargetWrapper& wrapTarget = {});

// replaceWholeFile with the reason of a failure: the system's for the first step that failed
// (errno as `writeContents` left it when it answers false; "input/output error" when it set none).
Failure replaceWholeFileContents(const std::string& target,
                                 const std::function<bool(RandomAccessFile&)>& writeContents,
                                 const TargetWrapper& wrapTarget = {});

// Syncs the folder that holds `path`, so that a rename or a new entry in it is durable, in a round
// of `flushGroup` when given (its member's thread only); the reason of a failure (the system's).
Failure syncFolderOf(const std::string& path, FlushGroup* flushGroup = nullptr);

}  // namespace quorvane

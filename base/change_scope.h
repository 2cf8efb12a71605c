// A change sequence in progress on one file, and what the file is to carry when it ends. The
// sequence (fileinfo/file_change.h) computes the final mode, times and extended attributes before
// it writes anything and opens a ChangeScope for the file; the writers below it consult the scope:
// a whole-file replacement gives its new file that metadata before the rename (temp_file.h), so
// that one rename commits content and metadata together, and an in-place writer may open a
// read-only file for the moment of its open (openForChange), so that the file never stays
// writable while it is written. A scope belongs to the thread that opened it.
#pragma once

#include <sys/stat.h>
#include <time.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"

namespace quorvane {

struct ExtendedAttribute {
    std::string name;
    std::vector<std::byte> value;
};

// What a file is to carry once a change has written it.
struct FinalMetadata {
    unsigned permissionBits = 0;                          // the mode's lower 12 bits
    timespec lastAccess{};
    timespec lastWrite{};
    std::vector<ExtendedAttribute> extendedAttributes;    // stored, replacing any of the same name
};

// Registers `finalMetadata` for the file that `identity` describes (its device and inode) for
// the lifetime of the scope, on this thread. Scopes nest; the innermost for a file wins.
class ChangeScope {
public:
    ChangeScope(const struct stat& identity, FinalMetadata finalMetadata);
    ~ChangeScope();
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

    const FinalMetadata& finalMetadata() const { return finalMetadata_; }
    bool covers(const struct stat& info) const { return info.st_dev == device_ && info.st_ino == inode_; }
    const ChangeScope* outer() const { return outer_; }

private:
    friend void followReplacedFile(const struct stat& replaced, const struct stat& replacement);

    dev_t device_;
    ino_t inode_;
    FinalMetadata finalMetadata_;
    ChangeScope* outer_;
};

// The final metadata of an open scope for the file `info` describes; nullptr when none is open
// on this thread.
const FinalMetadata* finalMetadataFor(const struct stat& info);

// Tells the open scopes for the file `replaced` describes that a whole-file replacement has put
// the file `replacement` describes in its place: they cover that one from now on, so that a
// later write of the same change (a second rewrite of a package) finds its scope.
void followReplacedFile(const struct stat& replaced, const struct stat& replacement);

// True when a writer must refuse the file `info` describes as read-only: it has no write bit for
// anyone and no change scope is open for it (a sequence that puts its attribute word last may
// write it).
bool refusedAsReadOnly(const struct stat& info);

// Opens `path` for reading and writing under an exclusive lock, as PosixFile::openOrFailure does,
// with its failures. When the open is refused for want of a write bit and a change scope is open
// for the file, the owner's write bit is given for the moment of the open and the mode then put
// back at once: a descriptor opened for writing stays writable, and the file is never left
// writable by an interruption of the write that follows. A mode that cannot be given or put back
// is the failure then ("read-only cannot be cleared: <the system's words>").
Result<PosixFile> openForChange(const std::string& path);

// Writes the file at `path` in place: opens it with openForChange (its failures), refuses a
// read-only file outside a change scope ("read-only"), runs `write` on it and closes it. The
// failure of `write` first, else the close's.
Failure writeFileInPlace(const std::string& path, const std::function<Failure(RandomAccessFile&)>& write);

}  // namespace quorvane

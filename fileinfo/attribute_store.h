// SPDX-License-Identifier: Apache-2.0
// Where the attribute word of a file lives on Linux. Read-only is the permission bits: set means
// nobody has a write bit. Every other bit, and a creation time set by the program, live in the
// extended attribute user.DOSATTRIB (see dos_attrib.h), which Samba serves to Windows clients
// and Wine reads. A file system that keeps no extended attributes has those bits at 0 and
// refuses to set them.
//
// A file on an NTFS volume mounted by ntfs-3g carries its real attribute word and creation time
// as system.ntfs_attrib_be (4 bytes) and system.ntfs_crtime_be (8 bytes, a FILETIME), both
// big-endian and settable; on such a file (decided per file: it carries system.ntfs_attrib_be)
// those two are read and written instead of user.DOSATTRIB. ntfs-3g keeps the read-only
// attribute apart from the mode, except that with its "permissions" option a chmod that takes
// away every write bit sets read-only and one that gives a write bit back clears it; so the mode
// is changed first and the attribute word written after it, and read-only reads as set when
// either the attribute or the mode says so. Without "permissions" ntfs-3g ignores chmod, and
// read-only is then the attribute alone.
#pragma once

#include <optional>
#include <string>

#include "base/change_scope.h"
#include "base/failure.h"
#include "fileinfo/attribute_word.h"
#include "convert/date_time.h"

namespace quorvane::fileinfo {

struct AttributeState {
    AttributeWord word = 0;
    // From user.DOSATTRIB when it holds one; on an ntfs-3g volume the NTFS creation time.
    std::optional<convert::FileTime> storedCreationTime;
};

// The attribute word of a regular file (symbolic links followed) and the creation time kept
// with it. A stored value that fits no layout counts as no value. nullopt when the file is
// missing, is not a regular file, or its extended attribute cannot be read for a reason other
// than there being none.
std::optional<AttributeState> readAttributeState(const std::string& path);
// readAttributeState with the reason of a failure: "no such file", "not a regular file", or "its
// attributes cannot be read: <the system's words>".
Result<AttributeState> attributeStateOf(const std::string& path);

// Sets the attribute word of a regular file. Read-only set removes every write bit; read-only
// cleared gives the owner the write bit back, and group and others where they may read and the
// process's umask lets them. The other bits are stored in user.DOSATTRIB (version 3, keeping a
// stored creation time), which is written only when its content changes or when a bit other
// than read-only must be stored; on an ntfs-3g volume the whole word is the NTFS attribute word
// (bits that NTFS does not let a program set keep their values there). True when the file ends with the word. False when a step is
// refused: no such file, no right to change its mode, or a file system without extended
// attributes asked to keep one of those bits; the read-only bit is still applied then, so that a
// file asked to be read-only never stays writable.
bool writeAttributeWord(const std::string& path, AttributeWord word);
// writeAttributeWord with the reason of a failure: Failure{} when the file ends with the word;
// else the first refusal ("no such file", "permission denied" for a mode that only the owner may
// change, "its attributes cannot be stored: <the system's words>"). With `creationTime` that
// time is stored in the same write as the other bits (setCreationTime). The mode is the last
// write and read-only is never cleared on the way: only a file that stays read-only and refuses
// its user.DOSATTRIB store (an owner who is not root) gets the owner's write bit for that store.
Failure setAttributeWord(const std::string& path, AttributeWord word,
                         std::optional<convert::FileTime> creationTime = std::nullopt);

// Stores `creationTime` in user.DOSATTRIB beside the current attribute word; Linux cannot set a
// file's birth time, so this is the creation time that later reads report. On an ntfs-3g volume
// it sets the file's real NTFS creation time instead. Writing extended
// attributes of a file needs the right to write it (root aside). True when stored or already
// there; false when refused.
bool storeCreationTime(const std::string& path, convert::FileTime creationTime);
// storeCreationTime with the reason of a refusal (Failure{} when stored or already there).
Failure setCreationTime(const std::string& path, convert::FileTime creationTime);

// Adds to `final` what carries `word` and `creationTime` on a new file that is to replace `path`
// (a whole-file replacement stores it before its rename): on an ntfs-3g volume its own attribute
// word and creation time, stored after the mode (with "permissions" a chmod would alter the
// read-only bit); elsewhere user.DOSATTRIB (version 3), stored before the mode, while a read-only
// file's user.* attributes may still be written. Also the temporaryMark, in the same store: the
// word of a new file with Hidden.
void addWordAttributes(FinalMetadata& final, const std::string& path, AttributeWord word, convert::FileTime creationTime);

// Puts a file's attribute word back unless dismissed: the guard of every sequence that clears
// the read-only bit for a while, so that no way out of it (a failure, an exception) leaves the
// file without the attributes it had.
class AttributeWordGuard {
public:
    AttributeWordGuard(std::string path, AttributeWord word) : path_(std::move(path)), word_(word) {}
    AttributeWordGuard(const AttributeWordGuard&) = delete;
    AttributeWordGuard& operator=(const AttributeWordGuard&) = delete;
    ~AttributeWordGuard()
    {
        if (armed_) writeAttributeWord(path_, word_);
    }

    // The success path: no putting back on the way out.
    void dismiss() { armed_ = false; }
    // Puts the word back now and dismisses the guard; Failure{} when the write succeeded.
    Failure restoreNow()
    {
        armed_ = false;
        return setAttributeWord(path_, word_);
    }

private:
    std::string path_;
    AttributeWord word_;
    bool armed_ = true;
};

}  // namespace quorvane::fileinfo

// SPDX-License-Identifier: Apache-2.0
// Fixtures for the file-layer tests: a scratch folder on a file system that keeps extended
// attributes, a child process that holds a lock on a file, a run on a file system that keeps
// none, and direct access to the raw user.DOSATTRIB value and times of a file.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "convert/date_time.h"
#include "fileinfo/attribute_word.h"

namespace quorvane::testing {

// A fresh folder, removed with its contents at the end, on a file system that takes user.*
// extended attributes: the system's temporary folder when it does, else a folder under
// `fallbackParent` (the build tree). path() is empty when neither does; tests skip then.
class XattrScratchDir {
public:
    explicit XattrScratchDir(const std::filesystem::path& fallbackParent);
    ~XattrScratchDir();
    XattrScratchDir(const XattrScratchDir&) = delete;
    XattrScratchDir& operator=(const XattrScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Creates (or replaces) a file in the folder with `content` and returns its path.
    std::filesystem::path file(const std::string& name, const std::string& content = "content") const;

private:
    std::filesystem::path path_;
};

#define QUORVANE_REQUIRE_XATTR_SCRATCH(dir)                                                   \
    do {                                                                                    \
        if ((dir).path().empty()) GTEST_SKIP() << "no folder here keeps user.* extended attributes"; \
    } while (false)

// A child process that opens a file and holds an open-file-description lock on all of it
// (shared or exclusive) until this object is destroyed, as another program holding the file
// open would.
class LockHoldingChild {
public:
    LockHoldingChild(const std::filesystem::path& file, bool exclusive);
    ~LockHoldingChild();
    LockHoldingChild(const LockHoldingChild&) = delete;
    LockHoldingChild& operator=(const LockHoldingChild&) = delete;

    // True when the child reported that it holds the lock.
    bool holding() const { return holding_; }

private:
    pid_t child_ = -1;
    int releaseFd_ = -1;
    bool holding_ = false;
};

// Runs `body` in a child process, in a private mount namespace where a file system of type
// `fileSystemType` with `options` is mounted on a scratch folder; `body` gets that folder and
// returns "" on success or a description of what went wrong. The result is that text, or
// nullopt when this machine cannot make such a mount (not root, no namespaces): skip then.
std::optional<std::string> runOnPrivateMount(const char* fileSystemType, const char* options,
                                             const std::function<std::string(const std::filesystem::path&)>& body);

// runOnPrivateMount with a ramfs, a file system that keeps no extended attributes.
std::optional<std::string> runOnFileSystemWithoutXattrs(
    const std::function<std::string(const std::filesystem::path&)>& body);

// Creates an empty file with mode 0644 (for bodies of runOnFileSystemWithoutXattrs, where test
// assertions are not available); false when refused.
bool createEmptyFile(const std::filesystem::path& file);

// The raw user.DOSATTRIB value of a file; nullopt when it has none.
std::optional<std::string> rawDosAttrib(const std::filesystem::path& file);
// Sets the raw user.DOSATTRIB value; false when refused.
bool setRawDosAttrib(const std::filesystem::path& file, const std::string& value);

// The status of a file (fails the calling test when it cannot be read).
struct stat statOf(const std::filesystem::path& file);
// Sets last access and last write of a file exactly (fails the calling test when refused).
void setAccessAndWriteTimes(const std::filesystem::path& file, timespec lastAccess, timespec lastWrite);

// Everything that reading a file must leave as it was: both POSIX times to the nanosecond, the
// mode, the attribute word and creation time as the file layer reads them, and the raw stored
// user.DOSATTRIB value (or its absence). `found` is false when the file cannot be looked at.
struct FileTrace {
    bool found = false;
    timespec lastAccess{}, lastWrite{};
    mode_t mode = 0;
    fileinfo::AttributeWord attributes = 0;
    convert::FileTime creationTime = 0;
    std::optional<std::string> rawDosAttrib;

    static FileTrace of(const std::filesystem::path& file);
    bool operator==(const FileTrace& other) const;
};
// For GoogleTest's messages.
void PrintTo(const FileTrace& trace, std::ostream* out);

// Bytes from hex text with optional blanks and "|" separators ("30 78 | 32 32").
std::string bytesFromHex(const std::string& hex);

}  // namespace quorvane::testing

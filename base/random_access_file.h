// SPDX-License-Identifier: Apache-2.0
// The one interface through which the compound-file engine, the archive writer and the file
// layer touch file bytes. PosixFile is the real one; tests wrap it to fail or cut off a write
// sequence at any call (tests/support/faulty_file.h). A call that fails leaves errno telling why
// (EIO when the system gave no error, as for a read cut short by the end of the file), so the
// caller can make its reason with Failure::fromErrno(errno) right after the call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/unique_fd.h"

namespace quorvane {

class FlushGroup;

class RandomAccessFile {
public:
    virtual ~RandomAccessFile() = default;

    // Reads exactly out.size() bytes at `offset`; false on an error or a short read.
    virtual bool readAt(std::uint64_t offset, std::span<std::byte> out) = 0;
    // Writes all of `data` at `offset`, growing the file when needed; false on any error.
    virtual bool writeAt(std::uint64_t offset, std::span<const std::byte> data) = 0;
    // Sets the file's length; false on any error.
    virtual bool truncate(std::uint64_t length) = 0;
    // Makes every earlier write durable; false on any error.
    virtual bool sync() = 0;
    // The current length, or nullopt on an error.
    virtual std::optional<std::uint64_t> size() = 0;
    // Copies `length` bytes at `sourceOffset` of `source` to `offset` of this file; false on any
    // error. This default reads and writes in pieces through readAt() and writeAt(); PosixFile
    // copies inside the kernel when the source is a PosixFile too.
    virtual bool copyFrom(RandomAccessFile& source, std::uint64_t sourceOffset, std::uint64_t length,
                          std::uint64_t offset);
};

// How a PosixFile is opened and which open-file-description lock it takes on the whole file.
enum class OpenMode {
    ReadShared,        // read only; shared lock: other readers may open, writers may not
    ReadWriteExclusive // read and write; exclusive lock: nobody else may open with a lock
};

class PosixFile final : public RandomAccessFile {
public:
    // Opens an existing file, without moving its last-access time where the kernel allows
    // (quiet_open.h), and takes its lock, waiting up to 2 s for another open to release a
    // conflicting one. The failure otherwise: "in use by another program" (Locked) when the
    // conflicting lock is still held after the wait, "not a regular file" for a folder or device,
    // else the reason of open(2) ("no such file", "permission denied", ...).
    static Result<PosixFile> openOrFailure(const std::string& path, OpenMode mode);
    // openOrFailure with nullopt for any failure (`lockRefused` tells whether it was the lock).
    static std::optional<PosixFile> open(const std::string& path, OpenMode mode, bool* lockRefused = nullptr);
    // Wraps an already open descriptor (for temporary files); takes no lock.
    explicit PosixFile(UniqueFd fd) : fd_(std::move(fd)) {}

    bool readAt(std::uint64_t offset, std::span<std::byte> out) override;
    bool writeAt(std::uint64_t offset, std::span<const std::byte> data) override;
    bool truncate(std::uint64_t length) override;
    bool sync() override;
    std::optional<std::uint64_t> size() override;
    bool copyFrom(RandomAccessFile& source, std::uint64_t sourceOffset, std::uint64_t length,
                  std::uint64_t offset) override;
    // From here on sync() is `group`'s flush (base/flush_group.h) when `group` is given; the
    // calling thread must then be one of its members.
    void shareFlushesWith(FlushGroup* group) { flushGroup_ = group; }

    int fd() const { return fd_.get(); }
    // Closes the file, releasing its lock; false when close() reports an error.
    bool close() { return fd_.close(); }

private:
    UniqueFd fd_;
    FlushGroup* flushGroup_ = nullptr;
};

// A file held in memory, for parsers fed from a buffer and for tests.
class MemoryFile final : public RandomAccessFile {
public:
    MemoryFile() = default;
    explicit MemoryFile(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}

    bool readAt(std::uint64_t offset, std::span<std::byte> out) override;
    bool writeAt(std::uint64_t offset, std::span<const std::byte> data) override;
    bool truncate(std::uint64_t length) override;
    bool sync() override { return true; }
    std::optional<std::uint64_t> size() override { return bytes_.size(); }

    const std::vector<std::byte>& bytes() const { return bytes_; }

private:
    std::vector<std::byte> bytes_;
};

// Reads the whole of a RandomAccessFile, refusing files longer than `maxBytes`; nullopt on
// any error or when the file is too long.
std::optional<std::vector<std::byte>> readWhole(RandomAccessFile& file, std::uint64_t maxBytes);

}  // namespace quorvane

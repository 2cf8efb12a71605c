// SPDX-License-Identifier: Apache-2.0
// A compound file opened for reading and, optionally, in-place stream replacement ([MS-CFB]):
// the header, FAT, directory and mini stream loaded from one RandomAccessFile, and bounded
// reads of the streams of the root storage. The writes themselves are in cfb_stream_write.h.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "cfb/cfb_directory.h"
#include "cfb/cfb_fat.h"
#include "cfb/cfb_header.h"
#include "cfb/cfb_ministream.h"
#include "cfb/cfb_sector.h"
#include "base/failure.h"
#include "base/random_access_file.h"

namespace quorvane::cfb {

class CompoundFile {
public:
    // Loads the structures of `file`, which must outlive the object. The failure otherwise:
    // "damaged compound file: <what>" when the file is not a compound file or its header, FAT
    // or directory is broken, the reason of the system call when a read fails. A broken mini
    // stream does not fail the open; it fails reads of mini streams and every write.
    static Result<CompoundFile> open(RandomAccessFile& file);

    // The stream of the root storage with this name (compared without regard to ASCII case),
    // or nullopt. A root tree broken elsewhere still yields the names on intact paths
    // (Directory::findChild), so a damaged file shows what can be read; writes stay refused.
    std::optional<std::uint32_t> findRootStream(std::u16string_view name) const { return findStream(kRootEntryId, name); }
    // The child of storage `storageId` with this name that is a stream (findStream) or a storage
    // (findStorage), found as findRootStream finds it; nullopt when there is none or the child
    // has the other type.
    std::optional<std::uint32_t> findStream(std::uint32_t storageId, std::u16string_view name) const;
    std::optional<std::uint32_t> findStorage(std::uint32_t storageId, std::u16string_view name) const;

    // The bytes of a stream entry. The failure otherwise: NotFound when the entry is no
    // stream, damaged compound file when the stream is longer than `maxBytes` or its chain is
    // broken, the reason of the system call when a read fails.
    Result<std::vector<std::byte>> readStream(std::uint32_t entryId, std::uint64_t maxBytes);

    // Failure{} when the allocation structures are sound enough to write into: every FAT,
    // DIFAT, directory, MiniFAT and container sector and every sector of a reachable stream
    // inside the file, marked as used, and owned once; likewise every mini sector; and a
    // consistent directory (Directory::checkTree). Else a
    // damaged-compound-file failure saying what is wrong: a write into such a file could
    // overwrite live data, so writers refuse it.
    Failure checkAllocation() const;

    Header& header() { return header_; }
    std::array<std::byte, kHeaderSize>& rawHeader() { return rawHeader_; }
    SectorFile& sectors() { return *sectors_; }
    Fat& fat() { return *fat_; }
    Directory& directory() { return *directory_; }
    MiniStream& miniStream() { return *miniStream_; }

private:
    CompoundFile() = default;

    Header header_;
    std::array<std::byte, kHeaderSize> rawHeader_{};
    // Held by pointer: the layers keep the address of the sector file.
    std::unique_ptr<SectorFile> sectors_;
    std::optional<Fat> fat_;
    std::optional<Directory> directory_;
    std::optional<MiniStream> miniStream_;
};

}  // namespace quorvane::cfb

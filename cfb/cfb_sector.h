// SPDX-License-Identifier: Apache-2.0
// Whole-sector access to a compound file ([MS-CFB] 2.2: sector n starts at (n + 1) * sector
// size). The lowest layer of the engine: everything above reads and writes sectors through it,
// and it alone talks to the RandomAccessFile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "cfb/cfb_header.h"

namespace quorvane::cfb {

class SectorFile {
public:
    // `fileLength` is the length of the file when it was opened.
    SectorFile(RandomAccessFile& file, std::uint32_t sectorShift, std::uint64_t fileLength);

    std::uint32_t sectorSize() const { return 1u << sectorShift_; }
    // Sectors that lie (at least partly) inside the file: the bound of every chain walk.
    std::uint32_t sectorCount() const { return sectorCount_; }
    std::uint64_t offsetOf(std::uint32_t sectorId) const { return (std::uint64_t(sectorId) + 1) << sectorShift_; }

    // Every call below that gives false records why in lastFailure(): a damaged-compound-file
    // failure for a sector past the end of the file, the errno of the failed system call else.

    // Reads sector `sectorId` into `out` (one sector long). A last sector cut short by the end
    // of the file reads as if padded with zeros. False for a sector past the end or on an I/O error.
    bool read(std::uint32_t sectorId, std::span<std::byte> out);
    // Reads `out.size()` bytes at `offsetInSector` of a sector, with the same rules.
    bool readPart(std::uint32_t sectorId, std::size_t offsetInSector, std::span<std::byte> out);
    // Reads the sectors `chain` into `out`, sector i of the chain at i * sectorSize(), with
    // read()'s rules; each run of consecutive sector ids takes one read call. `out` holds at
    // most chain.size() sectors: a last sector with less room gets only its first bytes.
    bool readChain(std::span<const std::uint32_t> chain, std::span<std::byte> out);

    // Writes bytes at `offsetInSector` of a sector (the caller keeps the range inside the
    // sector run it owns). Writing at or past the end grows the file; the new last sector is
    // always written whole so that the file length stays a multiple of the sector size.
    bool write(std::uint32_t sectorId, std::size_t offsetInSector, std::span<const std::byte> data);
    // Zeros over `length` bytes at `offsetInSector` of a sector, written only when one of them is
    // not zero: what clears old bytes without writing sectors that hold none. False when the
    // read or the write fails.
    bool clear(std::uint32_t sectorId, std::size_t offsetInSector, std::size_t length);
    // Writes the 512 header bytes.
    bool writeHeader(std::span<const std::byte> header);
    // Makes the writes since the last sync durable; nothing to do (true) when there were none.
    bool sync();

    // --- Undo journal: how a refused write sequence leaves the file as it was ---

    // From here on, each write and writeHeader first reads the bytes it is about to cover inside
    // the file (the file as long as it is now) and keeps them. False, with nothing written, when
    // that read fails. Each sync starts a new step of the journal.
    void beginJournal();
    // Forgets the journal: the writes so far stay whatever happens later.
    void endJournal();
    // Writes back, newest first, the bytes each journaled write covered, syncing after the writes
    // of each step, then cuts the file back to its length at beginJournal() and syncs. The file is
    // then byte for byte what it was. A crash or a failure on the way leaves a state that a crash of
    // the forward writes could have left, one step earlier each time. False when a call fails;
    // lastFailure() then says why. The caller keeps its own copy of the failure that made it roll back.
    bool rollBack();

    // Counts a sector appended by the allocator; it becomes readable once written.
    void noteAppended(std::uint32_t sectorId);

    // Why the last read, write or sync that gave false failed.
    const Failure& lastFailure() const { return lastFailure_; }

private:
    bool ioFailed();
    // RandomAccessFile::writeAt, journaled when a journal is open.
    bool writeAt(std::uint64_t offset, std::span<const std::byte> data);

    struct SavedBytes {
        std::uint64_t offset;
        std::vector<std::byte> before;
    };

    Failure lastFailure_;
    RandomAccessFile& file_;
    std::uint32_t sectorShift_;
    std::uint64_t fileLength_;
    std::uint32_t sectorCount_;
    bool unsynced_ = false;
    bool journaling_ = false;
    std::uint64_t journalStartLength_ = 0;
    std::uint64_t journalFurthestEnd_ = 0;      // end of the furthest write tried, failed ones included
    std::vector<std::vector<SavedBytes>> journal_;  // one list per step (between two syncs)
};

}  // namespace quorvane::cfb

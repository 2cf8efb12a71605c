// SPDX-License-Identifier: Apache-2.0
// The FAT and the DIFAT that lists its sectors ([MS-CFB] 2.3, 2.5): loading, bounded chain
// walks, and the allocator used by in-place writes. Changes are made in memory and written by
// the flush calls, so that the writer decides in which order the on-disk structures change.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "base/failure.h"
#include "cfb/cfb_header.h"
#include "cfb/cfb_sector.h"

namespace quorvane::cfb {

class Fat {
public:
    // Loads the FAT sectors named by the header's DIFAT slots and then by the DIFAT sector
    // chain. A damaged-compound-file failure when a count exceeds the file's sector count, a
    // FAT or DIFAT sector lies past the end of the file, or the DIFAT chain loops; the reason
    // of the read when one fails.
    static Result<Fat> load(SectorFile& sectors, const Header& header);

    // The FAT entry of a sector: the next sector of its chain, or a special value. Sectors the
    // FAT does not cover read as FREESECT.
    std::uint32_t next(std::uint32_t sectorId) const
    {
        return sectorId < entries_.size() ? entries_[sectorId] : kFreeSect;
    }

    // The first `count` sectors of the chain from `start`. nullopt when the chain ends early,
    // leaves the file, or visits a sector twice.
    std::optional<std::vector<std::uint32_t>> chainPrefix(std::uint32_t start, std::size_t count) const;
    // The whole chain from `start` up to ENDOFCHAIN (empty for ENDOFCHAIN itself). nullopt
    // when it leaves the file, meets a free or special entry, or loops.
    std::optional<std::vector<std::uint32_t>> wholeChain(std::uint32_t start) const;

    // The sectors inside the file that the FAT marks free.
    std::vector<std::uint32_t> freeSectorIds() const;

    const std::vector<std::uint32_t>& fatSectorIds() const { return fatSectorIds_; }
    const std::vector<std::uint32_t>& difatSectorIds() const { return difatSectorIds_; }

    // --- Allocation (in memory until flushed) ---

    // Takes a free sector inside the file, else appends one at the end (growing the FAT, and
    // the DIFAT, by new sectors as needed), and sets its entry to `entry`. nullopt when the
    // sector numbers are exhausted.
    std::optional<std::uint32_t> allocate(std::uint32_t entry);
    void setNext(std::uint32_t sectorId, std::uint32_t entry);

    // Writes every FAT sector changed since the last flush, and the DIFAT sectors added since
    // loading. False on an I/O error.
    bool flushFatSectors();
    // Writes the DIFAT sectors that existed when loading but whose slots or link changed.
    bool flushChangedDifatSectors();
    // Records the FAT's sector list in the header fields (count, slots, DIFAT chain).
    void storeInHeader(Header& header) const;

private:
    Fat(SectorFile& sectors, std::uint32_t entriesPerSector) : sectors_(&sectors), entriesPerSector_(entriesPerSector) {}

    std::uint32_t appendSector(std::uint32_t entry);
    std::vector<std::byte> difatSectorImage(std::size_t difatIndex) const;
    std::size_t difatSectorsNeeded() const;

    SectorFile* sectors_;
    std::uint32_t entriesPerSector_;
    std::vector<std::uint32_t> entries_;
    std::vector<std::uint32_t> fatSectorIds_;
    std::vector<std::uint32_t> difatSectorIds_;
    std::vector<std::vector<std::byte>> loadedDifatImages_;
    std::set<std::size_t> dirtyFatSectors_;  // indexes into fatSectorIds_
    std::uint32_t freeScanFrom_ = 0;
};

}  // namespace quorvane::cfb

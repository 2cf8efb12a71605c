// SPDX-License-Identifier: Apache-2.0
// The mini stream and its MiniFAT ([MS-CFB] 2.4): streams shorter than 4096 bytes live in
// 64-byte mini sectors inside the root entry's own stream (the "container"). Loading,
// bounded chain walks and reads, and the allocator of in-place writes, which grows the
// MiniFAT and the container in memory and leaves the order of the disk writes to the caller.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "cfb/cfb_directory.h"
#include "cfb/cfb_fat.h"
#include "cfb/cfb_header.h"
#include "cfb/cfb_sector.h"

namespace quorvane::cfb {

class MiniStream {
public:
    // Loads the MiniFAT (the first numMiniFatSectors sectors of its chain) and the container
    // chain of the root entry. Never fails: a broken MiniFAT or container only makes mini
    // streams unreadable (`usable()` false), which matters only to those who read them.
    static MiniStream load(SectorFile& sectors, const Fat& fat, const Header& header, const DirEntry& root);

    bool usable() const { return usable_; }
    // Mini sectors the root entry's size covers.
    std::uint32_t miniSectorCount() const { return std::uint32_t((rootSize_ + kMiniSectorSize - 1) / kMiniSectorSize); }
    std::uint32_t next(std::uint32_t miniId) const { return miniId < entries_.size() ? entries_[miniId] : kFreeSect; }

    // The first `count` mini sectors of a chain, or the whole chain up to ENDOFCHAIN; nullopt
    // when the chain leaves the mini stream, ends early or loops.
    std::optional<std::vector<std::uint32_t>> chainPrefix(std::uint32_t start, std::size_t count) const;
    std::optional<std::vector<std::uint32_t>> wholeChain(std::uint32_t start) const;
    // The MiniFAT's and the container's own regular sector chains.
    const std::vector<std::uint32_t>& miniFatSectorIds() const { return miniFatSectorIds_; }
    const std::vector<std::uint32_t>& containerSectorIds() const { return containerSectorIds_; }

    // Reads the bytes of a mini chain (`size` bytes). False on an I/O error.
    bool readChain(const std::vector<std::uint32_t>& chain, std::uint64_t size, std::span<std::byte> out);

    // --- Allocation for writes ---

    // A mini chain for `size` bytes: free mini sectors below the root size first, then new
    // ones at its end (growing MiniFAT and container by regular sectors from `fat`). Entries
    // are set in memory. nullopt when the FAT cannot allocate.
    std::optional<std::vector<std::uint32_t>> allocateChain(std::size_t miniSectorCount, Fat& fat);
    // Writes `data` into the mini sectors of `chain` (the tail of the last one zeroed). New
    // container sectors are written whole. False on an I/O error.
    bool writeChainData(const std::vector<std::uint32_t>& chain, std::span<const std::byte> data);
    // Marks a chain free in memory and overwrites its sectors with zeros on disk.
    bool freeChain(const std::vector<std::uint32_t>& chain);
    // SectorFile::clear over bytes [offset, 64) of a mini sector inside the container.
    bool clear(std::uint32_t miniId, std::size_t offset);
    // clear() over every mini sector of the container that no chain uses: free in the MiniFAT,
    // or past the root entry's size.
    bool clearUnused();
    // Writes the MiniFAT sectors changed in memory since the last call.
    bool flushMiniFat();
    // The FAT links that join added MiniFAT and container sectors to their loaded chains.
    void applyChainLinks(Fat& fat) const;
    // Header and root entry fields after growth.
    void storeInHeader(Header& header) const;
    bool rootChanged() const { return rootSize_ != loadedRootSize_ || containerSectorIds_.size() != loadedContainerSectors_; }
    std::uint32_t rootStartingSector() const { return containerSectorIds_.empty() ? kEndOfChain : containerSectorIds_.front(); }
    std::uint64_t rootSize() const { return rootSize_; }

private:
    explicit MiniStream(SectorFile& sectors) : sectors_(&sectors) {}
    bool writeRuns(const std::vector<std::uint32_t>& chain, std::span<const std::byte> data);
    std::pair<std::uint32_t, std::size_t> locate(std::uint32_t miniId) const;

    SectorFile* sectors_;
    bool usable_ = false;
    std::vector<std::uint32_t> entries_;
    std::vector<std::uint32_t> miniFatSectorIds_;
    std::size_t loadedMiniFatSectors_ = 0;
    std::vector<std::uint32_t> containerSectorIds_;
    std::size_t loadedContainerSectors_ = 0;
    std::uint64_t rootSize_ = 0;
    std::uint64_t loadedRootSize_ = 0;
    std::set<std::size_t> dirtyMiniFatSectors_;
};

}  // namespace quorvane::cfb

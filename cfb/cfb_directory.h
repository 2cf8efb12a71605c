// SPDX-License-Identifier: Apache-2.0
// The directory ([MS-CFB] 2.6): 128-byte entries in a FAT chain, and the sibling trees that
// order the children of each storage. Entries are kept as raw bytes; an edit changes only the
// fields it names, and a write sends back only the entry or the sector it changed, or the whole
// directory to new sectors (copy-on-write) when the changes are spread over several sectors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "cfb/cfb_fat.h"
#include "cfb/cfb_header.h"
#include "cfb/cfb_layout.h"
#include "cfb/cfb_sector.h"

namespace quorvane::cfb {

inline constexpr std::size_t kDirEntrySize = 128;
inline constexpr std::uint32_t kRootEntryId = 0;
inline constexpr std::size_t kMaxNameUnits = 31;  // UTF-16 code units, without the NUL

enum class ObjectType : std::uint8_t { Unallocated = 0, Storage = 1, Stream = 2, Root = 5 };

inline bool isStorageType(std::uint8_t objectType)
{
    return objectType == std::uint8_t(ObjectType::Storage) || objectType == std::uint8_t(ObjectType::Root);
}

struct DirEntry {
    std::u16string name;              // without the terminating NUL
    std::uint8_t objectType = 0;
    std::uint8_t colorFlag = 1;       // 0 red, 1 black
    std::uint32_t leftSiblingId = kNoStream;
    std::uint32_t rightSiblingId = kNoStream;
    std::uint32_t childId = kNoStream;
    std::uint32_t startingSector = kEndOfChain;
    std::uint64_t streamSize = 0;     // version 3: only the low 32 bits count

    bool isStream() const { return objectType == std::uint8_t(ObjectType::Stream); }
    bool isStorage() const { return isStorageType(objectType); }
};

// [MS-CFB] 2.6.4 order of names in a sibling tree: shorter first, then code unit by code unit
// after upper-casing (ASCII letters only; enough for every name this program creates).
int compareNames(std::u16string_view left, std::u16string_view right);

// Where a new entry hangs in a sibling tree: the storage's child field, or a sibling field of
// an existing entry.
struct TreeSlot {
    std::uint32_t entryId;
    enum class Field { Child, Left, Right } field;
};

class Directory {
public:
    // Loads the directory chain (bounded by the file's sector count). A damaged-compound-file
    // failure when the chain is broken or entry 0 is not a root storage; the reason of the read
    // when one fails.
    static Result<Directory> load(SectorFile& sectors, const Fat& fat, const Header& header);

    std::uint32_t entryCount() const { return std::uint32_t(raw_.size() / kDirEntrySize); }
    DirEntry entry(std::uint32_t entryId) const;

    // The children of a storage, by walking its sibling tree; nullopt when the tree refers
    // past the directory or loops.
    std::optional<std::vector<std::uint32_t>> childrenOf(std::uint32_t storageId) const;
    // The child of a storage with this name (compared as [MS-CFB] compares names), or nullopt.
    // Found by walking the storage's whole tree; when that walk fails (an id past the directory,
    // a loop), by the name-ordered descent of [MS-CFB] 2.6.4 from the storage's child, which
    // still reaches every name whose own path is intact.
    std::optional<std::uint32_t> findChild(std::uint32_t storageId, std::u16string_view name) const;
    // Every stream reachable from the root through storages; nullopt on a broken tree.
    std::optional<std::vector<std::uint32_t>> reachableStreams() const;
    // Failure{} when the trees from the root reach every entry at most once, without loops or ids
    // past the directory; else "damaged compound file: a directory entry is out of range or the
    // directory tree loops". What a reader needs to trust that a name it does not find is absent
    // (findChild's descent misses every name past a broken link).
    Failure checkTreeLinks() const;
    // Failure{} when the directory is consistent: checkTreeLinks, each reached entry a stream or
    // a storage, and every entry not reached unallocated or a stream without siblings or child
    // (what an interrupted creation leaves). Else "damaged compound file: <what>".
    // An entry that a tree reaches is in use whatever its type byte says, so a writer that
    // took such an entry for a free one would cut the tree; writers refuse these directories.
    Failure checkTree() const;

    // --- Editing (in memory until written) ---

    // Sets a stream's (or the root's) starting sector and size.
    void setStreamLocation(std::uint32_t entryId, std::uint32_t startingSector, std::uint64_t streamSize);
    // The slot in `storageId`'s tree where a new name belongs (descend by the [MS-CFB] 2.6.4 name
    // order, attach at the leaf reached). nullopt when the tree loops or holds the name.
    std::optional<TreeSlot> insertionSlot(std::uint32_t storageId, std::u16string_view name) const;
    void link(const TreeSlot& slot, std::uint32_t newEntryId);
    // Fills an unallocated entry that no tree reaches as a black stream without siblings; returns
    // its id, adding a directory sector (all entries unallocated) when none is free. nullopt when
    // no sector can be allocated or the tree is broken (checkTree).
    std::optional<std::uint32_t> addStreamEntry(std::u16string_view name, Fat& fat);

    // --- Writing (cfb_stream_write.h decides the order) ---

    // Takes the directory as it is now as the image in which new entries and added sectors are
    // written before the switch: called after addStreamEntry, before any link into a tree, so
    // that a new entry on disk has no sibling until the switch (checkTree's lost new stream).
    void keepUnlinkedImage() { unlinkedRaw_ = raw_; }
    // The sectors (indexes into the chain) whose bytes in memory differ from that image: what the
    // switch has to write.
    std::vector<std::size_t> changedSectors() const;
    std::size_t sectorIndexOf(std::uint32_t entryId) const { return entryId / (sectors_->sectorSize() / kDirEntrySize); }
    // Writes, as keepUnlinkedImage() took them, the new entries in loaded sectors other than
    // `switchSector` (128 bytes each; in that sector they go with the switch) and the added
    // sectors (whole); after moveToNewChain, every sector of the copy whole, as it is now.
    // False on an I/O error.
    bool writeNewEntries(std::optional<std::size_t> switchSector);
    // Writes sector `index` of the chain whole, with every change made to it in memory, in one
    // write. False on an I/O error.
    bool writeSector(std::size_t index);
    // The FAT link that joins the added sectors to the loaded chain: (last loaded sector, first
    // added sector), or nullopt when no sector was added or the directory moved.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> pendingChainLink() const;
    // Copy-on-write of the whole directory: a new chain from `fat` (entries set in memory) takes
    // the place of the loaded sectors, the added ones following it, so that writeNewEntries()
    // writes a complete copy while the loaded chain stays as it is until the header's
    // firstDirSector names the copy. False when the FAT cannot allocate.
    bool moveToNewChain(Fat& fat);
    bool moved() const { return moved_; }
    std::uint32_t firstSector() const { return sectorIds_.front(); }
    // The chain the directory was loaded from (after moveToNewChain, the one to free).
    const std::vector<std::uint32_t>& loadedSectorIds() const { return loadedSectorIds_; }
    std::uint32_t sectorCount() const { return std::uint32_t(sectorIds_.size()); }

private:
    Directory(SectorFile& sectors, std::uint16_t majorVersion) : sectors_(&sectors), majorVersion_(majorVersion) {}
    // The children of a storage, marking each in `seen`; nullopt when one is seen twice.
    std::optional<std::vector<std::uint32_t>> collectChildren(std::uint32_t storageId, std::vector<bool>& seen) const;
    // Every entry reached from the root (the root included) through the trees of the entries
    // that are storages; nullopt when a tree loops, shares an entry or refers past the directory.
    std::optional<std::vector<bool>> reachedEntries() const;
    // The [MS-CFB] 2.6.4 descent by name order from a storage's child; nullopt when the name is
    // not on the path or the path leaves the directory or loops.
    std::optional<std::uint32_t> descendToChild(std::uint32_t storageId, std::u16string_view name) const;
    std::byte* entryBytes(std::uint32_t entryId) { return raw_.data() + std::size_t(entryId) * kDirEntrySize; }
    // One field of an entry below entryCount(), without decoding the rest (the tree walks read
    // only links and types).
    std::uint64_t fieldOf(std::uint32_t entryId, FieldAt field) const;

    SectorFile* sectors_;
    std::uint16_t majorVersion_;
    std::vector<std::byte> raw_;
    std::vector<std::byte> unlinkedRaw_;  // see keepUnlinkedImage
    std::vector<std::uint32_t> newEntryIds_;
    std::vector<std::uint32_t> sectorIds_;
    std::vector<std::uint32_t> loadedSectorIds_;
    bool moved_ = false;
};

}  // namespace quorvane::cfb

// SPDX-License-Identifier: Apache-2.0
#include "cfb/cfb_stream_write.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quorvane::cfb {
namespace {

struct Placement {
    std::uint32_t startingSector = kEndOfChain;
    bool mini = false;
    std::vector<std::uint32_t> chain;
};

Failure cannotGrow() { return Failure(FailureKind::Unsupported, "the compound file cannot grow by the sectors needed"); }

// Why the write sequence stopped: every write and sync of it goes through the sector file.
Failure writeFailure(CompoundFile& cf)
{
    const Failure& failure = cf.sectors().lastFailure();
    return failure.failed() ? failure : Failure::fromErrno(0);
}

// Where a stream of this size lives, and the chain it occupies now.
std::optional<Placement> currentPlacement(CompoundFile& cf, const DirEntry& entry)
{
    Placement placement;
    placement.startingSector = entry.startingSector;
    if (entry.streamSize == 0) return placement;
    placement.mini = entry.streamSize < cf.header().miniStreamCutoff;
    auto chain = placement.mini ? cf.miniStream().wholeChain(entry.startingSector) : cf.fat().wholeChain(entry.startingSector);
    if (!chain) return std::nullopt;
    placement.chain = std::move(*chain);
    return placement;
}

// Allocates (in memory) the chain the new data will occupy.
std::optional<Placement> allocatePlacement(CompoundFile& cf, std::size_t size)
{
    Placement placement;
    if (size == 0) return placement;
    placement.mini = size < cf.header().miniStreamCutoff;
    if (placement.mini) {
        auto chain = cf.miniStream().allocateChain((size + kMiniSectorSize - 1) / kMiniSectorSize, cf.fat());
        if (!chain) return std::nullopt;
        placement.chain = std::move(*chain);
    } else {
        const std::size_t sectorSize = cf.sectors().sectorSize();
        for (std::size_t i = 0; i < (size + sectorSize - 1) / sectorSize; ++i) {
            const auto sector = cf.fat().allocate(kEndOfChain);
            if (!sector) return std::nullopt;
            if (!placement.chain.empty()) cf.fat().setNext(placement.chain.back(), *sector);
            placement.chain.push_back(*sector);
        }
    }
    placement.startingSector = placement.chain.front();
    return placement;
}

// Writes `data` (or zeros, when `data` is empty) over a regular chain, one write per run of
// consecutive sectors, the last sector padded with zeros.
bool writeRegularChain(SectorFile& sectors, const std::vector<std::uint32_t>& chain, std::span<const std::byte> data)
{
    const std::size_t sectorSize = sectors.sectorSize();
    for (std::size_t first = 0; first < chain.size();) {
        std::size_t last = first;
        while (last + 1 < chain.size() && chain[last + 1] == chain[last] + 1) ++last;
        std::vector<std::byte> run((last - first + 1) * sectorSize, std::byte{0});
        const std::size_t from = first * sectorSize;
        if (from < data.size())
            std::copy_n(data.begin() + std::ptrdiff_t(from), std::min(run.size(), data.size() - from), run.begin());
        if (!sectors.write(chain[first], 0, run)) return false;
        first = last + 1;
    }
    return true;
}

// Zeros over what no stream's content holds but old bytes may linger in (left by a writer that
// does not clear what it frees or shortens): the free sectors, the unused mini sectors, and the
// room past each stream's end in its last sector or mini sector. Nothing reads these bytes, so
// any subset of these writes is harmless; only those not zero yet are written.
bool clearUnusedSpace(CompoundFile& cf)
{
    SectorFile& sectors = cf.sectors();
    for (const std::uint32_t id : cf.fat().freeSectorIds())
        if (!sectors.clear(id, 0, sectors.sectorSize())) return false;
    if (!cf.miniStream().clearUnused()) return false;
    for (const std::uint32_t id : cf.directory().reachableStreams().value_or(std::vector<std::uint32_t>{})) {
        const DirEntry entry = cf.directory().entry(id);
        if (entry.streamSize == 0) continue;
        const bool mini = entry.streamSize < cf.header().miniStreamCutoff;
        const std::size_t unit = mini ? kMiniSectorSize : sectors.sectorSize();
        const auto used = std::size_t((entry.streamSize - 1) % unit + 1);
        if (used == unit) continue;
        const std::size_t count = std::size_t((entry.streamSize - 1) / unit + 1);
        // checkAllocation found every chain whole; the switch only put new whole chains in.
        const auto chain = mini ? cf.miniStream().chainPrefix(entry.startingSector, count)
                                : cf.fat().chainPrefix(entry.startingSector, count);
        if (!chain) continue;
        if (!(mini ? cf.miniStream().clear(chain->back(), used) : sectors.clear(chain->back(), used, unit - used))) return false;
    }
    return true;
}

bool freeOldChain(CompoundFile& cf, const Placement& old)
{
    if (old.chain.empty()) return true;
    if (old.mini) return cf.miniStream().freeChain(old.chain) && cf.miniStream().flushMiniFat();
    if (!writeRegularChain(cf.sectors(), old.chain, {})) return false;
    for (const std::uint32_t sector : old.chain) cf.fat().setNext(sector, kFreeSect);
    return cf.fat().flushFatSectors();
}

// One stream of a write sequence: where its new data goes, where its old data was (none for a
// new stream), and its entry (a new stream's once it is added).
struct PlannedWrite {
    std::span<const std::byte> data;
    Placement placement;
    std::optional<Placement> old;
    std::optional<std::uint32_t> entryId;
    std::u16string newName;  // a new stream's only
};

// Step 1's data writes. The mini chains go out in one call, their data laid end to end at mini
// sector boundaries: a container sector new to the mini stream is written whole, so it must be
// written once with the pieces of every chain in it.
bool writeAllChainData(CompoundFile& cf, const std::vector<PlannedWrite>& plans)
{
    std::vector<std::uint32_t> miniChain;
    std::vector<std::byte> miniData;
    for (const PlannedWrite& plan : plans) {
        if (!plan.placement.mini) {
            if (!writeRegularChain(cf.sectors(), plan.placement.chain, plan.data)) return false;
            continue;
        }
        miniChain.insert(miniChain.end(), plan.placement.chain.begin(), plan.placement.chain.end());
        miniData.insert(miniData.end(), plan.data.begin(), plan.data.end());
        miniData.resize(miniChain.size() * kMiniSectorSize, std::byte{0});
    }
    return miniChain.empty() || cf.miniStream().writeChainData(miniChain, miniData);
}

// Step 1: everything nobody refers to yet, new entries not linked into any tree (or the whole
// directory copy).
bool writeUnreferenced(CompoundFile& cf, const std::vector<PlannedWrite>& plans, std::optional<std::size_t> switchSector)
{
    return writeAllChainData(cf, plans) && cf.directory().writeNewEntries(switchSector) && cf.miniStream().flushMiniFat() &&
           cf.fat().flushFatSectors() && cf.sectors().sync();
}

// Step 2: the links that lengthen the loaded MiniFAT, container and directory chains, and the
// DIFAT sectors that list new FAT sectors; each points only at what step 1 made durable.
bool writeLinks(CompoundFile& cf)
{
    Fat& fat = cf.fat();
    cf.miniStream().applyChainLinks(fat);
    if (const auto link = cf.directory().pendingChainLink()) fat.setNext(link->first, link->second);
    return fat.flushFatSectors() && fat.flushChangedDifatSectors() && cf.sectors().sync();
}

// The header fields the write changes: the FAT's and the MiniFAT's sector lists after growth,
// and the directory's first sector and (version 4) its sector count.
Header headerAfterWrite(CompoundFile& cf)
{
    Header header = cf.header();
    const Directory& directory = cf.directory();
    if (cf.fat().fatSectorIds().size() != header.numFatSectors) cf.fat().storeInHeader(header);
    if (cf.miniStream().miniFatSectorIds().size() != header.numMiniFatSectors) cf.miniStream().storeInHeader(header);
    if (directory.moved()) header.firstDirSector = directory.firstSector();
    const bool directoryGrew = directory.sectorCount() != directory.loadedSectorIds().size();
    if (header.majorVersion == 4 && (directory.moved() || directoryGrew)) header.numDirSectors = directory.sectorCount();
    return header;
}

// Step 4: what the switch left behind. Cut anywhere, it leaves used sectors that nothing refers
// to, some of them zeroed. No sync of its own: whichever of its writes reach the disk, the file
// holds the same streams, and the next write sequence on the file makes them durable with its
// own first sync.
bool cleanUp(CompoundFile& cf, const std::vector<PlannedWrite>& plans)
{
    if (!clearUnusedSpace(cf)) return false;
    for (const PlannedWrite& plan : plans)
        if (plan.old && !freeOldChain(cf, *plan.old)) return false;
    if (!cf.directory().moved()) return true;
    Placement oldDirectory;
    oldDirectory.chain = cf.directory().loadedSectorIds();
    return freeOldChain(cf, oldDirectory);
}

// The write order of the header comment, for every planned stream at once. `switchSector` is the
// one directory sector that changes, when the directory is not moved. Until the switch is written
// the sector file journals what each write covers, so that a failure puts every byte back.
Failure writeSequence(CompoundFile& cf, const std::vector<PlannedWrite>& plans, std::optional<std::size_t> switchSector)
{
    SectorFile& sectors = cf.sectors();
    Directory& directory = cf.directory();
    const Header header = headerAfterWrite(cf);
    std::array<std::byte, kHeaderSize> rawHeader = cf.rawHeader();
    storeHeader(header, rawHeader);
    const bool headerChanged = rawHeader != cf.rawHeader();

    sectors.beginJournal();
    bool switched = writeUnreferenced(cf, plans, switchSector) && writeLinks(cf);
    if (switched && directory.moved()) {
        switched = sectors.writeHeader(rawHeader);
    } else if (switched) {
        // Step 3 (a): the counts first, durable before the sector that makes readers use them.
        switched = (!headerChanged || (sectors.writeHeader(rawHeader) && sectors.sync())) &&
                   (!switchSector || directory.writeSector(*switchSector));
    }
    if (!switched) {
        // The first fault is the one reported. Should putting the bytes back fail too, the file
        // is left as a crash of the forward writes could have left it: the old streams.
        const Failure failure = writeFailure(cf);
        static_cast<void>(sectors.rollBack());
        return failure;
    }
    sectors.endJournal();
    cf.header() = header;
    cf.rawHeader() = rawHeader;
    // From here on the new streams stand; a failure is reported, not undone.
    if (!sectors.sync() || !cleanUp(cf, plans)) return writeFailure(cf);
    return {};
}

}  // namespace

Failure writeStreams(CompoundFile& cf, std::span<const StreamWrite> writes)
{
    if (Failure unsound = cf.checkAllocation(); unsound.failed()) return unsound;
    Directory& directory = cf.directory();
    std::vector<PlannedWrite> plans(writes.size());
    // The old placements, and a refusal of a new name, first: nothing allocated yet.
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const StreamWrite& write = writes[i];
        plans[i].data = write.data;
        if (write.entryId) {
            const DirEntry entry = directory.entry(*write.entryId);
            if (!entry.isStream()) return Failure(FailureKind::NotFound, "no such stream");
            for (std::size_t j = 0; j < i; ++j)
                if (writes[j].entryId == write.entryId) return Failure(FailureKind::Unsupported, "a stream is written twice");
            plans[i].entryId = write.entryId;
            plans[i].old = currentPlacement(cf, entry);
            if (!plans[i].old) return damagedCompoundFile("the chain of the stream is broken");
            continue;
        }
        if (write.name.empty() || write.name.size() > kMaxNameUnits)
            return Failure(FailureKind::Unsupported, "a stream name must have 1 to 31 characters");
        for (std::size_t j = 0; j < i; ++j)
            if (!writes[j].entryId && compareNames(writes[j].name, write.name) == 0)
                return Failure(FailureKind::Unsupported, "a stream is written twice");
        if (!directory.insertionSlot(kRootEntryId, write.name))
            return damagedCompoundFile("the root storage's tree loops or already holds the name");
        plans[i].newName = write.name;
    }
    for (PlannedWrite& plan : plans) {
        auto placement = allocatePlacement(cf, plan.data.size());
        if (!placement) return cannotGrow();
        plan.placement = std::move(*placement);
        if (plan.entryId) continue;
        plan.entryId = directory.addStreamEntry(plan.newName, cf.fat());
        if (!plan.entryId) return cannotGrow();
        directory.setStreamLocation(*plan.entryId, plan.placement.startingSector, plan.data.size());
    }
    directory.keepUnlinkedImage();
    // The switch's changes, in memory: each stream's location, each new stream's link (a later new
    // name may hang below an earlier one), the root.
    for (const PlannedWrite& plan : plans) {
        if (plan.old) {
            directory.setStreamLocation(*plan.entryId, plan.placement.startingSector, plan.data.size());
            continue;
        }
        // checkAllocation found the tree sound and the names are new and distinct: a slot exists.
        const auto slot = directory.insertionSlot(kRootEntryId, plan.newName);
        if (!slot) return damagedCompoundFile("the root storage's tree loops or already holds the name");
        directory.link(*slot, *plan.entryId);
    }
    const MiniStream& mini = cf.miniStream();
    if (mini.rootChanged()) directory.setStreamLocation(kRootEntryId, mini.rootStartingSector(), mini.rootSize());
    // One changed sector is the switch itself; spread over several, the directory is copied and
    // the header is the switch.
    const std::vector<std::size_t> changed = directory.changedSectors();
    std::optional<std::size_t> switchSector;
    if (changed.size() == 1) switchSector = changed.front();
    if (changed.size() > 1 && !directory.moveToNewChain(cf.fat())) return cannotGrow();
    return writeSequence(cf, plans, switchSector);
}

}  // namespace quorvane::cfb

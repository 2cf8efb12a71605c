#include "cfb/cfb_stream_write.h"

#include <algorithm>
#include <functional>
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

bool writeChainData(CompoundFile& cf, const Placement& placement, std::span<const std::byte> data)
{
    return placement.mini ? cf.miniStream().writeChainData(placement.chain, data)
                          : writeRegularChain(cf.sectors(), placement.chain, data);
}

// Steps 2 and 3 of the write order: chain links and header, then the root entry.
bool linkStructures(CompoundFile& cf, std::uint32_t fatSectorsBefore)
{
    Fat& fat = cf.fat();
    MiniStream& mini = cf.miniStream();
    Directory& directory = cf.directory();
    mini.applyChainLinks(fat);
    if (const auto link = directory.pendingChainLink()) fat.setNext(link->first, link->second);
    Header header = cf.header();
    if (fat.fatSectorIds().size() != fatSectorsBefore) fat.storeInHeader(header);
    if (mini.miniFatSectorIds().size() != cf.header().numMiniFatSectors) mini.storeInHeader(header);
    if (header.majorVersion == 4 && directory.pendingChainLink()) header.numDirSectors = directory.sectorCount();
    std::array<std::byte, kHeaderSize> raw = cf.rawHeader();
    storeHeader(header, raw);
    const bool headerChanged = raw != cf.rawHeader();
    // The links first, durable before the header counts that make readers follow them.
    if (!fat.flushFatSectors() || !fat.flushChangedDifatSectors() || !cf.sectors().sync()) return false;
    if (headerChanged && !cf.sectors().writeHeader(raw)) return false;
    if (!cf.sectors().sync()) return false;
    cf.header() = header;
    cf.rawHeader() = raw;

    if (!mini.rootChanged()) return true;
    directory.setStreamLocation(kRootEntryId, mini.rootStartingSector(), mini.rootSize());
    return directory.writeEntry(kRootEntryId) && cf.sectors().sync();
}

bool freeOldChain(CompoundFile& cf, const Placement& old)
{
    if (old.chain.empty()) return true;
    if (old.mini) {
        if (!cf.miniStream().freeChain(old.chain) || !cf.miniStream().flushMiniFat()) return false;
    } else {
        if (!writeRegularChain(cf.sectors(), old.chain, {})) return false;
        for (const std::uint32_t sector : old.chain) cf.fat().setNext(sector, kFreeSect);
        if (!cf.fat().flushFatSectors()) return false;
    }
    return cf.sectors().sync();
}

// The write order of the header comment. `contentWrites` are the step-1 writes besides the data
// (a new directory entry), `switchWrite` is the step-4 write.
bool writeSequence(CompoundFile& cf, std::span<const std::byte> data, const Placement* old,
                   const std::function<bool()>& contentWrites, const std::function<bool()>& switchWrite,
                   const Placement& placement, std::uint32_t fatSectorsBefore)
{
    // Step 1: data first, then the tables that mark it used.
    if (!writeChainData(cf, placement, data) || !contentWrites() || !cf.miniStream().flushMiniFat() ||
        !cf.fat().flushFatSectors() || !cf.sectors().sync())
        return false;
    if (!linkStructures(cf, fatSectorsBefore)) return false;  // steps 2 and 3
    if (!switchWrite() || !cf.sectors().sync()) return false;  // step 4
    return old == nullptr || freeOldChain(cf, *old);            // step 5
}

}  // namespace

Failure replaceStream(CompoundFile& cf, std::uint32_t entryId, std::span<const std::byte> data)
{
    if (Failure unsound = cf.checkAllocation(); unsound.failed()) return unsound;
    const DirEntry entry = cf.directory().entry(entryId);
    if (!entry.isStream()) return Failure(FailureKind::NotFound, "no such stream");
    const auto old = currentPlacement(cf, entry);
    if (!old) return damagedCompoundFile("the chain of the stream is broken");
    const std::uint32_t fatSectorsBefore = std::uint32_t(cf.fat().fatSectorIds().size());
    const auto placement = allocatePlacement(cf, data.size());
    if (!placement) return cannotGrow();
    const bool written = writeSequence(
        cf, data, &*old, [] { return true; },
        [&] {
            cf.directory().setStreamLocation(entryId, placement->startingSector, data.size());
            return cf.directory().writeEntry(entryId);
        },
        *placement, fatSectorsBefore);
    return written ? Failure{} : writeFailure(cf);
}

Failure createRootStream(CompoundFile& cf, std::u16string_view name, std::span<const std::byte> data)
{
    if (Failure unsound = cf.checkAllocation(); unsound.failed()) return unsound;
    if (name.empty() || name.size() > kMaxNameUnits)
        return Failure(FailureKind::Unsupported, "a stream name must have 1 to 31 characters");
    Directory& directory = cf.directory();
    const auto slot = directory.insertionSlot(kRootEntryId, name);
    if (!slot) return damagedCompoundFile("the root storage's tree loops or already holds the name");
    const std::uint32_t fatSectorsBefore = std::uint32_t(cf.fat().fatSectorIds().size());
    const auto placement = allocatePlacement(cf, data.size());
    if (!placement) return cannotGrow();
    const auto entryId = directory.addStreamEntry(name, cf.fat());
    if (!entryId) return cannotGrow();
    directory.setStreamLocation(*entryId, placement->startingSector, data.size());
    const bool written = writeSequence(
        cf, data, nullptr,
        [&] { return directory.writeAddedSectors() && directory.writeEntry(*entryId); },
        [&] {
            directory.link(*slot, *entryId);
            return directory.writeEntry(slot->entryId);
        },
        *placement, fatSectorsBefore);
    return written ? Failure{} : writeFailure(cf);
}

}  // namespace quorvane::cfb

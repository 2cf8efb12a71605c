#include "cfb/cfb_directory.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace quorvane::cfb {
namespace {

char16_t upper(char16_t unit) { return unit >= u'a' && unit <= u'z' ? char16_t(unit - 32) : unit; }

// An unallocated entry: all zero but for the three NOSTREAM links (OpenMCDF PR #78).
void clearEntry(std::span<std::byte> entry)
{
    std::fill(entry.begin(), entry.end(), std::byte{0});
    patchLittle(entry, 0x44, kNoStream, 4);
    patchLittle(entry, 0x48, kNoStream, 4);
    patchLittle(entry, 0x4C, kNoStream, 4);
}

}  // namespace

int compareNames(std::u16string_view left, std::u16string_view right)
{
    if (left.size() != right.size()) return left.size() < right.size() ? -1 : 1;
    for (std::size_t i = 0; i < left.size(); ++i) {
        const char16_t a = upper(left[i]), b = upper(right[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    return 0;
}

std::optional<Directory> Directory::load(SectorFile& sectors, const Fat& fat, const Header& header, Fault* fault)
{
    *fault = Fault::Corrupt;
    auto chain = fat.wholeChain(header.firstDirSector);
    if (!chain || chain->empty()) return std::nullopt;
    Directory directory(sectors, header.majorVersion);
    directory.sectorIds_ = std::move(*chain);
    directory.loadedSectorCount_ = directory.sectorIds_.size();
    const std::size_t sectorSize = sectors.sectorSize();
    directory.raw_.resize(directory.sectorIds_.size() * sectorSize);
    for (std::size_t i = 0; i < directory.sectorIds_.size(); ++i) {
        if (!sectors.read(directory.sectorIds_[i], std::span<std::byte>(directory.raw_).subspan(i * sectorSize, sectorSize))) {
            *fault = Fault::Io;
            return std::nullopt;
        }
    }
    if (directory.entry(kRootEntryId).objectType != std::uint8_t(ObjectType::Root)) return std::nullopt;
    *fault = Fault::None;
    return directory;
}

DirEntry Directory::entry(std::uint32_t entryId) const
{
    DirEntry e;
    if (entryId >= entryCount()) return e;
    ByteReader r{std::span<const std::byte>(raw_).subspan(std::size_t(entryId) * kDirEntrySize, kDirEntrySize)};
    std::u16string name;
    for (int i = 0; i < 32; ++i) name.push_back(char16_t(r.u16()));
    const std::uint16_t nameLength = r.u16();
    // The length field counts bytes with the NUL; a broken one falls back to the first NUL.
    std::size_t units = nameLength >= 2 && nameLength <= 64 && nameLength % 2 == 0 ? nameLength / 2u - 1 : 32;
    units = std::min(units, name.find(u'\0') == std::u16string::npos ? name.size() : name.find(u'\0'));
    e.name = name.substr(0, units);
    e.objectType = r.u8();
    e.colorFlag = r.u8();
    e.leftSiblingId = r.u32();
    e.rightSiblingId = r.u32();
    e.childId = r.u32();
    r.skip(16 + 4 + 8 + 8);  // CLSID, state bits, creation and modified times
    e.startingSector = r.u32();
    e.streamSize = r.u64();
    if (majorVersion_ == 3) e.streamSize &= 0xFFFFFFFF;
    return e;
}

std::optional<std::vector<std::uint32_t>> Directory::childrenOf(std::uint32_t storageId) const
{
    std::vector<bool> seen(entryCount(), false);
    return collectChildren(storageId, seen);
}

std::optional<std::vector<std::uint32_t>> Directory::collectChildren(std::uint32_t storageId, std::vector<bool>& seen) const
{
    std::vector<std::uint32_t> children;
    std::vector<std::uint32_t> pending;
    if (const std::uint32_t child = entry(storageId).childId; child != kNoStream) pending.push_back(child);
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id >= entryCount() || seen[id] || id == storageId) return std::nullopt;
        seen[id] = true;
        children.push_back(id);
        const DirEntry e = entry(id);
        if (e.leftSiblingId != kNoStream) pending.push_back(e.leftSiblingId);
        if (e.rightSiblingId != kNoStream) pending.push_back(e.rightSiblingId);
    }
    return children;
}

std::optional<std::uint32_t> Directory::findChild(std::uint32_t storageId, std::u16string_view name) const
{
    const auto children = childrenOf(storageId);
    if (!children) return std::nullopt;
    for (const std::uint32_t id : *children)
        if (compareNames(entry(id).name, name) == 0) return id;
    return std::nullopt;
}

std::optional<std::vector<std::uint32_t>> Directory::reachableStreams() const
{
    // One visited set for the whole walk: an entry belongs to one tree only, so the walk is
    // linear in the number of entries however many storages there are.
    std::vector<bool> seen(entryCount(), false);
    seen[kRootEntryId] = true;
    std::vector<std::uint32_t> streams;
    std::vector<std::uint32_t> storages{kRootEntryId};
    while (!storages.empty()) {
        const std::uint32_t storage = storages.back();
        storages.pop_back();
        const auto children = collectChildren(storage, seen);
        if (!children) return std::nullopt;
        for (const std::uint32_t id : *children) {
            const DirEntry e = entry(id);
            if (e.isStream()) streams.push_back(id);
            else if (e.isStorage()) storages.push_back(id);
        }
    }
    return streams;
}

void Directory::setStreamLocation(std::uint32_t entryId, std::uint32_t startingSector, std::uint64_t streamSize)
{
    const std::span<std::byte> bytes(entryBytes(entryId), kDirEntrySize);
    patchLittle(bytes, 0x74, startingSector, 4);
    if (majorVersion_ == 3) patchLittle(bytes, 0x78, streamSize, 4);  // the high half is left as it was
    else patchLittle(bytes, 0x78, streamSize, 8);
}

std::optional<TreeSlot> Directory::insertionSlot(std::uint32_t storageId, std::u16string_view name) const
{
    std::uint32_t current = entry(storageId).childId;
    if (current == kNoStream) return TreeSlot{storageId, TreeSlot::Field::Child};
    std::vector<bool> seen(entryCount(), false);
    for (;;) {
        if (current >= entryCount() || seen[current]) return std::nullopt;
        seen[current] = true;
        const DirEntry e = entry(current);
        const int order = compareNames(name, e.name);
        if (order == 0) return std::nullopt;
        const std::uint32_t next = order < 0 ? e.leftSiblingId : e.rightSiblingId;
        if (next == kNoStream) return TreeSlot{current, order < 0 ? TreeSlot::Field::Left : TreeSlot::Field::Right};
        current = next;
    }
}

void Directory::link(const TreeSlot& slot, std::uint32_t newEntryId)
{
    const std::size_t offset = slot.field == TreeSlot::Field::Left ? 0x44 : slot.field == TreeSlot::Field::Right ? 0x48 : 0x4C;
    patchLittle(std::span(entryBytes(slot.entryId), kDirEntrySize), offset, newEntryId, 4);
}

std::optional<std::uint32_t> Directory::addStreamEntry(std::u16string_view name, Fat& fat)
{
    std::uint32_t id = 0;
    while (id < entryCount() && entry(id).objectType != std::uint8_t(ObjectType::Unallocated)) ++id;
    if (id == entryCount()) {
        const auto sector = fat.allocate(kEndOfChain);
        if (!sector) return std::nullopt;
        // A new sector's predecessor is linked now only when it is itself new; the link from
        // the loaded chain is the caller's to write (pendingChainLink), after the sector.
        if (sectorIds_.size() > loadedSectorCount_) fat.setNext(sectorIds_.back(), *sector);
        sectorIds_.push_back(*sector);
        const std::size_t oldSize = raw_.size();
        raw_.resize(oldSize + sectors_->sectorSize());
        for (std::size_t at = oldSize; at < raw_.size(); at += kDirEntrySize)
            clearEntry(std::span(raw_).subspan(at, kDirEntrySize));
    }
    const std::span<std::byte> bytes(entryBytes(id), kDirEntrySize);
    clearEntry(bytes);
    for (std::size_t i = 0; i < name.size() && i < kMaxNameUnits; ++i) patchLittle(bytes, 2 * i, name[i], 2);
    patchLittle(bytes, 0x40, (std::min(name.size(), kMaxNameUnits) + 1) * 2, 2);
    patchLittle(bytes, 0x42, std::uint8_t(ObjectType::Stream), 1);
    patchLittle(bytes, 0x43, 1, 1);  // black: never makes a red pair (formats.md 1.7)
    patchLittle(bytes, 0x74, kEndOfChain, 4);
    return id;
}

bool Directory::writeEntry(std::uint32_t entryId)
{
    const std::size_t perSector = sectors_->sectorSize() / kDirEntrySize;
    return sectors_->write(sectorIds_[entryId / perSector], (entryId % perSector) * kDirEntrySize,
                           std::span(raw_).subspan(std::size_t(entryId) * kDirEntrySize, kDirEntrySize));
}

bool Directory::writeAddedSectors()
{
    const std::size_t sectorSize = sectors_->sectorSize();
    for (std::size_t i = loadedSectorCount_; i < sectorIds_.size(); ++i)
        if (!sectors_->write(sectorIds_[i], 0, std::span(raw_).subspan(i * sectorSize, sectorSize))) return false;
    return true;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> Directory::pendingChainLink() const
{
    if (sectorIds_.size() == loadedSectorCount_) return std::nullopt;
    return std::pair{sectorIds_[loadedSectorCount_ - 1], sectorIds_[loadedSectorCount_]};
}

}  // namespace quorvane::cfb

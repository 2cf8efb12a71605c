// SPDX-License-Identifier: Apache-2.0
#include "cfb/cfb_directory.h"

#include <algorithm>
#include <cassert>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace quorvane::cfb {
namespace {

char16_t upper(char16_t unit) { return unit >= u'a' && unit <= u'z' ? char16_t(unit - 32) : unit; }

// An unallocated entry: all zero but for the three NOSTREAM links ([MS-CFB] 2.6; OpenMCDF PR #78).
void clearEntry(std::span<std::byte> entry)
{
    std::fill(entry.begin(), entry.end(), std::byte{0});
    storeField(entry, entry_field::kLeftSiblingId, kNoStream);
    storeField(entry, entry_field::kRightSiblingId, kNoStream);
    storeField(entry, entry_field::kChildId, kNoStream);
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

Result<Directory> Directory::load(SectorFile& sectors, const Fat& fat, const Header& header)
{
    auto chain = fat.wholeChain(header.firstDirSector);
    if (!chain) return damagedCompoundFile("the FAT chain of the directory is broken or loops");
    if (chain->empty()) return damagedCompoundFile("the directory has no sector");
    Directory directory(sectors, header.majorVersion);
    directory.sectorIds_ = std::move(*chain);
    directory.loadedSectorIds_ = directory.sectorIds_;
    const std::size_t sectorSize = sectors.sectorSize();
    directory.raw_.resize(directory.sectorIds_.size() * sectorSize);
    if (!sectors.readChain(directory.sectorIds_, directory.raw_)) return sectors.lastFailure();
    directory.unlinkedRaw_ = directory.raw_;
    if (directory.entry(kRootEntryId).objectType != std::uint8_t(ObjectType::Root))
        return damagedCompoundFile("directory entry 0 is not the root storage");
    return directory;
}

DirEntry Directory::entry(std::uint32_t entryId) const
{
    DirEntry e;
    if (entryId >= entryCount()) return e;
    using namespace entry_field;
    ByteReader r{std::span<const std::byte>(raw_).subspan(std::size_t(entryId) * kDirEntrySize, kDirEntrySize)};
    const auto nameLength = std::uint16_t(readField(r, kNameLength));
    // The length field counts bytes with the NUL; a broken one falls back to the first NUL.
    const std::size_t units = nameLength >= 2 && nameLength <= kNameBytes && nameLength % 2 == 0 ? nameLength / 2u - 1 : kNameBytes / 2;
    r.seek(kNameOffset);
    for (std::size_t i = 0; i < units; ++i) {
        const auto unit = char16_t(r.u16());
        if (unit == u'\0') break;
        e.name.push_back(unit);
    }
    e.objectType = std::uint8_t(readField(r, kObjectType));
    e.colorFlag = std::uint8_t(readField(r, kColorFlag));
    e.leftSiblingId = std::uint32_t(readField(r, kLeftSiblingId));
    e.rightSiblingId = std::uint32_t(readField(r, kRightSiblingId));
    e.childId = std::uint32_t(readField(r, kChildId));
    e.startingSector = std::uint32_t(readField(r, kStartingSector));
    e.streamSize = readField(r, kStreamSize);
    if (majorVersion_ == 3) e.streamSize &= 0xFFFFFFFF;
    return e;
}

std::uint64_t Directory::fieldOf(std::uint32_t entryId, FieldAt field) const
{
    ByteReader r{std::span<const std::byte>(raw_).subspan(std::size_t(entryId) * kDirEntrySize, kDirEntrySize)};
    return readField(r, field);
}

std::optional<std::vector<std::uint32_t>> Directory::childrenOf(std::uint32_t storageId) const
{
    std::vector<bool> seen(entryCount(), false);
    return collectChildren(storageId, seen);
}

std::optional<std::vector<std::uint32_t>> Directory::collectChildren(std::uint32_t storageId, std::vector<bool>& seen) const
{
    using namespace entry_field;
    std::vector<std::uint32_t> children;
    std::vector<std::uint32_t> pending;
    if (storageId >= entryCount()) return children;
    if (const auto child = std::uint32_t(fieldOf(storageId, kChildId)); child != kNoStream) pending.push_back(child);
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id >= entryCount() || seen[id] || id == storageId) return std::nullopt;
        seen[id] = true;
        children.push_back(id);
        if (const auto left = std::uint32_t(fieldOf(id, kLeftSiblingId)); left != kNoStream) pending.push_back(left);
        if (const auto right = std::uint32_t(fieldOf(id, kRightSiblingId)); right != kNoStream) pending.push_back(right);
    }
    return children;
}

std::optional<std::uint32_t> Directory::findChild(std::uint32_t storageId, std::u16string_view name) const
{
    const auto children = childrenOf(storageId);
    if (!children) return descendToChild(storageId, name);
    for (const std::uint32_t id : *children)
        if (compareNames(entry(id).name, name) == 0) return id;
    return std::nullopt;
}

std::optional<std::uint32_t> Directory::descendToChild(std::uint32_t storageId, std::u16string_view name) const
{
    std::vector<bool> seen(entryCount(), false);
    seen[storageId] = true;
    for (std::uint32_t current = entry(storageId).childId; current != kNoStream;) {
        if (current >= entryCount() || seen[current]) return std::nullopt;
        seen[current] = true;
        const DirEntry e = entry(current);
        const int order = compareNames(name, e.name);
        if (order == 0) return current;
        current = order < 0 ? e.leftSiblingId : e.rightSiblingId;
    }
    return std::nullopt;
}

std::optional<std::vector<bool>> Directory::reachedEntries() const
{
    // One visited set for the whole walk: an entry belongs to one tree only, so the walk is
    // linear in the number of entries however many storages there are.
    std::vector<bool> seen(entryCount(), false);
    seen[kRootEntryId] = true;
    std::vector<std::uint32_t> storages{kRootEntryId};
    while (!storages.empty()) {
        const std::uint32_t storage = storages.back();
        storages.pop_back();
        const auto children = collectChildren(storage, seen);
        if (!children) return std::nullopt;
        for (const std::uint32_t id : *children)
            if (isStorageType(std::uint8_t(fieldOf(id, entry_field::kObjectType)))) storages.push_back(id);
    }
    return seen;
}

std::optional<std::vector<std::uint32_t>> Directory::reachableStreams() const
{
    const auto reached = reachedEntries();
    if (!reached) return std::nullopt;
    std::vector<std::uint32_t> streams;
    for (std::uint32_t id = 0; id < entryCount(); ++id)
        if ((*reached)[id] && fieldOf(id, entry_field::kObjectType) == std::uint8_t(ObjectType::Stream)) streams.push_back(id);
    return streams;
}

Failure Directory::checkTreeLinks() const
{
    if (!reachedEntries()) return damagedCompoundFile("a directory entry is out of range or the directory tree loops");
    return {};
}

Failure Directory::checkTree() const
{
    const auto reached = reachedEntries();
    if (!reached) return checkTreeLinks();
    for (std::uint32_t id = 1; id < entryCount(); ++id) {
        const auto type = std::uint8_t(fieldOf(id, entry_field::kObjectType));
        const bool free = type == std::uint8_t(ObjectType::Unallocated);
        const bool streamOrStorage = type == std::uint8_t(ObjectType::Stream) || type == std::uint8_t(ObjectType::Storage);
        if ((*reached)[id] && free) return damagedCompoundFile("a directory entry marked free is in the directory tree");
        if ((*reached)[id] && !streamOrStorage) return damagedCompoundFile("a directory entry of unknown type is in the directory tree");
        // An interrupted creation (cfb_stream_write.h, steps 1-3) leaves the new stream's entry
        // written but not linked: a stream without siblings or child, lost like its sectors. Any
        // other unreachable entry means a tree was cut.
        if ((*reached)[id] || free) continue;
        const DirEntry e = entry(id);
        const bool lostNewStream = e.isStream() && e.leftSiblingId == kNoStream && e.rightSiblingId == kNoStream &&
                                   e.childId == kNoStream;
        if (!lostNewStream) return damagedCompoundFile("a directory entry in use is unreachable from the root");
    }
    return {};
}

void Directory::setStreamLocation(std::uint32_t entryId, std::uint32_t startingSector, std::uint64_t streamSize)
{
    const std::span<std::byte> bytes(entryBytes(entryId), kDirEntrySize);
    storeField(bytes, entry_field::kStartingSector, startingSector);
    storeField(bytes, majorVersion_ == 3 ? entry_field::kStreamSizeV3 : entry_field::kStreamSize, streamSize);
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
    const FieldAt field = slot.field == TreeSlot::Field::Left    ? entry_field::kLeftSiblingId
                          : slot.field == TreeSlot::Field::Right ? entry_field::kRightSiblingId
                                                                 : entry_field::kChildId;
    storeField(std::span(entryBytes(slot.entryId), kDirEntrySize), field, newEntryId);
}

std::optional<std::uint32_t> Directory::addStreamEntry(std::u16string_view name, Fat& fat)
{
    // A tree may still reach an entry whose type byte says unallocated; that entry is in use.
    const auto reached = reachedEntries();
    if (!reached) return std::nullopt;
    std::uint32_t id = 0;
    while (id < entryCount() && ((*reached)[id] || entry(id).objectType != std::uint8_t(ObjectType::Unallocated))) ++id;
    if (id == entryCount()) {
        const auto sector = fat.allocate(kEndOfChain);
        if (!sector) return std::nullopt;
        // A new sector's predecessor is linked now only when it is itself new; the link from
        // the loaded chain is the caller's to write (pendingChainLink), after the sector.
        if (sectorIds_.size() > loadedSectorIds_.size()) fat.setNext(sectorIds_.back(), *sector);
        sectorIds_.push_back(*sector);
        const std::size_t oldSize = raw_.size();
        raw_.resize(oldSize + sectors_->sectorSize());
        for (std::size_t at = oldSize; at < raw_.size(); at += kDirEntrySize)
            clearEntry(std::span(raw_).subspan(at, kDirEntrySize));
    }
    const std::span<std::byte> bytes(entryBytes(id), kDirEntrySize);
    clearEntry(bytes);
    for (std::size_t i = 0; i < name.size() && i < kMaxNameUnits; ++i)
        storeField(bytes, {entry_field::kNameOffset + 2 * i, 2}, name[i]);
    storeField(bytes, entry_field::kNameLength, (std::min(name.size(), kMaxNameUnits) + 1) * 2);
    storeField(bytes, entry_field::kObjectType, std::uint8_t(ObjectType::Stream));
    storeField(bytes, entry_field::kColorFlag, 1);  // black: never makes two reds adjacent ([MS-CFB] 2.6.4)
    storeField(bytes, entry_field::kStartingSector, kEndOfChain);
    newEntryIds_.push_back(id);
    return id;
}

std::vector<std::size_t> Directory::changedSectors() const
{
    assert(unlinkedRaw_.size() == raw_.size());  // keepUnlinkedImage() came after the last addStreamEntry
    const std::size_t sectorSize = sectors_->sectorSize();
    std::vector<std::size_t> changed;
    for (std::size_t index = 0; index < sectorIds_.size(); ++index) {
        const auto from = std::ptrdiff_t(index * sectorSize), to = std::ptrdiff_t((index + 1) * sectorSize);
        if (!std::equal(raw_.begin() + from, raw_.begin() + to, unlinkedRaw_.begin() + from)) changed.push_back(index);
    }
    return changed;
}

bool Directory::writeNewEntries(std::optional<std::size_t> switchSector)
{
    const std::size_t sectorSize = sectors_->sectorSize();
    if (moved_) {
        for (std::size_t index = 0; index < sectorIds_.size(); ++index)
            if (!writeSector(index)) return false;
        return true;
    }
    const std::span<const std::byte> unlinked(unlinkedRaw_);
    for (const std::uint32_t id : newEntryIds_) {
        const std::size_t index = sectorIndexOf(id);
        if (index >= loadedSectorIds_.size() || index == switchSector) continue;
        if (!sectors_->write(sectorIds_[index], std::size_t(id) * kDirEntrySize - index * sectorSize,
                             unlinked.subspan(std::size_t(id) * kDirEntrySize, kDirEntrySize)))
            return false;
    }
    for (std::size_t index = loadedSectorIds_.size(); index < sectorIds_.size(); ++index)
        if (!sectors_->write(sectorIds_[index], 0, unlinked.subspan(index * sectorSize, sectorSize))) return false;
    return true;
}

bool Directory::writeSector(std::size_t index)
{
    const std::size_t sectorSize = sectors_->sectorSize();
    return sectors_->write(sectorIds_[index], 0, std::span(raw_).subspan(index * sectorSize, sectorSize));
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> Directory::pendingChainLink() const
{
    if (moved_ || sectorIds_.size() == loadedSectorIds_.size()) return std::nullopt;
    return std::pair{loadedSectorIds_.back(), sectorIds_[loadedSectorIds_.size()]};
}

bool Directory::moveToNewChain(Fat& fat)
{
    assert(!moved_);
    std::vector<std::uint32_t> copyIds;
    for (std::size_t i = 0; i < loadedSectorIds_.size(); ++i) {
        const auto sector = fat.allocate(kEndOfChain);
        if (!sector) return false;
        if (!copyIds.empty()) fat.setNext(copyIds.back(), *sector);
        copyIds.push_back(*sector);
    }
    // The added sectors are chained among themselves already; the copy's last sector leads to them.
    if (sectorIds_.size() > copyIds.size()) fat.setNext(copyIds.back(), sectorIds_[copyIds.size()]);
    std::copy(copyIds.begin(), copyIds.end(), sectorIds_.begin());
    moved_ = true;
    return true;
}

}  // namespace quorvane::cfb

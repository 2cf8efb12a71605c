// SPDX-License-Identifier: Apache-2.0
#include "cfb/cfb_compound_file.h"

#include <algorithm>
#include <cassert>
#include <cerrno>

namespace quorvane::cfb {
namespace {

std::uint64_t sectorsFor(std::uint64_t bytes, std::uint64_t sectorSize) { return (bytes + sectorSize - 1) / sectorSize; }

}  // namespace

Result<CompoundFile> CompoundFile::open(RandomAccessFile& file)
{
    const auto length = file.size();
    if (!length) return Failure::fromErrno(errno);
    if (*length < kHeaderSize) return damagedCompoundFile("shorter than its 512-byte header");
    CompoundFile cf;
    if (!file.readAt(0, cf.rawHeader_)) return Failure::fromErrno(errno);
    auto header = parseHeader(cf.rawHeader_);
    if (!header.ok()) return header.failure();
    cf.header_ = *header;
    cf.sectors_ = std::make_unique<SectorFile>(file, header->sectorShift, *length);
    auto fat = Fat::load(*cf.sectors_, cf.header_);
    if (!fat.ok()) return fat.failure();
    cf.fat_ = std::move(fat).value();
    auto directory = Directory::load(*cf.sectors_, *cf.fat_, cf.header_);
    if (!directory.ok()) return directory.failure();
    cf.directory_ = std::move(directory).value();
    cf.miniStream_ = MiniStream::load(*cf.sectors_, *cf.fat_, cf.header_, cf.directory_->entry(kRootEntryId));
    return cf;
}

std::optional<std::uint32_t> CompoundFile::findStream(std::uint32_t storageId, std::u16string_view name) const
{
    const auto id = directory_->findChild(storageId, name);
    if (!id || !directory_->entry(*id).isStream()) return std::nullopt;
    return id;
}

std::optional<std::uint32_t> CompoundFile::findStorage(std::uint32_t storageId, std::u16string_view name) const
{
    const auto id = directory_->findChild(storageId, name);
    if (!id || directory_->entry(*id).objectType != std::uint8_t(ObjectType::Storage)) return std::nullopt;
    return id;
}

Result<std::vector<std::byte>> CompoundFile::readStream(std::uint32_t entryId, std::uint64_t maxBytes)
{
    const DirEntry entry = directory_->entry(entryId);
    if (!entry.isStream()) return Failure(FailureKind::NotFound, "no such stream");
    if (entry.streamSize > maxBytes) return damagedCompoundFile("a stream is longer than any this program reads");
    std::vector<std::byte> bytes(std::size_t(entry.streamSize));
    if (bytes.empty()) return bytes;
    if (entry.streamSize < header_.miniStreamCutoff) {
        const auto chain = miniStream_->chainPrefix(entry.startingSector, sectorsFor(entry.streamSize, kMiniSectorSize));
        if (!chain) return damagedCompoundFile("the mini stream chain of a stream is broken");
        if (!miniStream_->readChain(*chain, entry.streamSize, bytes))
            return sectors_->lastFailure().failed() ? sectors_->lastFailure()
                                                    : damagedCompoundFile("the mini stream is shorter than a chain in it");
    } else {
        const std::uint32_t sectorSize = sectors_->sectorSize();
        const auto chain = fat_->chainPrefix(entry.startingSector, sectorsFor(entry.streamSize, sectorSize));
        if (!chain) return damagedCompoundFile("the FAT chain of a stream is broken");
        if (!sectors_->readChain(*chain, bytes)) return sectors_->lastFailure();
    }
    return bytes;
}

Failure CompoundFile::checkAllocation() const
{
    const std::uint32_t count = sectors_->sectorCount();
    std::vector<bool> owned(count, false);
    auto own = [&](const std::vector<std::uint32_t>& sectorIds) {
        for (const std::uint32_t id : sectorIds) {
            if (id >= count || owned[id] || fat_->next(id) == kFreeSect) return false;
            owned[id] = true;
        }
        return true;
    };
    const MiniStream& mini = *miniStream_;
    if (!mini.usable()) return damagedCompoundFile("the MiniFAT or the mini stream is broken");
    if (!own(fat_->fatSectorIds()) || !own(fat_->difatSectorIds()) || !own(mini.miniFatSectorIds()) ||
        !own(mini.containerSectorIds()))
        return damagedCompoundFile("a FAT, DIFAT, MiniFAT or mini stream sector is free, shared or past the end");
    const auto directoryChain = fat_->wholeChain(header_.firstDirSector);
    if (!directoryChain || !own(*directoryChain))
        return damagedCompoundFile("a directory sector is free, shared or past the end");
    if (Failure tree = directory_->checkTree(); tree.failed()) return tree;
    const auto streams = directory_->reachableStreams();
    assert(streams);  // checkTree walked the same trees

    std::vector<bool> miniOwned(mini.miniSectorCount(), false);
    for (const std::uint32_t id : *streams) {
        const DirEntry e = directory_->entry(id);
        if (e.streamSize == 0) continue;
        if (e.streamSize < header_.miniStreamCutoff) {
            const auto chain = mini.wholeChain(e.startingSector);
            if (!chain || chain->size() < sectorsFor(e.streamSize, kMiniSectorSize))
                return damagedCompoundFile("the mini stream chain of a stream is broken");
            for (const std::uint32_t miniId : *chain) {
                if (miniOwned[miniId]) return damagedCompoundFile("two streams share a mini sector");
                miniOwned[miniId] = true;
            }
        } else {
            const auto chain = fat_->wholeChain(e.startingSector);
            if (!chain || chain->size() < sectorsFor(e.streamSize, sectors_->sectorSize()))
                return damagedCompoundFile("the FAT chain of a stream is broken");
            if (!own(*chain)) return damagedCompoundFile("a sector of a stream is free or shared");
        }
    }
    return {};
}

}  // namespace quorvane::cfb

#include "cfb/cfb_compound_file.h"

#include <algorithm>

namespace quorvane::cfb {
namespace {

std::uint64_t sectorsFor(std::uint64_t bytes, std::uint64_t sectorSize) { return (bytes + sectorSize - 1) / sectorSize; }

}  // namespace

std::optional<CompoundFile> CompoundFile::open(RandomAccessFile& file, Fault* fault)
{
    *fault = Fault::Io;
    const auto length = file.size();
    if (!length) return std::nullopt;
    *fault = Fault::Corrupt;
    if (*length < kHeaderSize) return std::nullopt;
    CompoundFile cf;
    if (!file.readAt(0, cf.rawHeader_)) {
        *fault = Fault::Io;
        return std::nullopt;
    }
    const auto header = parseHeader(cf.rawHeader_);
    if (!header) return std::nullopt;
    cf.header_ = *header;
    cf.sectors_ = std::make_unique<SectorFile>(file, header->sectorShift, *length);
    cf.fat_ = Fat::load(*cf.sectors_, cf.header_, fault);
    if (!cf.fat_) return std::nullopt;
    cf.directory_ = Directory::load(*cf.sectors_, *cf.fat_, cf.header_, fault);
    if (!cf.directory_) return std::nullopt;
    cf.miniStream_ = MiniStream::load(*cf.sectors_, *cf.fat_, cf.header_, cf.directory_->entry(kRootEntryId));
    *fault = Fault::None;
    return cf;
}

std::optional<std::uint32_t> CompoundFile::findRootStream(std::u16string_view name) const
{
    const auto id = directory_->findChild(kRootEntryId, name);
    if (!id || !directory_->entry(*id).isStream()) return std::nullopt;
    return id;
}

std::optional<std::vector<std::byte>> CompoundFile::readStream(std::uint32_t entryId, std::uint64_t maxBytes, Fault* fault)
{
    const DirEntry entry = directory_->entry(entryId);
    *fault = Fault::NotFound;
    if (!entry.isStream()) return std::nullopt;
    *fault = Fault::Corrupt;
    if (entry.streamSize > maxBytes) return std::nullopt;
    std::vector<std::byte> bytes(std::size_t(entry.streamSize));
    if (bytes.empty()) {
        *fault = Fault::None;
        return bytes;
    }
    if (entry.streamSize < header_.miniStreamCutoff) {
        const auto chain = miniStream_->chainPrefix(entry.startingSector, sectorsFor(entry.streamSize, kMiniSectorSize));
        if (!chain) return std::nullopt;
        if (!miniStream_->readChain(*chain, entry.streamSize, bytes)) return std::nullopt;
    } else {
        const std::uint32_t sectorSize = sectors_->sectorSize();
        const auto chain = fat_->chainPrefix(entry.startingSector, sectorsFor(entry.streamSize, sectorSize));
        if (!chain) return std::nullopt;
        std::vector<std::byte> sector(sectorSize);
        for (std::size_t i = 0; i < chain->size(); ++i) {
            if (!sectors_->read((*chain)[i], sector)) {
                *fault = Fault::Io;
                return std::nullopt;
            }
            const std::size_t from = i * sectorSize;
            std::copy_n(sector.begin(), std::min<std::size_t>(sectorSize, bytes.size() - from), bytes.begin() + std::ptrdiff_t(from));
        }
    }
    *fault = Fault::None;
    return bytes;
}

bool CompoundFile::checkAllocation(Fault* fault) const
{
    *fault = Fault::Corrupt;
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
    if (!mini.usable() || !own(fat_->fatSectorIds()) || !own(fat_->difatSectorIds()) ||
        !own(mini.miniFatSectorIds()) || !own(mini.containerSectorIds()))
        return false;
    const auto directoryChain = fat_->wholeChain(header_.firstDirSector);
    const auto streams = directory_->reachableStreams();
    if (!directoryChain || !own(*directoryChain) || !streams) return false;

    std::vector<bool> miniOwned(mini.miniSectorCount(), false);
    for (const std::uint32_t id : *streams) {
        const DirEntry e = directory_->entry(id);
        if (e.streamSize == 0) continue;
        if (e.streamSize < header_.miniStreamCutoff) {
            const auto chain = mini.wholeChain(e.startingSector);
            if (!chain || chain->size() < sectorsFor(e.streamSize, kMiniSectorSize)) return false;
            for (const std::uint32_t miniId : *chain) {
                if (miniOwned[miniId]) return false;
                miniOwned[miniId] = true;
            }
        } else {
            const auto chain = fat_->wholeChain(e.startingSector);
            if (!chain || chain->size() < sectorsFor(e.streamSize, sectors_->sectorSize()) || !own(*chain)) return false;
        }
    }
    *fault = Fault::None;
    return true;
}

}  // namespace quorvane::cfb

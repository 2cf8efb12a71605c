// SPDX-License-Identifier: Apache-2.0
#include "cfb/cfb_fat.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "cfb/cfb_chain.h"

namespace quorvane::cfb {

Result<Fat> Fat::load(SectorFile& sectors, const Header& header)
{
    const std::uint32_t count = sectors.sectorCount();
    if (header.numFatSectors > count) return damagedCompoundFile("the header counts more FAT sectors than the file holds");
    if (header.numDifatSectors > count) return damagedCompoundFile("the header counts more DIFAT sectors than the file holds");
    Fat fat(sectors, header.entriesPerSector());

    for (std::size_t i = 0; i < std::min<std::size_t>(header.numFatSectors, kHeaderDifatSlots); ++i)
        fat.fatSectorIds_.push_back(header.difat[i]);

    // [MS-CFB] 2.5: each DIFAT sector holds entriesPerSector - 1 FAT sector numbers and then
    // the number of the next DIFAT sector. Readers take the count from the header and do not
    // insist on the last link (olefile accepts FREESECT there), so neither do we.
    std::vector<std::byte> sector(sectors.sectorSize());
    std::vector<bool> seen(count, false);
    std::uint32_t difatSector = header.firstDifatSector;
    while (fat.fatSectorIds_.size() < header.numFatSectors) {
        if (difatSector >= count) return damagedCompoundFile("the DIFAT chain leaves the file");
        if (seen[difatSector]) return damagedCompoundFile("the DIFAT chain loops");
        seen[difatSector] = true;
        if (!sectors.read(difatSector, sector)) return sectors.lastFailure();
        fat.difatSectorIds_.push_back(difatSector);
        fat.loadedDifatImages_.push_back(sector);
        ByteReader r(sector);
        for (std::uint32_t i = 0; i + 1 < fat.entriesPerSector_; ++i) {
            const std::uint32_t fatSector = r.u32();
            if (fat.fatSectorIds_.size() < header.numFatSectors) fat.fatSectorIds_.push_back(fatSector);
        }
        difatSector = r.u32();
    }

    fat.entries_.reserve(std::size_t(header.numFatSectors) * fat.entriesPerSector_);
    for (const std::uint32_t fatSector : fat.fatSectorIds_) {
        if (fatSector >= count) return damagedCompoundFile("a FAT sector lies past the end of the file");
        if (!sectors.read(fatSector, sector)) return sectors.lastFailure();
        ByteReader r(sector);
        for (std::uint32_t i = 0; i < fat.entriesPerSector_; ++i) fat.entries_.push_back(r.u32());
    }
    return fat;
}

std::optional<std::vector<std::uint32_t>> Fat::chainPrefix(std::uint32_t start, std::size_t count) const
{
    return walkChain(start, sectors_->sectorCount(), count, [this](std::uint32_t sector) { return next(sector); });
}

std::optional<std::vector<std::uint32_t>> Fat::wholeChain(std::uint32_t start) const
{
    return walkChain(start, sectors_->sectorCount(), std::nullopt, [this](std::uint32_t sector) { return next(sector); });
}

std::vector<std::uint32_t> Fat::freeSectorIds() const
{
    std::vector<std::uint32_t> ids;
    const std::uint32_t inFile = std::min<std::uint32_t>(sectors_->sectorCount(), std::uint32_t(entries_.size()));
    for (std::uint32_t id = 0; id < inFile; ++id)
        if (entries_[id] == kFreeSect) ids.push_back(id);
    return ids;
}

std::optional<std::uint32_t> Fat::allocate(std::uint32_t entry)
{
    const std::uint32_t count = sectors_->sectorCount();
    const std::uint32_t inFile = std::min<std::uint32_t>(count, std::uint32_t(entries_.size()));
    // Nothing is freed while a write allocates, so the scan never has to look back.
    for (; freeScanFrom_ < inFile; ++freeScanFrom_) {
        if (entries_[freeScanFrom_] == kFreeSect) {
            setNext(freeScanFrom_, entry);
            return freeScanFrom_++;
        }
    }
    if (count >= kMaxRegSect / 2) return std::nullopt;  // far beyond any file this program meets
    return appendSector(entry);
}

std::uint32_t Fat::appendSector(std::uint32_t entry)
{
    // FAT and DIFAT sectors added on the way, marked once the FAT reaches them: a file may hold
    // sectors past what its FAT covers, so a new FAT sector need not cover itself.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> marks;
    for (;;) {
        const std::uint32_t sector = sectors_->sectorCount();
        sectors_->noteAppended(sector);
        if (sector < entries_.size()) {
            for (const auto& [markedSector, mark] : marks) setNext(markedSector, mark);
            setNext(sector, entry);
            return sector;
        }
        // The FAT does not reach the new sector: that sector becomes a FAT sector covering the
        // next entriesPerSector sectors, and the loop appends another one.
        entries_.resize(entries_.size() + entriesPerSector_, kFreeSect);
        fatSectorIds_.push_back(sector);
        dirtyFatSectors_.insert(fatSectorIds_.size() - 1);
        marks.emplace_back(sector, kFatSect);
        if (difatSectorsNeeded() > difatSectorIds_.size()) {
            const std::uint32_t difatSector = sectors_->sectorCount();
            sectors_->noteAppended(difatSector);
            difatSectorIds_.push_back(difatSector);
            marks.emplace_back(difatSector, kDifSect);
        }
    }
}

void Fat::setNext(std::uint32_t sectorId, std::uint32_t entry)
{
    entries_[sectorId] = entry;
    dirtyFatSectors_.insert(sectorId / entriesPerSector_);
}

std::size_t Fat::difatSectorsNeeded() const
{
    if (fatSectorIds_.size() <= kHeaderDifatSlots) return 0;
    const std::size_t perDifat = entriesPerSector_ - 1;
    return (fatSectorIds_.size() - kHeaderDifatSlots + perDifat - 1) / perDifat;
}

std::vector<std::byte> Fat::difatSectorImage(std::size_t difatIndex) const
{
    // Slots past the FAT's end keep what the loaded sector held there (normally FREESECT).
    std::vector<std::byte> image = difatIndex < loadedDifatImages_.size()
                                       ? loadedDifatImages_[difatIndex]
                                       : std::vector<std::byte>(sectors_->sectorSize(), std::byte{0xFF});
    const std::size_t perDifat = entriesPerSector_ - 1;
    for (std::size_t slot = 0; slot < perDifat; ++slot) {
        const std::size_t fatIndex = kHeaderDifatSlots + difatIndex * perDifat + slot;
        if (fatIndex < fatSectorIds_.size()) patchLittle(image, 4 * slot, fatSectorIds_[fatIndex], 4);
    }
    const bool last = difatIndex + 1 == difatSectorIds_.size();
    const std::uint32_t link = last ? kEndOfChain : difatSectorIds_[difatIndex + 1];
    if (!last || difatIndex >= loadedDifatImages_.size()) patchLittle(image, 4 * perDifat, link, 4);
    return image;
}

bool Fat::flushFatSectors()
{
    std::vector<std::byte> image(sectors_->sectorSize());
    for (const std::size_t index : dirtyFatSectors_) {
        for (std::uint32_t i = 0; i < entriesPerSector_; ++i)
            patchLittle(image, 4 * i, entries_[index * entriesPerSector_ + i], 4);
        if (!sectors_->write(fatSectorIds_[index], 0, image)) return false;
    }
    dirtyFatSectors_.clear();
    for (std::size_t d = loadedDifatImages_.size(); d < difatSectorIds_.size(); ++d)
        if (!sectors_->write(difatSectorIds_[d], 0, difatSectorImage(d))) return false;
    return true;
}

bool Fat::flushChangedDifatSectors()
{
    for (std::size_t d = 0; d < loadedDifatImages_.size(); ++d) {
        const std::vector<std::byte> image = difatSectorImage(d);
        if (image != loadedDifatImages_[d] && !sectors_->write(difatSectorIds_[d], 0, image)) return false;
    }
    return true;
}

void Fat::storeInHeader(Header& header) const
{
    header.numFatSectors = std::uint32_t(fatSectorIds_.size());
    for (std::size_t i = 0; i < std::min(fatSectorIds_.size(), kHeaderDifatSlots); ++i) header.difat[i] = fatSectorIds_[i];
    header.numDifatSectors = std::uint32_t(difatSectorIds_.size());
    header.firstDifatSector = difatSectorIds_.empty() ? header.firstDifatSector : difatSectorIds_.front();
}

}  // namespace quorvane::cfb

// SPDX-License-Identifier: Apache-2.0
#include "cfb/cfb_ministream.h"

#include <algorithm>
#include <cassert>
#include <map>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "cfb/cfb_chain.h"

namespace quorvane::cfb {

MiniStream MiniStream::load(SectorFile& sectors, const Fat& fat, const Header& header, const DirEntry& root)
{
    MiniStream mini(sectors);
    mini.rootSize_ = mini.loadedRootSize_ = root.streamSize;
    const std::uint32_t sectorSize = sectors.sectorSize();

    auto container = fat.wholeChain(root.startingSector);
    auto miniFatChain = fat.wholeChain(header.firstMiniFatSector);
    if (!container || !miniFatChain || miniFatChain->size() < header.numMiniFatSectors) return mini;
    if (std::uint64_t(container->size()) * sectorSize < mini.rootSize_) return mini;
    mini.containerSectorIds_ = std::move(*container);
    mini.loadedContainerSectors_ = mini.containerSectorIds_.size();
    // Sectors of the chain past the header's count are not part of the MiniFAT (a writer
    // links a new MiniFAT sector before it raises the count).
    mini.miniFatSectorIds_.assign(miniFatChain->begin(), miniFatChain->begin() + header.numMiniFatSectors);
    mini.loadedMiniFatSectors_ = mini.miniFatSectorIds_.size();

    std::vector<std::byte> sector(sectorSize);
    for (const std::uint32_t id : mini.miniFatSectorIds_) {
        if (!sectors.read(id, sector)) return mini;
        ByteReader r(sector);
        for (std::uint32_t i = 0; i < sectorSize / 4; ++i) mini.entries_.push_back(r.u32());
    }
    mini.usable_ = true;
    return mini;
}

std::optional<std::vector<std::uint32_t>> MiniStream::chainPrefix(std::uint32_t start, std::size_t count) const
{
    if (!usable_) return std::nullopt;
    return walkChain(start, miniSectorCount(), count, [this](std::uint32_t miniId) { return next(miniId); });
}

std::optional<std::vector<std::uint32_t>> MiniStream::wholeChain(std::uint32_t start) const
{
    if (!usable_) return std::nullopt;
    return walkChain(start, miniSectorCount(), std::nullopt, [this](std::uint32_t miniId) { return next(miniId); });
}

std::pair<std::uint32_t, std::size_t> MiniStream::locate(std::uint32_t miniId) const
{
    const std::uint64_t offset = std::uint64_t(miniId) * kMiniSectorSize;
    return {std::uint32_t(offset / sectors_->sectorSize()), std::size_t(offset % sectors_->sectorSize())};
}

bool MiniStream::readChain(const std::vector<std::uint32_t>& chain, std::uint64_t size, std::span<std::byte> out)
{
    std::byte piece[kMiniSectorSize];
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const auto [containerIndex, offset] = locate(chain[i]);
        if (containerIndex >= containerSectorIds_.size()) return false;
        if (!sectors_->readPart(containerSectorIds_[containerIndex], offset, piece)) return false;
        const std::uint64_t from = std::uint64_t(i) * kMiniSectorSize;
        const std::size_t length = std::size_t(std::min<std::uint64_t>(kMiniSectorSize, size - from));
        std::copy_n(piece, length, out.begin() + std::ptrdiff_t(from));
    }
    return true;
}

std::optional<std::vector<std::uint32_t>> MiniStream::allocateChain(std::size_t count, Fat& fat)
{
    const std::uint32_t sectorSize = sectors_->sectorSize();
    const std::uint32_t perSector = sectorSize / 4;
    std::vector<std::uint32_t> chain;
    const std::uint32_t covered = std::min<std::uint32_t>(miniSectorCount(), std::uint32_t(entries_.size()));
    for (std::uint32_t id = 0; id < covered && chain.size() < count; ++id)
        if (entries_[id] == kFreeSect) chain.push_back(id);

    while (chain.size() < count) {
        const std::uint32_t id = miniSectorCount();
        while (id >= entries_.size()) {
            const auto sector = fat.allocate(kEndOfChain);
            if (!sector) return std::nullopt;
            if (miniFatSectorIds_.size() > loadedMiniFatSectors_) fat.setNext(miniFatSectorIds_.back(), *sector);
            miniFatSectorIds_.push_back(*sector);
            entries_.resize(entries_.size() + perSector, kFreeSect);
            dirtyMiniFatSectors_.insert(miniFatSectorIds_.size() - 1);
        }
        while ((std::uint64_t(id) + 1) * kMiniSectorSize > std::uint64_t(containerSectorIds_.size()) * sectorSize) {
            const auto sector = fat.allocate(kEndOfChain);
            if (!sector) return std::nullopt;
            if (containerSectorIds_.size() > loadedContainerSectors_) fat.setNext(containerSectorIds_.back(), *sector);
            containerSectorIds_.push_back(*sector);
        }
        rootSize_ = (std::uint64_t(id) + 1) * kMiniSectorSize;
        chain.push_back(id);
    }
    for (std::size_t i = 0; i < chain.size(); ++i) {
        entries_[chain[i]] = i + 1 < chain.size() ? chain[i + 1] : kEndOfChain;
        dirtyMiniFatSectors_.insert(chain[i] / perSector);
    }
    return chain;
}

bool MiniStream::writeRuns(const std::vector<std::uint32_t>& chain, std::span<const std::byte> data)
{
    const std::size_t sectorSize = sectors_->sectorSize();
    // Pieces per container sector: offset in the sector -> index in the chain.
    std::map<std::uint32_t, std::map<std::size_t, std::size_t>> pieces;
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const auto [containerIndex, offset] = locate(chain[i]);
        pieces[containerIndex][offset] = i;
    }
    auto pieceBytes = [&](std::size_t chainIndex, std::span<std::byte> out) {
        std::fill(out.begin(), out.end(), std::byte{0});
        const std::size_t from = chainIndex * kMiniSectorSize;
        if (from < data.size())
            std::copy_n(data.begin() + std::ptrdiff_t(from), std::min<std::size_t>(kMiniSectorSize, data.size() - from), out.begin());
    };
    for (const auto& [containerIndex, inSector] : pieces) {
        const std::uint32_t sector = containerSectorIds_[containerIndex];
        if (containerIndex >= loadedContainerSectors_) {
            // A sector new to the container is written whole: no stale bytes stay in it.
            std::vector<std::byte> image(sectorSize, std::byte{0});
            for (const auto& [offset, chainIndex] : inSector)
                pieceBytes(chainIndex, std::span(image).subspan(offset, kMiniSectorSize));
            if (!sectors_->write(sector, 0, image)) return false;
            continue;
        }
        // Runs of adjacent mini sectors go out in one write each.
        for (auto it = inSector.begin(); it != inSector.end();) {
            const std::size_t runStart = it->first;
            std::vector<std::byte> run;
            for (std::size_t expected = runStart; it != inSector.end() && it->first == expected; ++it, expected += kMiniSectorSize) {
                run.resize(run.size() + kMiniSectorSize);
                pieceBytes(it->second, std::span(run).last(kMiniSectorSize));
            }
            if (!sectors_->write(sector, runStart, run)) return false;
        }
    }
    return true;
}

bool MiniStream::writeChainData(const std::vector<std::uint32_t>& chain, std::span<const std::byte> data)
{
    return writeRuns(chain, data);
}

bool MiniStream::freeChain(const std::vector<std::uint32_t>& chain)
{
    const std::uint32_t perSector = sectors_->sectorSize() / 4;
    for (const std::uint32_t id : chain) {
        entries_[id] = kFreeSect;
        dirtyMiniFatSectors_.insert(id / perSector);
    }
    return writeRuns(chain, {});
}

bool MiniStream::clear(std::uint32_t miniId, std::size_t offset)
{
    const auto [containerIndex, inSector] = locate(miniId);
    assert(containerIndex < containerSectorIds_.size());  // callers pass ids inside the container
    return sectors_->clear(containerSectorIds_[containerIndex], inSector + offset, kMiniSectorSize - offset);
}

bool MiniStream::clearUnused()
{
    if (!usable_) return true;
    const auto capacity = std::uint32_t(containerSectorIds_.size() * (sectors_->sectorSize() / kMiniSectorSize));
    for (std::uint32_t id = 0; id < capacity; ++id)
        if ((id >= miniSectorCount() || (id < entries_.size() && entries_[id] == kFreeSect)) && !clear(id, 0)) return false;
    return true;
}

bool MiniStream::flushMiniFat()
{
    const std::uint32_t perSector = sectors_->sectorSize() / 4;
    std::vector<std::byte> image(sectors_->sectorSize());
    for (const std::size_t index : dirtyMiniFatSectors_) {
        for (std::uint32_t i = 0; i < perSector; ++i) patchLittle(image, 4 * i, entries_[index * perSector + i], 4);
        if (!sectors_->write(miniFatSectorIds_[index], 0, image)) return false;
    }
    dirtyMiniFatSectors_.clear();
    return true;
}

void MiniStream::applyChainLinks(Fat& fat) const
{
    if (loadedMiniFatSectors_ > 0 && miniFatSectorIds_.size() > loadedMiniFatSectors_)
        fat.setNext(miniFatSectorIds_[loadedMiniFatSectors_ - 1], miniFatSectorIds_[loadedMiniFatSectors_]);
    if (loadedContainerSectors_ > 0 && containerSectorIds_.size() > loadedContainerSectors_)
        fat.setNext(containerSectorIds_[loadedContainerSectors_ - 1], containerSectorIds_[loadedContainerSectors_]);
}

void MiniStream::storeInHeader(Header& header) const
{
    header.numMiniFatSectors = std::uint32_t(miniFatSectorIds_.size());
    header.firstMiniFatSector = miniFatSectorIds_.empty() ? kEndOfChain : miniFatSectorIds_.front();
}

}  // namespace quorvane::cfb

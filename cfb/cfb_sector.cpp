// SPDX-License-Identifier: Apache-2.0
#include "cfb/cfb_sector.h"

#include <algorithm>
#include <cerrno>
#include <string>

namespace quorvane::cfb {

SectorFile::SectorFile(RandomAccessFile& file, std::uint32_t sectorShift, std::uint64_t fileLength)
    : file_(file), sectorShift_(sectorShift), fileLength_(fileLength)
{
    const std::uint64_t size = sectorSize();
    const std::uint64_t count = fileLength > size ? (fileLength - size + size - 1) / size : 0;
    // Regular sector numbers end below MAXREGSECT; a longer file is not a valid compound file
    // for our purposes and its tail is never addressed.
    sectorCount_ = std::uint32_t(std::min<std::uint64_t>(count, kMaxRegSect));
}

bool SectorFile::ioFailed()
{
    lastFailure_ = Failure::fromErrno(errno);
    return false;
}

bool SectorFile::read(std::uint32_t sectorId, std::span<std::byte> out)
{
    return readPart(sectorId, 0, out);
}

bool SectorFile::readPart(std::uint32_t sectorId, std::size_t offsetInSector, std::span<std::byte> out)
{
    if (sectorId >= sectorCount_ || offsetInSector + out.size() > sectorSize()) {
        lastFailure_ = damagedCompoundFile("sector " + std::to_string(sectorId) + " lies past the end of the file");
        return false;
    }
    const std::uint64_t offset = offsetOf(sectorId) + offsetInSector;
    const std::uint64_t available = offset < fileLength_ ? fileLength_ - offset : 0;
    const std::size_t inFile = std::size_t(std::min<std::uint64_t>(available, out.size()));
    std::fill(out.begin() + std::ptrdiff_t(inFile), out.end(), std::byte{0});
    return inFile == 0 || file_.readAt(offset, out.first(inFile)) || ioFailed();
}

bool SectorFile::readChain(std::span<const std::uint32_t> chain, std::span<std::byte> out)
{
    const std::size_t size = sectorSize();
    std::size_t first = 0;
    while (first < chain.size() && first * size < out.size()) {
        if (chain[first] >= sectorCount_) return readPart(chain[first], 0, out.subspan(first * size, 1));
        std::size_t end = first + 1;
        while (end < chain.size() && chain[end] == chain[end - 1] + 1 && chain[end] < sectorCount_) ++end;
        const std::span<std::byte> run = out.subspan(first * size, std::min(out.size() - first * size, (end - first) * size));
        // The run lies inside the file but for the part of its last sector past the end.
        const std::uint64_t offset = offsetOf(chain[first]);
        const std::size_t inFile = std::size_t(std::min<std::uint64_t>(fileLength_ - offset, run.size()));
        std::fill(run.begin() + std::ptrdiff_t(inFile), run.end(), std::byte{0});
        if (!file_.readAt(offset, run.first(inFile))) return ioFailed();
        first = end;
    }
    return true;
}

bool SectorFile::write(std::uint32_t sectorId, std::size_t offsetInSector, std::span<const std::byte> data)
{
    const std::uint64_t offset = offsetOf(sectorId) + offsetInSector;
    const std::uint64_t sectorEnd = offsetOf(sectorId) + sectorSize();
    if (offset + data.size() >= fileLength_ && sectorEnd > fileLength_ && offset + data.size() < sectorEnd) {
        // A write that ends inside a sector the file does not yet hold in full: pad it out.
        std::vector<std::byte> padded(data.begin(), data.end());
        padded.resize(std::size_t(sectorEnd - offset), std::byte{0});
        return writeAt(offset, padded);
    }
    return writeAt(offset, data);
}

bool SectorFile::clear(std::uint32_t sectorId, std::size_t offsetInSector, std::size_t length)
{
    std::vector<std::byte> bytes(length);
    if (!readPart(sectorId, offsetInSector, bytes)) return false;
    if (std::all_of(bytes.begin(), bytes.end(), [](std::byte b) { return b == std::byte{0}; })) return true;
    std::fill(bytes.begin(), bytes.end(), std::byte{0});
    return write(sectorId, offsetInSector, bytes);
}

bool SectorFile::writeHeader(std::span<const std::byte> header)
{
    return writeAt(0, header);
}

bool SectorFile::writeAt(std::uint64_t offset, std::span<const std::byte> data)
{
    unsynced_ = true;
    if (journaling_) {
        journalFurthestEnd_ = std::max(journalFurthestEnd_, offset + data.size());
        if (offset < journalStartLength_) {
            std::vector<std::byte> before(std::size_t(std::min<std::uint64_t>(data.size(), journalStartLength_ - offset)));
            if (!file_.readAt(offset, before)) return ioFailed();
            journal_.back().push_back({offset, std::move(before)});
        }
    }
    if (!file_.writeAt(offset, data)) return ioFailed();
    fileLength_ = std::max(fileLength_, offset + data.size());
    return true;
}

bool SectorFile::sync()
{
    if (!unsynced_) return true;
    unsynced_ = false;
    if (journaling_ && !journal_.back().empty()) journal_.emplace_back();
    return file_.sync() || ioFailed();
}

void SectorFile::beginJournal()
{
    journaling_ = true;
    journalStartLength_ = journalFurthestEnd_ = fileLength_;
    journal_.assign(1, {});
}

void SectorFile::endJournal()
{
    journaling_ = false;
    journal_.clear();
}

bool SectorFile::rollBack()
{
    journaling_ = false;
    // Step by step, newest first: undoing the writes of one step over the durable state after it
    // gives what a crash inside that step could have left.
    for (auto step = journal_.rbegin(); step != journal_.rend(); ++step) {
        if (step->empty()) continue;
        for (auto saved = step->rbegin(); saved != step->rend(); ++saved)
            if (!file_.writeAt(saved->offset, saved->before)) return ioFailed();
        if (!file_.sync()) return ioFailed();
    }
    journal_.clear();
    // The appended sectors go last: until every table that named one is put back, the file keeps them.
    if (journalFurthestEnd_ > journalStartLength_ && !(file_.truncate(journalStartLength_) && file_.sync())) return ioFailed();
    fileLength_ = journalStartLength_;
    unsynced_ = false;
    return true;
}

void SectorFile::noteAppended(std::uint32_t sectorId)
{
    sectorCount_ = std::max(sectorCount_, sectorId + 1);
}

}  // namespace quorvane::cfb

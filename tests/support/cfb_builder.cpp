// SPDX-License-Identifier: Apache-2.0
#include "tests/support/cfb_builder.h"

#include <algorithm>
#include <functional>

namespace quorvane::testing {
namespace {

constexpr std::uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSect = 0xFFFFFFFD, kDifSect = 0xFFFFFFFC;

std::uint32_t ceilDiv(std::uint64_t a, std::uint64_t b) { return std::uint32_t((a + b - 1) / b); }

void put(std::vector<std::byte>& out, std::size_t offset, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i) out[offset + std::size_t(i)] = std::byte(value >> (8 * i));
}

// Calls `visit` with the content of every stream of the layout, in the root and in storages.
void forEachStream(const CfbLayout& layout, const std::function<void(const std::vector<std::byte>&)>& visit)
{
    for (const CfbStreamSpec& stream : layout.streams) visit(stream.data);
    for (const CfbStorageSpec& storage : layout.storages)
        for (const CfbStreamSpec& stream : storage.streams) visit(stream.data);
}

std::size_t entryCount(const CfbLayout& layout)
{
    std::size_t count = 1 + layout.streams.size() + layout.storages.size();
    for (const CfbStorageSpec& storage : layout.storages) count += storage.streams.size();
    return count;
}

// A directory entry of the built file: the root, a stream (`data` given) or a storage.
struct FlatEntry {
    const std::u16string* name = nullptr;
    const std::vector<std::byte>* data = nullptr;
    std::uint32_t rightSibling = kFree;
    std::uint32_t child = kFree;
};

// The entries with the root first, then the root's children, then each storage's, each
// storage's children in consecutive ids in name order, each the right sibling of the one before.
std::vector<FlatEntry> flatEntries(const CfbLayout& layout)
{
    const auto up = [](std::u16string s) {
        for (auto& c : s) if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
        return s;
    };
    const auto before = [&up](const FlatEntry& a, const FlatEntry& b) {
        return a.name->size() != b.name->size() ? a.name->size() < b.name->size() : up(*a.name) < up(*b.name);
    };
    std::vector<FlatEntry> flat(1);
    const auto addChildren = [&](std::size_t parent, std::vector<FlatEntry> children) {
        std::sort(children.begin(), children.end(), before);
        const std::size_t first = flat.size();
        if (!children.empty()) flat[parent].child = std::uint32_t(first);
        for (std::size_t i = 0; i + 1 < children.size(); ++i) children[i].rightSibling = std::uint32_t(first + i + 1);
        flat.insert(flat.end(), children.begin(), children.end());
    };
    std::vector<FlatEntry> rootChildren;
    for (const CfbStreamSpec& stream : layout.streams) rootChildren.push_back({&stream.name, &stream.data, kFree, kFree});
    for (const CfbStorageSpec& storage : layout.storages) rootChildren.push_back({&storage.name, nullptr, kFree, kFree});
    addChildren(0, rootChildren);
    for (const CfbStorageSpec& storage : layout.storages) {
        const auto entry = std::find_if(flat.begin(), flat.end(), [&](const FlatEntry& e) { return e.name == &storage.name; });
        std::vector<FlatEntry> streams;
        for (const CfbStreamSpec& stream : storage.streams) streams.push_back({&stream.name, &stream.data, kFree, kFree});
        addChildren(std::size_t(entry - flat.begin()), streams);
    }
    return flat;
}

}  // namespace

std::vector<std::byte> patternBytes(std::size_t size, unsigned seed)
{
    std::vector<std::byte> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = std::byte(state >> 16);
    }
    return bytes;
}

std::uint32_t readU32(const std::vector<std::byte>& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t(bytes[offset + std::size_t(i)]) << (8 * i);
    return value;
}

void writeU32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value) { put(bytes, offset, value, 4); }

std::vector<std::byte> buildCompoundFile(const CfbLayout& specIn)
{
    CfbLayout layout = specIn;
    const std::uint32_t sectorSize = layout.majorVersion == 4 ? 4096 : 512;
    const std::uint32_t perFat = sectorSize / 4;
    auto difatFor = [&](std::uint32_t fat) { return fat <= 109 ? 0 : ceilDiv(fat - 109, perFat - 1); };

    auto dataSectors = [&](const CfbLayout& s) {
        std::uint32_t miniBytes = 0, regular = 0;
        forEachStream(s, [&](const std::vector<std::byte>& data) {
            if (data.size() < 4096) miniBytes += ceilDiv(data.size(), 64) * 64;
            else regular += ceilDiv(data.size(), sectorSize);
        });
        const std::uint32_t dir = ceilDiv(entryCount(s) * 128, sectorSize);
        const std::uint32_t miniFat = ceilDiv(std::uint64_t(miniBytes / 64) * 4, sectorSize);
        return dir + miniFat + ceilDiv(miniBytes, sectorSize) + regular;
    };
    if (layout.fullFatSectors != 0) {
        const std::uint32_t capacity = layout.fullFatSectors * perFat - layout.fullFatSectors - difatFor(layout.fullFatSectors);
        const std::uint32_t filler = capacity - dataSectors(layout);
        layout.streams.push_back({u"Filler", patternBytes(std::size_t(filler) * sectorSize, 99)});
    }
    const std::vector<FlatEntry> flat = flatEntries(layout);

    const std::uint32_t data = dataSectors(layout);
    std::uint32_t fat = 1;
    while (fat * perFat < data + fat + difatFor(fat)) ++fat;
    const std::uint32_t difat = difatFor(fat);
    const std::uint32_t total = fat + difat + data;

    std::vector<std::uint32_t> fatEntries(std::size_t(fat) * perFat, kFree);
    std::uint32_t next = 0;
    auto chain = [&](std::uint32_t count) {
        const std::uint32_t first = next;
        for (std::uint32_t i = 0; i < count; ++i) fatEntries[first + i] = i + 1 < count ? first + i + 1 : kEnd;
        next += count;
        return count ? first : kEnd;
    };
    for (std::uint32_t i = 0; i < fat; ++i) fatEntries[next++] = kFatSect;
    const std::uint32_t firstDifat = next;
    for (std::uint32_t i = 0; i < difat; ++i) fatEntries[next++] = kDifSect;

    std::vector<std::byte> out(std::size_t(total + 1) * sectorSize, std::byte{0});
    auto sectorAt = [&](std::uint32_t id) { return std::size_t(id + 1) * sectorSize; };

    const std::uint32_t dirCount = ceilDiv(flat.size() * 128, sectorSize);
    const std::uint32_t dirStart = chain(dirCount);
    std::uint32_t miniBytes = 0;
    forEachStream(layout, [&](const std::vector<std::byte>& data) {
        if (data.size() < 4096) miniBytes += ceilDiv(data.size(), 64) * 64;
    });
    const std::uint32_t miniCount = miniBytes / 64;
    const std::uint32_t miniFatCount = ceilDiv(std::uint64_t(miniCount) * 4, sectorSize);
    const std::uint32_t miniFatStart = chain(miniFatCount);
    const std::uint32_t containerStart = chain(ceilDiv(miniBytes, sectorSize));

    // Directory: the entries of flatEntries, in their order.
    const std::size_t perDir = sectorSize / 128;
    auto entryAt = [&](std::size_t id) { return sectorAt(dirStart + std::uint32_t(id / perDir)) + (id % perDir) * 128; };
    for (std::size_t id = 0; id < dirCount * perDir; ++id) {
        put(out, entryAt(id) + 0x44, kFree, 4);
        put(out, entryAt(id) + 0x48, kFree, 4);
        put(out, entryAt(id) + 0x4C, kFree, 4);
    }
    auto name = [&](std::size_t id, const std::u16string& n) {
        for (std::size_t i = 0; i < n.size(); ++i) put(out, entryAt(id) + 2 * i, n[i], 2);
        put(out, entryAt(id) + 0x40, (n.size() + 1) * 2, 2);
        put(out, entryAt(id) + 0x43, 1, 1);
    };
    name(0, u"Root Entry");
    put(out, entryAt(0) + 0x42, 5, 1);
    put(out, entryAt(0) + 0x4C, flat[0].child, 4);
    put(out, entryAt(0) + 0x74, miniBytes ? containerStart : kEnd, 4);
    put(out, entryAt(0) + 0x78, miniBytes, 4);

    std::vector<std::uint32_t> miniFat(std::size_t(miniFatCount) * perFat, kFree);
    std::uint32_t nextMini = 0;
    for (std::size_t id = 1; id < flat.size(); ++id) {
        name(id, *flat[id].name);
        put(out, entryAt(id) + 0x48, flat[id].rightSibling, 4);
        if (!flat[id].data) {
            put(out, entryAt(id) + 0x42, 1, 1);
            put(out, entryAt(id) + 0x4C, flat[id].child, 4);
            continue;
        }
        const std::vector<std::byte>& data = *flat[id].data;
        put(out, entryAt(id) + 0x42, 2, 1);
        put(out, entryAt(id) + 0x78, data.size(), 4);
        if (data.empty()) {
            put(out, entryAt(id) + 0x74, kEnd, 4);
        } else if (data.size() < 4096) {
            const std::uint32_t count = ceilDiv(data.size(), 64);
            put(out, entryAt(id) + 0x74, nextMini, 4);
            for (std::uint32_t m = 0; m < count; ++m) miniFat[nextMini + m] = m + 1 < count ? nextMini + m + 1 : kEnd;
            const std::size_t at = sectorAt(containerStart) + std::size_t(nextMini) * 64;
            std::copy(data.begin(), data.end(), out.begin() + std::ptrdiff_t(at));
            nextMini += count;
        } else {
            const std::uint32_t start = chain(ceilDiv(data.size(), sectorSize));
            put(out, entryAt(id) + 0x74, start, 4);
            std::copy(data.begin(), data.end(), out.begin() + std::ptrdiff_t(sectorAt(start)));
        }
    }
    for (std::size_t i = 0; i < miniFat.size(); ++i)
        put(out, sectorAt(miniFatStart + std::uint32_t(i / perFat)) + (i % perFat) * 4, miniFat[i], 4);

    // FAT sectors are 0..fat-1; header slots then DIFAT sectors list them.
    for (std::size_t i = 0; i < fatEntries.size(); ++i) put(out, sectorAt(std::uint32_t(i / perFat)) + (i % perFat) * 4, fatEntries[i], 4);
    for (std::uint32_t d = 0; d < difat; ++d) {
        const std::size_t at = sectorAt(firstDifat + d);
        for (std::uint32_t slot = 0; slot + 1 < perFat; ++slot) {
            const std::uint32_t fatIndex = 109 + d * (perFat - 1) + slot;
            put(out, at + 4 * slot, fatIndex < fat ? fatIndex : kFree, 4);
        }
        put(out, at + 4 * (perFat - 1), d + 1 < difat ? firstDifat + d + 1 : kEnd, 4);
    }

    const std::uint8_t signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i) out[std::size_t(i)] = std::byte(signature[i]);
    put(out, 0x18, 0x3E, 2);
    put(out, 0x1A, layout.majorVersion, 2);
    put(out, 0x1C, 0xFFFE, 2);
    put(out, 0x1E, layout.majorVersion == 4 ? 12 : 9, 2);
    put(out, 0x20, 6, 2);
    put(out, 0x28, layout.majorVersion == 4 ? dirCount : 0, 4);
    put(out, 0x2C, fat, 4);
    put(out, 0x30, dirStart, 4);
    put(out, 0x38, 4096, 4);
    put(out, 0x3C, miniFatCount ? miniFatStart : kEnd, 4);
    put(out, 0x40, miniFatCount, 4);
    put(out, 0x44, difat ? firstDifat : kEnd, 4);
    put(out, 0x48, difat, 4);
    for (std::uint32_t i = 0; i < 109; ++i) put(out, 0x4C + 4 * i, i < fat ? i : kFree, 4);
    return out;
}

}  // namespace quorvane::testing

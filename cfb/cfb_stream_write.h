// In-place replacement and creation of a stream in the root storage of a compound file
// ([MS-CFB] 2.2-2.6: header, FAT, DIFAT, MiniFAT, directory), written so that an interruption at
// any point leaves a file that opens with the old stream or the new one and with every other
// stream intact.
//
// Write order (a step that ends with a sync has all its writes durable before any write of a
// later step is issued; within a step the writes may land in any order or only in part, and
// each step is built so that any subset of its writes is harmless). A sync with nothing written
// since the last one is skipped. Several streams written together share every step.
//   1. Content nobody refers to yet: the new data in free or appended sectors (regular or
//      mini), new FAT/DIFAT/MiniFAT/container/directory sectors, FAT and MiniFAT entries that
//      turn free into used, a new stream's directory entry in a free slot.       sync
//   2. Links that lengthen existing chains (MiniFAT, container, directory: the FAT entry of
//      their old last sector) and changed DIFAT sectors.                          sync
//   3. The header counts that make readers follow those links, and the root entry when the
//      mini stream grew (its size, or its first sector): each only points at what step 2
//      made durable, so either may land without the other.                       sync
//   4. The switch: each stream's directory entry (start and size), or for a new stream the
//      parent link in the root's sibling tree. Before its write a stream's old content is
//      what every reader sees; after it, the new one.                               sync
//   5. Zeros over the old bytes an earlier writer may have left where no stream's content is
//      (free sectors, unused mini sectors, the room past each stream's end in its last sector
//      or mini sector); the old chains: sectors overwritten with zeros, then marked free. No
//      sync: a crash may lose any of these writes without changing what the file holds.
// So no byte of a replaced stream stays in the file, and a new stream's last sector (regular
// or mini) is zero past its data. A cut inside steps 1-3 leaves allocated sectors that
// nothing refers to (lost space, not damage); a cut inside step 4 leaves each stream old or
// new, each on its own; a cut inside step 5, or a crash of the machine before its writes
// reach the disk, leaves some old sectors zeroed but still marked used, or some old bytes not
// yet zeroed.
// Between the DIFAT link (step 2) and the header (step 3), olefile (which checks the last DIFAT link)
// would see a mismatch; this arises only when a write adds a second or later DIFAT sector.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <span>
#include <string_view>

#include "base/failure.h"
#include "cfb/cfb_compound_file.h"

namespace quorvane::cfb {

// Replaces the whole content of stream entry `entryId` with `data`. Failure{} when every write
// and sync succeeded. Otherwise, with nothing written, the damaged-compound-file failure of
// checkAllocation() or of the stream's own chain, NotFound when the entry is no stream, or
// Unsupported when the file cannot grow by the sectors needed; or, when a write or sync failed
// (the file then holding the old or the new stream), the reason of that system call ("no space
// left on the device", ...). The CompoundFile is spent either way: reopen the file to read it
// again.
// One stream of writeStreams: the stream entry `entryId` to replace, or (no entryId) a stream
// named `name` to create in the root storage; `data` is its whole new content.
struct StreamWrite {
    std::optional<std::uint32_t> entryId;
    std::u16string name;
    std::span<const std::byte> data;
};

// Replaces or creates every stream of `writes` in one write sequence (each step above taken once
// for all of them), so that the file is synced as often as for one stream (twice when no
// table grows). At most one stream is created, and no entry is written twice (Unsupported otherwise).
// Results as replaceStream and createRootStream, nothing written when any refusal is known
// before writing; an interruption or a failed write leaves each stream old or new.
Failure writeStreams(CompoundFile& compoundFile, std::span<const StreamWrite> writes);

Failure replaceStream(CompoundFile& compoundFile, std::uint32_t entryId, std::span<const std::byte> data);

// Creates a stream named `name` (at most 31 UTF-16 code units, not present yet) in the root
// storage with `data`. Results as for replaceStream (a damaged compound file also when the
// root's tree loops or already holds the name); an interruption leaves the file without the
// stream or with it complete.
Failure createRootStream(CompoundFile& compoundFile, std::u16string_view name, std::span<const std::byte> data);

}  // namespace quorvane::cfb

// SPDX-License-Identifier: Apache-2.0
// In-place replacement and creation of streams in the root storage of a compound file
// ([MS-CFB] 2.2-2.6: header, FAT, DIFAT, MiniFAT, directory), written so that an interruption at
// any point leaves a file that opens with all the old streams or all the new ones and with every
// other stream intact.
//
// Write order (a step that ends with a sync has all its writes durable before any write of a
// later step is issued; within a step the writes may land in any order or only in part, and
// each step is built so that any subset of its writes is harmless). A sync with nothing written
// since the last one is skipped. Several streams written together share every step, and their
// switch is one write, so that any cut leaves all of them old or all of them new.
//   1. Content nobody refers to yet: the new data in free or appended sectors (regular or
//      mini), new FAT/DIFAT/MiniFAT/container/directory sectors, FAT and MiniFAT entries that
//      turn free into used, new streams' directory entries in free slots (not linked into any
//      tree yet), and, when the directory is copied (3b), the whole copy with every change
//      applied and its FAT chain.                                                       sync
//   2. Links that lengthen existing chains (MiniFAT, container, and a directory that is not
//      copied: the FAT entry of their old last sector) and changed DIFAT sectors.     sync
//   3. The switch. Every directory entry the write changes (each stream's start and size, each
//      new stream's parent link in the root's sibling tree, the root entry when the mini stream
//      grew) is changed by one write, before which every reader sees the old streams and after
//      which it sees the new ones:
//      a. when those entries lie in one directory sector: first the header counts that make
//         readers follow step 2's links (sync; each only points at what step 2 made durable),
//         then that directory sector, written whole;                                  sync
//      b. otherwise: the header, naming the directory copy of step 1 (firstDirSector, and in
//         version 4 numDirSectors) together with the counts of 3a, in one write.      sync
//   4. Zeros over the old bytes an earlier writer may have left where no stream's content is
//      (free sectors, unused mini sectors, the room past each stream's end in its last sector
//      or mini sector); the old chains and, after 3b, the old directory: sectors overwritten
//      with zeros, then marked free. No sync: a crash may lose any of these writes without
//      changing what the file holds.
// So no byte of a replaced stream stays in the file, and a new stream's last sector (regular
// or mini) is zero past its data. A cut inside steps 1-3 leaves allocated sectors that nothing
// refers to (lost space, not damage); a cut inside step 4, or a crash of the machine before its
// writes reach the disk, leaves some old sectors zeroed but still marked used, or some old bytes
// not yet zeroed.
// A failed write or sync before the switch's write has succeeded changes nothing: every write
// of steps 1-3 keeps the bytes it covers, and on failure they are written back, newest first
// with a sync after each step's worth (SectorFile::rollBack), and the file is cut back to its
// length, so it is byte for byte what it was. A failure after the switch (its sync, step 4)
// leaves the new streams and is reported.
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

// One stream of writeStreams: the stream entry `entryId` to replace, or (no entryId) a stream
// named `name` to create in the root storage; `data` is its whole new content.
struct StreamWrite {
    std::optional<std::uint32_t> entryId;
    std::u16string name;
    std::span<const std::byte> data;
};

// Replaces or creates every stream of `writes` in one write sequence (each step above taken once
// for all of them), so that the file is synced as often as for one stream (twice when no table
// grows). No stream is named twice (Unsupported otherwise); a new name may hang below another
// new one in the root's tree.
// Failure{} when every write and sync succeeded. Otherwise, with nothing written, the
// damaged-compound-file failure of checkAllocation() or of a stream's own chain, NotFound when an
// entry is no stream, or Unsupported when the file cannot grow by the sectors needed; or, when a
// write or sync failed, the reason of that system call ("no space left on the device", ...),
// the file then byte for byte as before when the failure came before the switch (holding the old
// streams should writing the old bytes back fail too), else holding every new stream. An interruption leaves all the streams old or all new. The CompoundFile is
// spent after any write: reopen the file to read it again.
Failure writeStreams(CompoundFile& compoundFile, std::span<const StreamWrite> writes);

}  // namespace quorvane::cfb

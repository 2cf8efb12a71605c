// SPDX-License-Identifier: Apache-2.0
// Property sets of .ppt files (compound files with OLE property sets, [MS-OLEPS]): the typed
// writes of a set's first section and the stream-level edit the change path uses
// (document/ppt_edit.h), the reads of sets from an open compound file, and the four property
// operations of the window's older callers, each standing alone: it opens the file, reads or
// writes one property of one set by id, and closes the file again. Their reads never fail (any
// failure gives ""); their writes give true only when the property was written and every write
// and sync of the file succeeded.
//
// Opens take open-file-description locks: a read takes a shared lock (other readers may read,
// writers are refused), a write an exclusive one; a lock held by anybody else makes the open
// fail. A write also refuses a file without any write permission bit (read-only), even for root.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "cfb/cfb_compound_file.h"
#include "convert/date_time.h"
#include "props/catalogue.h"
#include "propset/property_value_text.h"
#include "propset/propset_reader.h"

namespace quorvane::propset {

// Start-up and shutdown of property access. Our compound-file engine needs no library or
// per-thread state, so these have nothing to load or release; they keep their place in the
// program's start-up and end.
void InitPropertySetAccess();
void ShutdownPropertySetAccess();

// The text of property `propertyId` of set `fmtid` in `fileName` (PropertyValueToText), or ""
// when the file is missing, locked by another writer, not a compound file, damaged, without
// that set (or the set has no section), or the set lacks the property.
std::string ReadDocProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId);

// As ReadDocProperty, with a VT_FILETIME taken as a span in whole minutes (EditTimeValueToText).
std::string ReadEditTimeProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId);

// Writes property `propertyId` of set `fmtid`, creating the set (one section, class id = fmtid,
// code page 1200) when the file has none. `valueType` and `valueText`:
//   30 VT_LPSTR: the text in the set's code page (an empty text is an empty string);
//   31 VT_LPWSTR: the text as UTF-16; 22 VT_INT: the text as a signed decimal integer;
//   64 VT_FILETIME: "" stores VT_NULL; otherwise the date-time display text, local time, stored
//      as UTC; an instant outside convert/storable_date.h's bound has no FILETIME that reads
//      back, and is refused ("'<text>' cannot be stored: a date must lie from ...").
// Throws quorvane::Error("'<text>' is not a valid integer value") or ("'<text>' is not a valid
// date and time") for a text that type cannot take; the file is then unchanged. False when the
// file cannot be opened exclusively, is read-only, is not a compound file or too damaged to
// write into safely, its set is unreadable, the text has no mapping in the set's code page, the
// type is another one, the date cannot be stored, or a write fails (the file then holds the old
// value or the new one).
bool WriteDocProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId,
                      std::string_view valueText, std::uint16_t valueType);

// As WriteDocProperty, except that for type 64 a non-empty text is whole minutes, stored as a
// span of 600,000,000 units per minute (0 when the text is not a number).
bool WriteEditTimeProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId,
                           std::string_view valueText, std::uint16_t valueType);

// One property to write into a set's first section, typed: text in the stored type `valueType`
// (VT_LPSTR in the section's code page, VT_LPWSTR as UTF-16), a VT_INT integer, a VT_FILETIME
// value (an instant or a span, as the caller made it), VT_NULL, or the property removed (value
// and table entry; nothing added, nor a set, when it is absent).
struct PropertyWrite {
    enum class Kind { Text, Integer, Filetime, Null, Remove };
    std::uint32_t propertyId;
    std::uint16_t valueType;
    Kind kind;
    std::string text;
    std::int32_t integer = 0;
    std::uint64_t filetime = 0;
    std::string label = "text";  // what a refusal calls the property ("Title")
};

// The stream of set `fmtid` with `writes` applied in order to its first section ([MS-OLEPS]
// 2.20-2.21), every other byte kept (propset_writer.h); `stream` nullopt means the set is absent
// (or holds no section): a new one is made (one section, class id = fmtid, code page 1200) unless
// the writes give no value. A write of no value (an empty text, a null, a removal) to a property
// the section does not hold writes nothing. Gives nullopt when the set stays absent. A section
// without a code page that holds no text yet gets code page 1200 declared, first in its table and
// values (declareCodePageFirst), before a VT_LPSTR is written; one that holds text is written in
// 1252, as it is read. Failures: "damaged property set: ..." for a stream that
// parseSoundPropertySet refuses (propset_reader.h); Conversion for text the code page cannot hold, naming the write's
// label and its first such character ("Title: "€" (U+20AC) cannot be stored in code page 1252");
// Unsupported for a refused id (0, 1, from 0x80000000) or type.
Result<std::optional<std::vector<std::byte>>> streamWithWrites(std::optional<std::vector<std::byte>> stream,
                                                               const props::Fmtid& fmtid,
                                                               std::span<const PropertyWrite> writes);

// Writes `writes` into set `fmtid` of the compound file the caller has opened (and locked), in one
// replacement of its stream (cfb_stream_write.h): no permission check, no close. Failure{} when
// written or when nothing changes; else streamWithWrites' failures, the compound file's, or the
// write's (the file then holding the old set or the new one). For tests that put a faulty file
// layer under a write.
Failure writePropertiesInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes);

// The first section of a property set as read from a file, with the stream that holds it.
struct PropertySetContent {
    std::vector<std::byte> stream;
    Section firstSection;

    // The value of a property of the section; nullopt when it is absent or its bytes are broken.
    std::optional<PropertyValue> property(std::uint32_t propertyId) const;
};

// A set's stream as an open compound file holds it: its entry (nullopt when absent) and its bytes
// (nullopt when absent or holding no section). The failure when the stream cannot be read or
// parseSoundPropertySet refuses it ("damaged property set: ..."): a write of it is refused, so
// that nothing of it is lost.
struct SetStream {
    std::optional<std::uint32_t> entryId;
    std::optional<std::vector<std::byte>> stream;
};
Result<SetStream> readSetStream(cfb::CompoundFile& compoundFile, const props::Fmtid& fmtid);

// The first section of a set's stream, for a read: nullopt when `stream` is (the set is absent)
// or the set holds no section; the failure of parseSoundPropertySet ("damaged property set: ...")
// when the set is damaged, as a write of it would be refused.
Result<std::optional<PropertySetContent>> propertySetContent(std::optional<std::vector<std::byte>> stream);

// The sets `fmtids` of an open compound file, as readPropertySets gives them.
Result<std::vector<std::optional<PropertySetContent>>> readPropertySetsFrom(cfb::CompoundFile& compoundFile,
                                                                            std::span<const props::Fmtid> fmtids);

// The sets `fmtids` of `fileName`, read with one open under a shared lock, in the order asked;
// nullopt for a set that is absent or has no section. The failure when the file cannot be opened
// (the open's reasons: "no such file", "in use by another program", "not a regular file",
// "permission denied"), is a damaged compound file, a set stream whose chain is broken included,
// or holds a damaged set (propertySetContent).
Result<std::vector<std::optional<PropertySetContent>>> readPropertySets(const std::string& fileName,
                                                                        std::span<const props::Fmtid> fmtids);


}  // namespace quorvane::propset

// The four property operations on .ppt files (compound files with OLE property sets), each
// standing alone: it opens the file, reads or writes one property of one set by id, and closes
// the file again. Reads never fail (any failure gives ""); writes give true only when the
// property was written and every write and sync of the file succeeded.
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
//      as UTC; an instant up to 1601-01-01 00:00 UTC or from year 10000 on has no FILETIME that
//      reads back, and is refused ("date before 1601 cannot be stored", "date after 9999 ...").
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

// The two writes on a file the caller has opened (and locked): no permission check, no close.
// For tests that put a faulty file layer under a write.
bool writeDocPropertyInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::uint32_t propertyId,
                          std::string_view valueText, std::uint16_t valueType);
bool writeEditTimePropertyInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::uint32_t propertyId,
                               std::string_view valueText, std::uint16_t valueType);

// How a VT_FILETIME value text is meant: a date-time display text, or whole minutes of a span.
enum class FiletimeMeaning { Instant, Span };

// One property to write, as WriteDocProperty (Instant) or WriteEditTimeProperty (Span) takes it.
// With `emptyRemoves`, an empty text removes the property from the set (and adds nothing, nor a
// set, when it is absent) instead of storing VT_NULL, which some readers cannot load.
struct PropertyWrite {
    std::uint32_t propertyId;
    std::string valueText;
    std::uint16_t valueType;
    FiletimeMeaning meaning;
    bool emptyRemoves = false;
};

// Writes several properties of set `fmtid` in one replacement of its stream: the values that the
// single writes, one after the other, would store, with one open and one write sequence of the
// file. True only when all were written; otherwise (and on an error thrown for a value text)
// the file is unchanged. Refusals as WriteDocProperty.
bool WriteDocProperties(const std::string& fileName, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes);

// WriteDocProperties with the reason of a refusal: Failure{} when all were written, else the
// first reason met: the open's ("in use by another program", "no such file", "not a regular
// file", "permission denied"), "read-only" for a file without any write permission bit,
// "damaged compound file: <what>", "damaged property set: <what>", "text cannot be stored in
// code page N" or "date before 1601 cannot be stored" (Conversion), Unsupported for an id or
// type that is not written, or the reason
// of the write, sync or close that failed ("no space left on the device", ...).
Failure writeDocPropertiesOrFailure(const std::string& fileName, const props::Fmtid& fmtid,
                                    std::span<const PropertyWrite> writes);

// writeDocPropertiesOrFailure on a file the caller has opened (and locked): no permission check,
// no close. For the fuzz target and tests that put a memory file under a write.
Failure writeDocPropertiesInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes);

// The writes of one set, and how far they get.
struct SetWrites {
    props::Fmtid fmtid;
    std::vector<PropertyWrite> writes;
};
struct WritesReach {
    std::size_t applied = 0;  // the leading writes that can be stored
    Failure failure;          // why the next one cannot; Failure{} when all can
};

// Writes the sets of `sets` (each set's writes as writeDocPropertiesOrFailure applies them) in one
// open and one write sequence of the file, so that the file is synced as often as for one set.
// Failure{} when all were written. A set whose writes cannot be applied (a reason as for
// writeDocPropertiesOrFailure) ends the sets: those before it are written and its reason is
// returned. A refusal of the open, of a read-only or damaged file, or a failed write or sync
// leaves every set as it was (an interruption leaves each set old or new, each on its own) and
// gives its reason.
Failure writeDocPropertySetsOrFailure(const std::string& fileName, std::span<const SetWrites> sets);

// writeDocPropertySetsOrFailure on a file the caller has opened (and locked): no permission
// check, no close. For tests that put a faulty file layer under a write.
Failure writeDocPropertySetsInto(RandomAccessFile& file, std::span<const SetWrites> sets);

// How far the writes of each set get on `fileName` as it is now, each applied after those before
// it exactly as writeDocPropertiesOrFailure applies them, without writing anything: for a set, a
// write whose text has no form in the set's code page, a refused id or type, a property date that
// cannot be stored, or a set stream that is unreadable ends its reach. Reads the file once under a
// shared lock; the failure of that open and load (as readPropertySets). Throws quorvane::Error as
// WriteDocProperty does for a text that is no integer or no date. File-wide refusals of a write
// (read-only file, a directory too damaged to write into, a failing write) are not foreseen.
Result<std::vector<WritesReach>> reachOfWrites(const std::string& fileName, std::span<const SetWrites> sets);

// The first section of a property set as read from a file, with the stream that holds it.
struct PropertySetContent {
    std::vector<std::byte> stream;
    Section firstSection;

    // The value of a property of the section; nullopt when it is absent or its bytes are broken.
    std::optional<PropertyValue> property(std::uint32_t propertyId) const;
};

// The sets `fmtids` of `fileName`, read with one open under a shared lock, in the order asked;
// nullopt for a set that is absent, does not parse, or has no section. The failure when the file
// cannot be opened (the open's reasons, as writeDocPropertiesOrFailure) or is a damaged compound
// file, a set stream whose chain is broken included.
Result<std::vector<std::optional<PropertySetContent>>> readPropertySets(const std::string& fileName,
                                                                        std::span<const props::Fmtid> fmtids);

// The value of one property, or why there is none (readPropertySets's failures, NotFound for an
// absent set or property).
Result<PropertyValue> readPropertyValue(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId);

}  // namespace quorvane::propset

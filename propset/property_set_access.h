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

#include "props/catalogue.h"
#include "base/fault.h"
#include "propset/property_value_text.h"
#include "base/random_access_file.h"

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
//      as UTC (before 1601 as 0).
// Throws quorvane::Error("'<text>' is not a valid integer value") or ("'<text>' is not a valid
// date and time") for a text that type cannot take; the file is then unchanged. False when the
// file cannot be opened exclusively, is read-only, is not a compound file or too damaged to
// write into safely, its set is unreadable, the text has no mapping in the set's code page, the
// type is another one, or a write fails (the file then holds the old value or the new one).
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
struct PropertyWrite {
    std::uint32_t propertyId;
    std::string valueText;
    std::uint16_t valueType;
    FiletimeMeaning meaning;
};

// Writes several properties of set `fmtid` in one replacement of its stream: the values that the
// single writes, one after the other, would store, with one open and one write sequence of the
// file. True only when all were written; otherwise (and on an error thrown for a value text)
// the file is unchanged. Refusals as WriteDocProperty.
bool WriteDocProperties(const std::string& fileName, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes);

// The value of a property with the reason of a failure, for callers that report it.
std::optional<PropertyValue> readPropertyValue(const std::string& fileName, const props::Fmtid& fmtid,
                                               std::uint32_t propertyId, Fault* fault);

// Whether `fileName` opens for reading as a compound file (Fault::None), or why not.
Fault probeCompoundFile(const std::string& fileName);

}  // namespace quorvane::propset

#include "package/package_writer.h"

#include <cerrno>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>
#include <optional>

#include "package/package_element.h"
#include "package/package_file.h"
#include "package/package_parts.h"
#include "package/part_text.h"
#include "base/change_scope.h"
#include "base/text_trim.h"
#include "convert/w3c_date_time.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {
namespace {

// The text written for `row`, or nullopt when its element is to be left as it is.
std::optional<std::string> elementValue(int row, const std::string& text)
{
    switch (row) {
    case props::kCreatedRow:
    case props::kLastSavedRow: {
        std::string w3c = convert::DisplayTextToW3cDateTime(text);
        if (w3c.empty()) return std::nullopt;
        return w3c;
    }
    case props::kLastPrintedRow: {
        const std::string blankless(trimBlanksAndControls(text));
        return blankless.empty() ? blankless : convert::DisplayTextToW3cDateTime(blankless);
    }
    default:
        return text;
    }
}

// Failure{} when every selected row is written; else why the first value that a part cannot hold
// is refused (the part may then hold some rows already, but it is not stored).
template <std::size_t N>
Failure writeRows(ParsedPart& part, const std::array<int, N>& rows, const props::RowTexts& texts,
                  const props::RowSelection& selected)
{
    for (const int row : rows) {
        if (!selected[row]) continue;
        const auto value = elementValue(row, texts[row]);
        if (!value) continue;
        const std::string_view label = props::catalogueRow(row).label;
        const Failure refused = props::isDateTimeRow(row) && !value->empty() ? checkW3cYear(*value, label)
                                                                            : checkPartText(*value, label);
        if (refused.failed()) return refused;
        SetChildElementText(part, props::catalogueRow(row).elementName, *value);
    }
    return {};
}

// A write whose new parts are made, the package still open and locked, nothing written yet.
struct PreparedWrite {
    std::string path;  // the file a symbolic link names
    PosixFile file;
    unsigned permissionBits = 0;
    zip::ZipDirectory directory;
    std::size_t extendedIndex = 0;
    std::size_t coreIndex = 0;
    std::vector<std::byte> extendedBytes;
    std::vector<std::byte> coreBytes;
};

Result<PreparedWrite> prepareWrite(const std::string& givenPath, const props::RowTexts& texts,
                                   const props::RowSelection& selected, MalformedXml onMalformedXml)
{
    // The new archive replaces the file that a symbolic link names, not the link.
    const std::unique_ptr<char, decltype(&::free)> resolved(::realpath(givenPath.c_str(), nullptr), &::free);
    if (!resolved) return Failure::fromErrno(errno);
    const std::string path = resolved.get();
    auto file = openForChange(path);
    if (!file.ok()) return file.failure();
    struct stat info {};
    if (::fstat(file->fd(), &info) != 0) return Failure::fromErrno(errno);
    if (refusedAsReadOnly(info)) return readOnlyFile();
    // Another writer may have renamed its new archive over the name between our open and our
    // lock; the file we hold is then no longer the package, and a write based on it would undo
    // that writer's change. Such a write is refused, as a locked file is.
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) return Failure::fromErrno(errno);
    if (named.st_ino != info.st_ino || named.st_dev != info.st_dev) return lockedByAnotherProgram();
    auto directory = zip::readArchiveDirectory(file.value());
    if (!directory.ok()) return directory.failure();
    auto parts = loadPropertyParts(file.value(), *directory, onMalformedXml);
    if (!parts.ok()) return parts.failure();
    PropertyParts& both = parts.value();
    if (both.extended.entryIndex == both.core.entryIndex)
        return Failure(FailureKind::Damaged,
                       "damaged package: both property relationships name " + partNameForPeople(both.core.part.name));

    for (const ParsedPart* part : {&both.extended.part, &both.core.part})
        if (Failure refused = checkRewritable(*part); refused.failed()) return refused;
    if (Failure refused = writeRows(both.extended.part, kExtendedPartRows, texts, selected); refused.failed())
        return refused;
    if (Failure refused = writeRows(both.core.part, kCorePartRows, texts, selected); refused.failed())
        return refused;
    std::vector<std::byte> extendedBytes = savePart(both.extended.part);
    std::vector<std::byte> coreBytes = savePart(both.core.part);
    if (Failure refused = checkPartBounds(both.extended.part.name, extendedBytes); refused.failed()) return refused;
    if (Failure refused = checkPartBounds(both.core.part.name, coreBytes); refused.failed()) return refused;
    return PreparedWrite{path,
                         std::move(file).value(),
                         unsigned(info.st_mode & 07777),
                         std::move(directory).value(),
                         both.extended.entryIndex,
                         both.core.entryIndex,
                         std::move(extendedBytes),
                         std::move(coreBytes)};
}

}  // namespace

Failure writePackageRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                         const TargetWrapper& wrapTarget)
{
    auto prepared = prepareWrite(path, texts, selected, MalformedXml::Fail);
    if (!prepared.ok()) return prepared.failure();
    PreparedWrite& write = prepared.value();
    const zip::EntryReplacement replacements[] = {{write.extendedIndex, write.extendedBytes},
                                                  {write.coreIndex, write.coreBytes}};
    return zip::replaceEntries(write.path, write.file, write.directory, replacements, write.permissionBits, wrapTarget);
}

bool WritePackageProperties(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                            const TargetWrapper& wrapTarget)
{
    auto prepared = prepareWrite(path, texts, selected, MalformedXml::Throw);
    if (!prepared.ok()) return false;
    PreparedWrite& write = prepared.value();
    const zip::EntryReplacement replacements[] = {{write.extendedIndex, write.extendedBytes},
                                                  {write.coreIndex, write.coreBytes}};
    zip::ReplaceEntriesFromMemory(write.path, write.file, write.directory, replacements, write.permissionBits,
                                  wrapTarget);
    return true;
}

}  // namespace quorvane::package

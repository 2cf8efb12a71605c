#include "package/package_writer.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <memory>
#include <optional>

#include "package/package_element.h"
#include "package/package_parts.h"
#include "base/text_trim.h"
#include "convert/w3c_date_time.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {
namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

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

template <std::size_t N>
void writeRows(ParsedPart& part, const std::array<int, N>& rows, const props::RowTexts& texts, const props::RowSelection& selected)
{
    for (const int row : rows) {
        if (!selected[row]) continue;
        if (const auto value = elementValue(row, texts[row]))
            SetChildElementText(part, props::catalogueRow(row).elementName, *value);
    }
}

}  // namespace

bool WritePackageProperties(const std::string& givenPath, const props::RowTexts& texts, const props::RowSelection& selected,
                            const TargetWrapper& wrapTarget)
{
    // The new archive replaces the file that a symbolic link names, not the link.
    const std::unique_ptr<char, decltype(&::free)> resolved(::realpath(givenPath.c_str(), nullptr), &::free);
    if (!resolved) return false;
    const std::string path = resolved.get();
    auto file = PosixFile::open(path, OpenMode::ReadWriteExclusive);
    if (!file) return false;
    struct stat info {};
    if (::fstat(file->fd(), &info) != 0 || (info.st_mode & kAnyWriteBit) == 0) return false;
    // Another writer may have renamed its new archive over the name between our open and our
    // lock; the file we hold is then no longer the package, and a write based on it would undo
    // that writer's change. Such a write is refused, as a locked file is.
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0 || named.st_ino != info.st_ino || named.st_dev != info.st_dev) return false;
    const auto directory = zip::ReadDirectory(*file);
    if (!directory) return false;
    auto parts = readPropertyParts(*file, *directory);
    if (!parts || parts->extended.entryIndex == parts->core.entryIndex) return false;

    writeRows(parts->extended.part, kExtendedPartRows, texts, selected);
    writeRows(parts->core.part, kCorePartRows, texts, selected);
    const auto extendedBytes = savePart(parts->extended.part);
    const auto coreBytes = savePart(parts->core.part);
    const zip::EntryReplacement replacements[] = {{parts->extended.entryIndex, extendedBytes},
                                             {parts->core.entryIndex, coreBytes}};
    zip::ReplaceEntriesFromMemory(path, *file, *directory, replacements, info.st_mode & 07777, wrapTarget);
    return true;
}

}  // namespace quorvane::package

// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/attribute_store.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cstring>

#include "base/failure.h"
#include "fileinfo/dos_attrib.h"

namespace quorvane::fileinfo {
namespace {

constexpr const char* kDosAttribName = "user.DOSATTRIB";
// ntfs-3g's extended attributes: the NTFS attribute word and creation time, big-endian.
constexpr const char* kNtfsAttribName = "system.ntfs_attrib_be";
constexpr const char* kNtfsCreationTimeName = "system.ntfs_crtime_be";
constexpr mode_t kAllWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

template <std::size_t N>
std::uint64_t fromBigEndian(const std::array<std::byte, N>& bytes)
{
    std::uint64_t value = 0;
    for (const std::byte b : bytes) value = value << 8 | std::uint64_t(b);
    return value;
}

template <std::size_t N>
std::array<std::byte, N> toBigEndian(std::uint64_t value)
{
    std::array<std::byte, N> bytes{};
    for (std::size_t i = N; i-- > 0; value >>= 8) bytes[i] = std::byte(value & 0xFF);
    return bytes;
}

// The value of an ntfs-3g attribute of exactly N bytes; nullopt when the file has none (any
// other file system) or it is not N bytes long.
template <std::size_t N>
std::optional<std::uint64_t> readNtfsValue(const std::string& path, const char* name)
{
    std::array<std::byte, N> bytes{};
    if (::getxattr(path.c_str(), name, bytes.data(), bytes.size()) != ssize_t(N)) return std::nullopt;
    return fromBigEndian(bytes);
}

template <std::size_t N>
Failure writeNtfsValue(const std::string& path, const char* name, std::uint64_t value)
{
    const std::array<std::byte, N> bytes = toBigEndian<N>(value);
    if (::setxattr(path.c_str(), name, bytes.data(), bytes.size(), 0) == 0) return {};
    return Failure::fromErrno(errno).within("its attributes cannot be stored");
}

std::optional<AttributeWord> ntfsAttributeWordOf(const std::string& path)
{
    const auto word = readNtfsValue<4>(path, kNtfsAttribName);
    if (!word) return std::nullopt;
    return AttributeWord(*word);
}

struct StoredDosAttrib {
    bool exists = false;              // a value is stored, whether it fits a layout or not
    std::optional<DosAttrib> parsed;  // its content when it does
};

// Fails only when the attribute could not be read for another reason than there being none
// (ENODATA) or the file system keeping none (ENOTSUP).
Result<StoredDosAttrib> readStoredDosAttrib(const std::string& path)
{
    std::array<std::byte, kMaxDosAttribBytes> buffer;
    const ssize_t length = ::getxattr(path.c_str(), kDosAttribName, buffer.data(), buffer.size());
    if (length < 0) {
        if (errno == ENODATA || errno == ENOTSUP) return StoredDosAttrib{};
        if (errno == ERANGE) return StoredDosAttrib{true, std::nullopt};  // too long for any layout
        return Failure::fromErrno(errno).within("its attributes cannot be read");
    }
    return StoredDosAttrib{true, parseDosAttrib(std::span(buffer).first(std::size_t(length)))};
}

bool isReadOnlyMode(mode_t mode) { return (mode & kAllWriteBits) == 0; }

AttributeWord wordOf(mode_t mode, const StoredDosAttrib& stored)
{
    const AttributeWord storedBits = stored.parsed ? stored.parsed->attributes & ~kReadOnly : 0;
    return storedBits | (isReadOnlyMode(mode) ? kReadOnly : 0);
}

// The process's file mode creation mask, read without changing it (umask() would, for a moment,
// for every thread). /proc/self/status carries it since Linux 4.7; the usual 022 otherwise.
mode_t currentUmask()
{
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (!status) return 022;
    mode_t mask = 022;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        unsigned value = 0;
        if (std::sscanf(line, "Umask: %o", &value) == 1) {
            mask = mode_t(value & 0777);
            break;
        }
    }
    std::fclose(status);
    return mask;
}

// The mode that clears read-only: the owner may write again, and group and others where they
// may read, within the umask, the way a newly created file would have been given write bits.
mode_t writableMode(mode_t mode)
{
    if (!isReadOnlyMode(mode)) return mode;
    const mode_t readersWrite = (mode & (S_IRGRP | S_IROTH)) >> 1;
    return mode | S_IWUSR | (readersWrite & ~currentUmask());
}

Failure writeDosAttrib(const std::string& path, const DosAttrib& value)
{
    const std::vector<std::byte> bytes = encodeDosAttrib(value);
    if (::setxattr(path.c_str(), kDosAttribName, bytes.data(), bytes.size(), 0) == 0) return {};
    return Failure::fromErrno(errno).within("its attributes cannot be stored");
}

Result<mode_t> regularFileMode(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return Failure::fromErrno(errno);
    if (!S_ISREG(info.st_mode)) return Failure(FailureKind::NotRegularFile, "not a regular file");
    return mode_t(info.st_mode & 07777);
}

}  // namespace

Result<AttributeState> attributeStateOf(const std::string& path)
{
    const auto mode = regularFileMode(path);
    if (!mode.ok()) return mode.failure();
    if (const auto ntfsWord = ntfsAttributeWordOf(path)) {
        AttributeState state;
        state.word = *ntfsWord | (isReadOnlyMode(*mode) ? kReadOnly : 0);
        state.storedCreationTime = readNtfsValue<8>(path, kNtfsCreationTimeName);
        return state;
    }
    const auto stored = readStoredDosAttrib(path);
    if (!stored.ok()) return stored.failure();
    AttributeState state;
    state.word = wordOf(*mode, *stored);
    if (stored->parsed) state.storedCreationTime = stored->parsed->creationTime;
    return state;
}

std::optional<AttributeState> readAttributeState(const std::string& path)
{
    auto state = attributeStateOf(path);
    if (!state.ok()) return std::nullopt;
    return std::move(state).value();
}

Failure setAttributeWord(const std::string& path, AttributeWord word, std::optional<convert::FileTime> creationTime)
{
    const auto mode = regularFileMode(path);
    if (!mode.ok()) return mode.failure();
    const mode_t finalMode = (word & kReadOnly) ? *mode & ~kAllWriteBits : writableMode(*mode);
    if (ntfsAttributeWordOf(path)) {
        // The mode first: with "permissions", ntfs-3g turns a chmod into the read-only attribute,
        // which the word written after it then states exactly. Without it the chmod is ignored.
        // The word is written even when the chmod is refused, so that read-only still lands.
        Failure modeFailure;
        if (*mode != finalMode && ::chmod(path.c_str(), finalMode) != 0) modeFailure = Failure::fromErrno(errno);
        if (creationTime && readNtfsValue<8>(path, kNtfsCreationTimeName) != creationTime)
            if (Failure stored = writeNtfsValue<8>(path, kNtfsCreationTimeName, *creationTime); stored.failed())
                modeFailure = stored;
        if (ntfsAttributeWordOf(path) != word)
            if (Failure stored = writeNtfsValue<4>(path, kNtfsAttribName, word); stored.failed()) return stored;
        return modeFailure;
    }
    const auto current = readStoredDosAttrib(path);
    if (!current.ok()) return current.failure();

    const std::optional<convert::FileTime> storedCreation = current->parsed ? current->parsed->creationTime : std::nullopt;
    const DosAttrib value{word, creationTime ? creationTime : storedCreation};
    const bool storeNeeded = current->exists ? !(current->parsed && current->parsed->attributes == word &&
                                                 current->parsed->creationTime == value.creationTime)
                                             : (word & ~kReadOnly) != 0 || creationTime;
    mode_t modeNow = *mode;

    Failure storeFailure;
    if (storeNeeded) storeFailure = writeDosAttrib(path, value);
    // Only someone who may write a file may set its user.* attributes (root aside), so a
    // read-only file that refused the store gets the owner's write bit for the moment of it.
    if (storeFailure.kind() == FailureKind::Permission && isReadOnlyMode(modeNow) &&
        ::chmod(path.c_str(), modeNow | S_IWUSR) == 0) {
        modeNow |= S_IWUSR;
        storeFailure = writeDosAttrib(path, value);
    }
    // The mode is the last write, so that no way out leaves a file asked to be read-only
    // writable; it is applied even when the other bits could not be stored, so that a file asked
    // to be read-only does not stay writable because its hidden bit found no place.
    Failure modeFailure;
    if (modeNow != finalMode && ::chmod(path.c_str(), finalMode) != 0) modeFailure = Failure::fromErrno(errno);
    return storeFailure.failed() ? storeFailure : modeFailure;
}

bool writeAttributeWord(const std::string& path, AttributeWord word)
{
    return !setAttributeWord(path, word).failed();
}

Failure setCreationTime(const std::string& path, convert::FileTime creationTime)
{
    const auto mode = regularFileMode(path);
    if (!mode.ok()) return mode.failure();
    if (ntfsAttributeWordOf(path)) {
        if (readNtfsValue<8>(path, kNtfsCreationTimeName) == creationTime) return {};
        return writeNtfsValue<8>(path, kNtfsCreationTimeName, creationTime);
    }
    const auto stored = readStoredDosAttrib(path);
    if (!stored.ok()) return stored.failure();
    if (stored->parsed && stored->parsed->creationTime == creationTime) return {};
    return writeDosAttrib(path, DosAttrib{wordOf(*mode, *stored), creationTime});
}

bool storeCreationTime(const std::string& path, convert::FileTime creationTime)
{
    return !setCreationTime(path, creationTime).failed();
}

void addWordAttributes(FinalMetadata& final, const std::string& path, AttributeWord word, convert::FileTime creationTime)
{
    const auto bytesOf = [](const auto& array) { return std::vector<std::byte>(array.begin(), array.end()); };
    if (ntfsAttributeWordOf(path)) {
        final.extendedAttributesAfterMode.push_back({kNtfsAttribName, bytesOf(toBigEndian<4>(word))});
        final.extendedAttributesAfterMode.push_back({kNtfsCreationTimeName, bytesOf(toBigEndian<8>(creationTime))});
        final.temporaryMark.push_back({kNtfsAttribName, bytesOf(toBigEndian<4>(kArchive | kHidden))});
        return;
    }
    final.extendedAttributes.push_back({kDosAttribName, encodeDosAttrib(DosAttrib{word, creationTime})});
    final.temporaryMark.push_back({kDosAttribName, encodeDosAttrib(DosAttrib{kHidden, std::nullopt})});
}

}  // namespace quorvane::fileinfo

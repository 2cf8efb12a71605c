// SPDX-License-Identifier: Apache-2.0
#include "base/temp_name.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <map>
#include <mutex>
#include <memory>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "base/folder_of.h"
#include "base/unique_fd.h"

namespace quorvane {
namespace {

constexpr std::string_view kMarker = ".quorvane-";
constexpr std::size_t kMaxNameBytes = 255;  // NAME_MAX of Linux file systems, NTFS's 255 units at most
constexpr std::size_t kRandomLength = 6;
constexpr std::size_t kHostTagLength = 8;

// Who wrote a temporary file: its process and the machine boot and namespace it ran in.
struct Owner {
    std::uint64_t processId = 0;
    std::uint64_t startTicks = 0;  // /proc/PID/stat field 22: clock ticks after boot
    std::uint32_t hostTag = 0;     // a hash of the boot id and the process-id namespace
};

// The whole content of a small /proc file, "" when it cannot be read.
std::string procText(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return {};
    char buffer[1024];
    const ssize_t length = ::read(fd.get(), buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, std::size_t(length)) : std::string();
}

// proc(5): the start time is field 22 of /proc/PID/stat, counted after the command name, which
// is in parentheses and may itself hold spaces and parentheses.
std::optional<std::uint64_t> startTicksOf(const std::string& processDir)
{
    const std::string stat = procText(processDir + "/stat");
    const auto commandEnd = stat.rfind(')');
    if (commandEnd == std::string::npos) return std::nullopt;
    std::size_t at = commandEnd + 1;
    for (int field = 3; field <= 22; ++field) {
        at = stat.find_first_not_of(' ', at);
        if (at == std::string::npos) return std::nullopt;
        const std::size_t end = std::min(stat.find(' ', at), stat.size());
        if (field == 22) {
            std::uint64_t ticks = 0;
            const auto [stop, error] = std::from_chars(stat.data() + at, stat.data() + end, ticks);
            if (error != std::errc() || stop != stat.data() + end) return std::nullopt;
            return ticks;
        }
        at = end;
    }
    return std::nullopt;
}

// 0 when the boot id or the namespace cannot be read: such a name is never judged stale.
std::uint32_t readHostTag()
{
    const std::string bootId = procText("/proc/sys/kernel/random/boot_id");
    struct stat pidNamespace {};
    if (bootId.empty() || ::stat("/proc/self/ns/pid", &pidNamespace) != 0) return 0;
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const char c : bootId + ':' + std::to_string(pidNamespace.st_ino)) hash = (hash ^ std::uint8_t(c)) * 16777619u;
    return hash == 0 ? 1 : hash;
}

// Read at each call, not kept: a forked child is another owner.
Owner ownProcess() { return {std::uint64_t(::getpid()), startTicksOf("/proc/self").value_or(0), readHostTag()}; }

// Six characters that make a name unique with high probability (mkostemp's alphabet).
std::string randomSuffix()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[kRandomLength] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != ssize_t(sizeof bytes)) {
        timespec now {};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        std::uint64_t mix = std::uint64_t(now.tv_nsec) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(::getpid());
        for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(mix >>= 8);
    }
    std::string suffix;
    for (const unsigned char byte : bytes) suffix += kAlphabet[byte % (sizeof kAlphabet - 1)];
    return suffix;
}

bool isLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }
bool isAlphanumeric(char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

// The next '-'-ended field of `rest` when it is 1 to `maxLength` characters that `fits`.
template <typename Fits>
std::optional<std::string_view> field(std::string_view& rest, std::size_t maxLength, Fits fits, bool last = false)
{
    const std::size_t end = last ? rest.size() : rest.find('-');
    if (end == std::string_view::npos || end == 0 || end > maxLength) return std::nullopt;
    const std::string_view value = rest.substr(0, end);
    for (const char c : value)
        if (!fits(c)) return std::nullopt;
    rest.remove_prefix(last ? end : end + 1);
    return value;
}

// The owner a name states, when it is one of ours in every character.
std::optional<Owner> ownerNamedBy(std::string_view name)
{
    const auto marker = name.rfind(kMarker);
    if (name.empty() || name.front() != '.' || marker == std::string_view::npos || marker < 1) return std::nullopt;
    std::string_view rest = name.substr(marker + kMarker.size());
    const auto processId = field(rest, 10, [](char c) { return c >= '0' && c <= '9'; });
    const auto startTicks = processId ? field(rest, 16, isLowerHex) : std::nullopt;
    const auto hostTag = startTicks ? field(rest, kHostTagLength, isLowerHex) : std::nullopt;
    const auto random = hostTag ? field(rest, kRandomLength, isAlphanumeric, true) : std::nullopt;
    if (!random || random->size() != kRandomLength || hostTag->size() != kHostTagLength) return std::nullopt;
    Owner owner;
    std::from_chars(processId->data(), processId->data() + processId->size(), owner.processId);
    std::from_chars(startTicks->data(), startTicks->data() + startTicks->size(), owner.startTicks, 16);
    std::from_chars(hostTag->data(), hostTag->data() + hostTag->size(), owner.hostTag, 16);
    return owner;
}

// True only when the owner has certainly ended: no process has its id, or the one that has it
// started at another moment. A process we may not signal or whose start cannot be read counts
// as live.
bool hasEnded(const Owner& owner)
{
    if (owner.processId == 0 || owner.processId > std::uint64_t(INT32_MAX) || owner.startTicks == 0) return false;
    if (::kill(pid_t(owner.processId), 0) != 0 && errno == ESRCH) return true;
    const auto startTicks = startTicksOf("/proc/" + std::to_string(owner.processId));
    return startTicks && *startTicks != owner.startTicks;
}

}  // namespace

std::string temporaryNameBeside(const std::string& target)
{
    const Owner own = ownProcess();
    char ownerText[64];
    std::snprintf(ownerText, sizeof ownerText, "%llu-%llx-%08x-", static_cast<unsigned long long>(own.processId),
                  static_cast<unsigned long long>(own.startTicks), unsigned(own.hostTag));
    const std::string suffix = std::string(kMarker) + ownerText + randomSuffix();
    const auto slash = target.find_last_of('/');
    std::string baseName = slash == std::string::npos ? target : target.substr(slash + 1);
    if (1 + baseName.size() + suffix.size() > kMaxNameBytes) {
        std::size_t cut = kMaxNameBytes - 1 - suffix.size();
        while (cut > 0 && (std::uint8_t(baseName[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
        baseName.resize(cut);
    }
    return folderOf(target) + "/." + baseName + suffix;
}

int removeStaleTemporaryFiles(const std::string& folder)
{
    const std::uint32_t ownHostTag = readHostTag();
    if (ownHostTag == 0) return 0;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing) return 0;
    const int folderFd = ::dirfd(listing.get());
    int removed = 0;
    while (const dirent* entry = ::readdir(listing.get())) {
        const auto owner = ownerNamedBy(entry->d_name);
        if (!owner || owner->hostTag != ownHostTag || !hasEnded(*owner)) continue;
        struct stat info {};
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
        if (::unlinkat(folderFd, entry->d_name, 0) == 0) ++removed;
    }
    return removed;
}

void removeStaleTemporaryFilesNowAndThen(const std::string& folder)
{
    constexpr auto kSweepInterval = std::chrono::minutes(1);
    static std::mutex mutex;
    static std::map<std::string, std::chrono::steady_clock::time_point> lastSweeps;
    const auto now = std::chrono::steady_clock::now();
    {
        const std::lock_guard lock(mutex);
        const auto last = lastSweeps.find(folder);
        if (last != lastSweeps.end() && now - last->second < kSweepInterval) return;
        lastSweeps[folder] = now;
    }
    removeStaleTemporaryFiles(folder);
}

}  // namespace quorvane

// SPDX-License-Identifier: Apache-2.0
#include "tests/support/fileinfo_fixtures.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "fileinfo/file_snapshot.h"

namespace fs = std::filesystem;

namespace quorvane::testing {
namespace {

constexpr const char* kDosAttribName = "user.DOSATTRIB";

fs::path makeFolderIn(const fs::path& parent)
{
    std::string pattern = (parent / "quorvane-fileinfo-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return {};
    return pattern;
}

bool keepsXattrs(const fs::path& folder)
{
    const fs::path probe = folder / ".xattr-probe";
    { std::ofstream(probe) << "probe"; }
    const bool kept = ::setxattr(probe.c_str(), "user.quorvane-probe", "1", 1, 0) == 0;
    fs::remove(probe);
    return kept;
}

void removeTree(const fs::path& folder)
{
    std::error_code error;
    // Files a test made read-only must not stop the clean-up.
    for (const auto& entry : fs::recursive_directory_iterator(folder, error))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(folder, error);
}

void writeAllTo(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put <= 0) return;
        done += std::size_t(put);
    }
}

std::string readAllFrom(int fd)
{
    std::string text;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, std::size_t(got));
    return text;
}

}  // namespace

XattrScratchDir::XattrScratchDir(const fs::path& fallbackParent)
{
    for (const fs::path& parent : {fs::temp_directory_path(), fallbackParent}) {
        path_ = makeFolderIn(parent);
        if (!path_.empty() && keepsXattrs(path_)) return;
        if (!path_.empty()) removeTree(path_);
        path_.clear();
    }
}

XattrScratchDir::~XattrScratchDir()
{
    if (!path_.empty()) removeTree(path_);
}

fs::path XattrScratchDir::file(const std::string& name, const std::string& content) const
{
    const fs::path target = path_ / name;
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    EXPECT_TRUE(out) << "cannot write " << target;
    return target;
}

LockHoldingChild::LockHoldingChild(const fs::path& file, bool exclusive)
{
    int ready[2], release[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return;
    if (::pipe2(release, O_CLOEXEC) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return;
    }
    child_ = ::fork();
    if (child_ == 0) {
        // Only system calls from here on: the child of a test program.
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(file.c_str(), exclusive ? O_RDWR : O_RDONLY);
        struct flock lock {};
        lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
        lock.l_whence = SEEK_SET;
        const char answer = fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? '1' : '0';
        (void)!::write(ready[1], &answer, 1);
        char ignored;
        (void)!::read(release[0], &ignored, 1);  // returns when the parent closes its end
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    releaseFd_ = release[1];
    char answer = '0';
    if (child_ > 0 && ::read(ready[0], &answer, 1) == 1) holding_ = answer == '1';
    ::close(ready[0]);
}

LockHoldingChild::~LockHoldingChild()
{
    if (releaseFd_ >= 0) ::close(releaseFd_);
    if (child_ > 0) {
        int status = 0;
        ::waitpid(child_, &status, 0);
    }
}

std::optional<std::string> runOnPrivateMount(const char* fileSystemType, const char* options,
                                             const std::function<std::string(const fs::path&)>& body)
{
    const fs::path mountPoint = makeFolderIn(fs::temp_directory_path());
    if (mountPoint.empty()) return std::nullopt;
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        // The mount lives in the child's own mount namespace and disappears with it.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", mountPoint.c_str(), fileSystemType, 0, options) != 0)
            ::_exit(2);
        writeAllTo(report[1], body(mountPoint));
        ::_exit(0);
    }
    ::close(report[1]);
    const std::string message = child > 0 ? readAllFrom(report[0]) : "";
    ::close(report[0]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    fs::remove(mountPoint);
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) == 2) return std::nullopt;
    return message;
}

bool createEmptyFile(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd >= 0 && ::fchmod(fd, 0644) == 0 && ::close(fd) == 0;
}

std::optional<std::string> runOnFileSystemWithoutXattrs(
    const std::function<std::string(const fs::path&)>& body)
{
    return runOnPrivateMount("ramfs", nullptr, body);
}

std::optional<std::string> rawDosAttrib(const fs::path& file)
{
    std::string value(4096, '\0');
    const ssize_t length = ::getxattr(file.c_str(), kDosAttribName, value.data(), value.size());
    if (length < 0) return std::nullopt;
    value.resize(std::size_t(length));
    return value;
}

bool setRawDosAttrib(const fs::path& file, const std::string& value)
{
    return ::setxattr(file.c_str(), kDosAttribName, value.data(), value.size(), 0) == 0;
}

struct stat statOf(const fs::path& file)
{
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0) << "cannot stat " << file;
    return info;
}

void setAccessAndWriteTimes(const fs::path& file, timespec lastAccess, timespec lastWrite)
{
    const timespec times[2] = {lastAccess, lastWrite};
    EXPECT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0) << "cannot set the times of " << file;
}

FileTrace FileTrace::of(const fs::path& file)
{
    FileTrace trace;
    struct stat info {};
    const auto snapshot = fileinfo::ReadFileAttributeData(file.string());
    if (::stat(file.c_str(), &info) != 0 || !snapshot) return trace;
    trace.found = true;
    trace.lastAccess = info.st_atim;
    trace.lastWrite = info.st_mtim;
    trace.mode = info.st_mode;
    trace.attributes = snapshot->attributes;
    trace.creationTime = snapshot->creationTime;
    trace.rawDosAttrib = testing::rawDosAttrib(file);
    return trace;
}

bool FileTrace::operator==(const FileTrace& other) const
{
    const auto sameInstant = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return found == other.found && sameInstant(lastAccess, other.lastAccess) &&
           sameInstant(lastWrite, other.lastWrite) && mode == other.mode && attributes == other.attributes &&
           creationTime == other.creationTime && rawDosAttrib == other.rawDosAttrib;
}

void PrintTo(const FileTrace& trace, std::ostream* out)
{
    if (!trace.found) {
        *out << "{no file}";
        return;
    }
    *out << "{access " << trace.lastAccess.tv_sec << "." << trace.lastAccess.tv_nsec << ", write "
         << trace.lastWrite.tv_sec << "." << trace.lastWrite.tv_nsec << ", mode 0" << std::oct << trace.mode
         << std::dec << ", attributes 0x" << std::hex << trace.attributes << std::dec << ", created "
         << trace.creationTime << ", DOSATTRIB " << (trace.rawDosAttrib ? "stored" : "none") << "}";
}

std::string bytesFromHex(const std::string& hex)
{
    std::string bytes;
    std::string digits;
    for (const char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) continue;
        digits += c;
        if (digits.size() == 2) {
            bytes += char(std::stoi(digits, nullptr, 16));
            digits.clear();
        }
    }
    if (!digits.empty()) throw std::invalid_argument("odd number of hex digits");
    return bytes;
}

}  // namespace quorvane::testing

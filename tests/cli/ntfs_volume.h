// SPDX-License-Identifier: Apache-2.0
// A real NTFS volume for tests: mkntfs on an image file, mounted by ntfs-3g. Needs root,
// /dev/fuse, mkntfs and ntfs-3g; a test skips with skipReason() otherwise.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "tests/cli/cli_fixture.h"

namespace quorvane::testing {

inline std::optional<std::string> toolPath(const char* name)
{
    for (const char* folder : {"/usr/sbin", "/sbin", "/usr/bin", "/bin"})
        if (const std::filesystem::path path = std::filesystem::path(folder) / name; ::access(path.c_str(), X_OK) == 0) return path.string();
    return std::nullopt;
}

// A fresh NTFS file system in an image file under `folder`, mounted by ntfs-3g with `options`
// on folder/mnt while the object lives; unmounted on every way out. skipReason() says why there
// is no volume, "" when there is one.
class NtfsVolume {
public:
    NtfsVolume(const std::filesystem::path& folder, const std::string& options) : root_(folder / "mnt")
    {
        const auto mkntfs = toolPath("mkntfs"), ntfs3g = toolPath("ntfs-3g");
        if (::geteuid() != 0) skipReason_ = "mounting an NTFS volume needs root";
        else if (::access("/dev/fuse", R_OK | W_OK) != 0) skipReason_ = "no /dev/fuse";
        else if (!mkntfs || !ntfs3g) skipReason_ = "mkntfs or ntfs-3g is not installed (package ntfs-3g)";
        if (!skipReason_.empty()) return;
        const std::filesystem::path image = folder / "ntfs.img";
        { std::ofstream(image).close(); }
        std::filesystem::resize_file(image, 8 << 20);
        std::filesystem::create_directory(root_);
        if (std::system((*mkntfs + " -F -Q -q " + shellQuoted(image.string()) + " >/dev/null 2>&1").c_str()) != 0) {
            skipReason_ = "mkntfs failed";
            return;
        }
        const std::string mount = *ntfs3g + (options.empty() ? "" : " -o " + options) + " " +
                                  shellQuoted(image.string()) + " " + shellQuoted(root_.string()) + " >/dev/null 2>&1";
        if (std::system(mount.c_str()) != 0) skipReason_ = "ntfs-3g could not mount the image";
        else mounted_ = true;
    }
    ~NtfsVolume()
    {
        if (!mounted_) return;
        const std::string mountPoint = shellQuoted(root_.string());
        if (std::system(("umount " + mountPoint + " 2>/dev/null").c_str()) != 0)
            std::system(("umount -l " + mountPoint).c_str());
    }
    NtfsVolume(const NtfsVolume&) = delete;
    NtfsVolume& operator=(const NtfsVolume&) = delete;

    const std::string& skipReason() const { return skipReason_; }
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
    std::string skipReason_;
    bool mounted_ = false;
};

}  // namespace quorvane::testing

// SPDX-License-Identifier: Apache-2.0
#include "document/document_format.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "base/quiet_open.h"

namespace quorvane::document {
namespace {

constexpr std::array<unsigned char, 8> kCompoundFileSignature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::array<unsigned char, 4> kZipLocalHeaderSignature{'P', 'K', 3, 4};
constexpr std::array<unsigned char, 4> kZipEndRecordSignature{'P', 'K', 5, 6};  // an archive without entries

constexpr std::string_view kPackageExtensions[] = {"pptx", "pptm", "ppsx", "ppsm", "potx", "potm",
                                                   "docx", "docm", "dotx", "xlsx", "xlsm", "xltx"};

template <std::size_t N>
bool startsWith(std::span<const std::byte> bytes, const std::array<unsigned char, N>& signature)
{
    return bytes.size() >= N && std::equal(signature.begin(), signature.end(), bytes.begin(),
                                           [](unsigned char expected, std::byte got) { return std::byte(expected) == got; });
}

}  // namespace

std::optional<DocumentFormat> formatOfLeadingBytes(std::span<const std::byte> leadingBytes)
{
    if (startsWith(leadingBytes, kCompoundFileSignature)) return DocumentFormat::CompoundFile;
    if (startsWith(leadingBytes, kZipLocalHeaderSignature) || startsWith(leadingBytes, kZipEndRecordSignature))
        return DocumentFormat::Package;
    return std::nullopt;
}

Result<DocumentFormat> announcedFormat(std::span<const std::byte> leadingBytes)
{
    if (const auto announced = formatOfLeadingBytes(leadingBytes)) return *announced;
    return Failure(FailureKind::Unsupported,
                   leadingBytes.empty() ? "not a presentation: the file is empty"
                                        : "not a presentation: it begins with neither the signature of a compound "
                                          "file nor that of a ZIP archive");
}

bool hasPackageExtension(std::string_view path)
{
    const auto dot = path.find_last_of("./");
    if (dot == std::string_view::npos || path[dot] != '.') return false;
    const std::string_view extension = path.substr(dot + 1);
    return std::any_of(std::begin(kPackageExtensions), std::end(kPackageExtensions), [&](std::string_view known) {
        return extension.size() == known.size() && ::strncasecmp(extension.data(), known.data(), known.size()) == 0;
    });
}

DocumentFormat documentFormatOf(const std::string& path)
{
    const DocumentFormat byExtension = hasPackageExtension(path) ? DocumentFormat::Package : DocumentFormat::CompoundFile;
    return announcedFormatOfFile(path).value_or(byExtension);
}

std::optional<DocumentFormat> announcedFormatOfFile(const std::string& path)
{
    const UniqueFd fd = openWithoutAccessTime(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::array<std::byte, kCompoundFileSignature.size()> leading{};
    const ssize_t got = ::pread(fd.get(), leading.data(), leading.size(), 0);
    if (got <= 0) return std::nullopt;
    return formatOfLeadingBytes(std::span(leading).first(std::size_t(got)));
}

}  // namespace quorvane::document

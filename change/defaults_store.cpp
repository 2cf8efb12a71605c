// SPDX-License-Identifier: Apache-2.0
#include "change/defaults_store.h"

#include <sys/stat.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "base/random_access_file.h"
#include "base/temp_file.h"

namespace quorvane::change {
namespace {

constexpr std::uint64_t kMaxStoreBytes = 1 << 20;
constexpr std::string_view kFileHeader = "Windows Registry Editor Version 5.00";

std::string sectionLine()
{
    return std::string("[HKEY_CURRENT_USER\\") + kDefaultsKeyPath + "]";
}

// The registry matches key and value names without regard to letter case; our names are ASCII.
bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

std::string_view withoutLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    return line;
}

// Reads a quoted string starting at `text[position]` (which must be '"'), undoing the escapes;
// moves `position` past the closing quote. nullopt when the quote never closes.
std::optional<std::string> readQuoted(std::string_view text, std::size_t& position)
{
    if (position >= text.size() || text[position] != '"') return std::nullopt;
    std::string value;
    for (std::size_t i = position + 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            position = i + 1;
            return value;
        }
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char escaped = text[++i];
            value += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped;
            continue;
        }
        value += text[i];
    }
    return std::nullopt;
}

std::string quotedForStore(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\\' || c == '"') out += {'\\', c};
        else out += c;
    }
    return out + '"';
}

void setValue(NamedValues& values, const std::string& name, const std::string& value)
{
    for (auto& [existingName, existingValue] : values)
        if (equalsIgnoringCase(existingName, name)) {  // the stored name keeps its letter case
            existingValue = value;
            return;
        }
    values.emplace_back(name, value);
}

// The whole text of the store. nullopt when it cannot be opened; "" when it opened but cannot be
// read whole (larger than kMaxStoreBytes, an I/O error). `failure` receives the reason of either.
std::optional<std::string> readStoreText(const std::string& storePath, Failure& failure)
{
    auto file = PosixFile::openOrFailure(storePath, OpenMode::ReadShared);
    if (!file.ok()) {
        failure = file.failure();
        return std::nullopt;
    }
    const std::optional<std::uint64_t> size = file->size();
    if (size && *size > kMaxStoreBytes) {
        failure = Failure(FailureKind::Unsupported, "larger than 1 MiB");
        return std::string();
    }
    auto bytes = readWhole(*file, kMaxStoreBytes);
    if (!bytes) {
        failure = Failure::fromErrno(errno);
        return std::string();
    }
    return std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}

bool writeStoreText(const std::string& storePath, const std::string& text, const TargetWrapper& wrapTarget = {})
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(storePath).parent_path(), error);
    return replaceWholeFile(storePath, [&text](RandomAccessFile& file) {
        return file.writeAt(0, std::as_bytes(std::span(text.data(), text.size())));
    }, wrapTarget);
}

}  // namespace

std::string defaultsStorePath()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (configHome && configHome[0] == '/') {
        folder = configHome;
    } else if (const char* home = std::getenv("HOME"); home && home[0] != '\0') {
        folder = std::string(home) + "/.config";
    } else {
        return "";
    }
    return folder + "/lomberk/quorvane.reg";
}

NamedValues parseDefaultsStore(std::string_view storeText)
{
    NamedValues values;
    bool inDefaultsKey = false;
    const std::string ourSection = sectionLine();
    while (!storeText.empty()) {
        const std::size_t lineEnd = storeText.find('\n');
        const std::string_view line = withoutLineEnd(storeText.substr(0, lineEnd));
        storeText.remove_prefix(lineEnd == std::string_view::npos ? storeText.size() : lineEnd + 1);

        if (line.starts_with('[')) {
            inDefaultsKey = equalsIgnoringCase(line, ourSection);
            continue;
        }
        if (!inDefaultsKey) continue;
        std::size_t position = 0;
        const auto name = readQuoted(line, position);
        if (!name || position >= line.size() || line[position] != '=') continue;
        ++position;
        const auto value = readQuoted(line, position);
        if (value && position == line.size()) setValue(values, *name, *value);
    }
    return values;
}

std::string formatDefaultsStore(const NamedValues& values)
{
    std::string text = std::string(kFileHeader) + "\n\n" + sectionLine() + "\n";
    for (const auto& [name, value] : values) text += quotedForStore(name) + "=" + quotedForStore(value) + "\n";
    return text;
}

std::optional<NamedValues> openDefaultsKey(const std::string& storePath)
{
    if (storePath.empty()) return std::nullopt;
    struct stat info {};
    if (::stat(storePath.c_str(), &info) == 0) {
        Failure unread;  // a store that opens but cannot be read whole reads as empty
        const auto text = readStoreText(storePath, unread);
        return text ? std::optional(parseDefaultsStore(*text)) : std::nullopt;
    }
    if (errno != ENOENT) return std::nullopt;
    if (!writeStoreText(storePath, formatDefaultsStore({}))) return std::nullopt;
    return NamedValues{};
}

Result<NamedValues> readDefaultsKey(const std::string& storePath)
{
    if (storePath.empty()) return Failure(FailureKind::NotFound, "no store: neither XDG_CONFIG_HOME nor HOME is set");
    Failure failure;
    const auto text = readStoreText(storePath, failure);
    if (failure.failed()) return failure.within(storePath);
    return parseDefaultsStore(*text);
}

bool writeDefaultsKey(const std::string& storePath, const NamedValues& values, const TargetWrapper& wrapTarget)
{
    auto stored = openDefaultsKey(storePath);
    if (!stored) return false;
    for (const auto& [name, value] : values) setValue(*stored, name, value);
    return writeStoreText(storePath, formatDefaultsStore(*stored), wrapTarget);
}

std::string valueOf(const NamedValues& values, std::string_view name)
{
    for (const auto& [existingName, value] : values)
        if (equalsIgnoringCase(existingName, name)) return value;
    return "";
}

}  // namespace quorvane::change

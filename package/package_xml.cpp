#include "package/package_xml.h"

#include <algorithm>

#include "base/error.h"

namespace quorvane::package {
namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_doctype;

bool startsWithByteOrderMark(std::span<const std::byte> bytes)
{
    const auto startsWith = [bytes](std::initializer_list<unsigned char> mark) {
        return bytes.size() >= mark.size() &&
               std::equal(mark.begin(), mark.end(), bytes.begin(),
                          [](unsigned char m, std::byte b) { return std::byte(m) == b; });
    };
    return startsWith({0xEF, 0xBB, 0xBF}) || startsWith({0xFF, 0xFE}) || startsWith({0xFE, 0xFF});
}

class ByteVectorWriter final : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override
    {
        const auto* bytes = static_cast<const std::byte*>(data);
        out.insert(out.end(), bytes, bytes + size);
    }
    std::vector<std::byte> out;
};

}  // namespace

namespace {

// Parses `bytes` into `part`; "" on success, else what is wrong and where.
std::string parseInto(ParsedPart& part, std::span<const std::byte> bytes)
{
    const pugi::xml_parse_result result =
        part.document.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_auto);
    if (!result || !part.root())
        return std::string(result.description()) + " at offset " + std::to_string(result.offset);
    part.encoding = result.encoding;
    part.hasByteOrderMark = startsWithByteOrderMark(bytes);
    return "";
}

}  // namespace

ParsedPart parsePart(std::string name, std::span<const std::byte> bytes)
{
    ParsedPart part;
    part.name = std::move(name);
    if (const std::string problem = parseInto(part, bytes); !problem.empty())
        throw Error("The part '" + part.name + "' is not well-formed XML: " + problem);
    return part;
}

Result<ParsedPart> parseWellFormedPart(std::string name, std::span<const std::byte> bytes)
{
    ParsedPart part;
    part.name = std::move(name);
    if (const std::string problem = parseInto(part, bytes); !problem.empty())
        return Failure(FailureKind::Damaged, "package part not well-formed: " + partNameForPeople(part.name) + ": " + problem);
    return part;
}

std::string partNameForPeople(std::string entryName)
{
    std::replace(entryName.begin(), entryName.end(), '\\', '/');
    return entryName;
}

Failure checkPartBounds(std::string_view name, std::span<const std::byte> bytes)
{
    if (bytes.size() > kMaxPartBytes)
        return {FailureKind::Unsupported, "package part too large: " + partNameForPeople(std::string(name))};
    const auto markup = std::size_t(std::count(bytes.begin(), bytes.end(), std::byte{'<'}));
    if (markup > kMaxPartMarkupCount)
        return {FailureKind::Unsupported, "package part has too many elements: " + partNameForPeople(std::string(name))};
    return {};
}

Failure checkRewritable(const ParsedPart& part)
{
    for (const pugi::xml_node node : part.document.children())
        if (node.type() == pugi::node_doctype)
            return {FailureKind::Unsupported, "package part declares a document type: " + partNameForPeople(part.name)};
    return {};
}

std::vector<std::byte> savePart(const ParsedPart& part)
{
    ByteVectorWriter writer;
    const unsigned flags =
        pugi::format_raw | pugi::format_no_declaration | (part.hasByteOrderMark ? pugi::format_write_bom : 0u);
    part.document.save(writer, "", flags, part.encoding);
    return std::move(writer.out);
}

}  // namespace quorvane::package

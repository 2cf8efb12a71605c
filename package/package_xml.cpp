// SPDX-License-Identifier: Apache-2.0
#include "package/package_xml.h"

#include <algorithm>
#include <optional>

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

// The bytes of a part as the code units of the encoding the parser found.
class CodeUnits {
public:
    CodeUnits(std::span<const std::byte> bytes, std::size_t width, bool bigEndian)
        : bytes_(bytes), width_(width), bigEndian_(bigEndian)
    {
    }
    std::size_t size() const { return bytes_.size() / width_; }
    std::size_t width() const { return width_; }
    // The unit at `index`, or 0 past the end.
    char32_t at(std::size_t index) const
    {
        if (index >= size()) return 0;
        char32_t unit = 0;
        for (std::size_t i = 0; i < width_; ++i) {
            const std::size_t byteIndex = index * width_ + (bigEndian_ ? i : width_ - 1 - i);
            unit = (unit << 8) | char32_t(std::to_integer<unsigned>(bytes_[byteIndex]));
        }
        return unit;
    }
    bool startsWithAt(std::size_t index, std::string_view ascii) const
    {
        for (std::size_t i = 0; i < ascii.size(); ++i)
            if (at(index + i) != char32_t(ascii[i])) return false;
        return true;
    }
    // The index of the first `ascii` at or after `from`, or size().
    std::size_t find(std::string_view ascii, std::size_t from) const
    {
        for (; from < size(); ++from)
            if (startsWithAt(from, ascii)) return from;
        return size();
    }

private:
    std::span<const std::byte> bytes_;
    std::size_t width_;
    bool bigEndian_;
};

bool isXmlSpace(char32_t unit) { return unit == 0x20 || unit == 0x09 || unit == 0x0A || unit == 0x0D; }

std::optional<CodeUnits> codeUnitsOf(std::span<const std::byte> bytes, pugi::xml_encoding encoding)
{
    switch (encoding) {
    case pugi::encoding_utf8:
    case pugi::encoding_latin1: return CodeUnits(bytes, 1, false);
    case pugi::encoding_utf16_le: return CodeUnits(bytes, 2, false);
    case pugi::encoding_utf16_be: return CodeUnits(bytes, 2, true);
    case pugi::encoding_utf32_le: return CodeUnits(bytes, 4, false);
    case pugi::encoding_utf32_be: return CodeUnits(bytes, 4, true);
    default: return std::nullopt;
    }
}

// Keeps in `part` the bytes before its root element and the white space at its end, when the
// prolog holds only what the parser keeps as nodes (declaration, instructions, comments) and
// white space, as many nodes as the parser made. Otherwise keeps nothing, and savePart writes the
// whole part from the tree.
void keepProlog(ParsedPart& part, std::span<const std::byte> bytes)
{
    const auto units = codeUnitsOf(bytes, part.encoding);
    if (!units || bytes.size() % units->width() != 0) return;
    std::size_t index = units->at(0) == 0xFEFF ? 1 : 0;
    if (part.encoding == pugi::encoding_utf8 && part.hasByteOrderMark) index = 3;
    std::size_t nodesSeen = 0;
    for (;;) {
        while (index < units->size() && isXmlSpace(units->at(index))) ++index;
        std::string_view closing;
        std::size_t opening = 0;
        if (units->startsWithAt(index, "<?")) {
            closing = "?>", opening = 2;
        } else if (units->startsWithAt(index, "<!--")) {
            closing = "-->", opening = 4;
        } else if (units->at(index) == '<' && units->at(index + 1) != '!') {
            break;  // the root element
        } else {
            return;
        }
        const std::size_t end = units->find(closing, index + opening);
        if (end == units->size()) return;
        index = end + closing.size();
        ++nodesSeen;
    }
    std::size_t nodesParsed = 0;
    for (pugi::xml_node node = part.document.first_child(); node != part.root(); node = node.next_sibling())
        ++nodesParsed;
    if (nodesParsed != nodesSeen) return;
    std::size_t trailingStart = units->size();
    while (trailingStart > index && isXmlSpace(units->at(trailingStart - 1))) --trailingStart;
    part.prolog.assign(bytes.begin(), bytes.begin() + std::ptrdiff_t(index * units->width()));
    part.trailing.assign(bytes.begin() + std::ptrdiff_t(trailingStart * units->width()), bytes.end());
    part.prologKept = true;
}

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
    keepProlog(part, bytes);
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

std::string_view localNameOf(std::string_view qualifiedName)
{
    const auto colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

std::string nameInRootNamespace(const ParsedPart& part, std::string_view localName)
{
    const std::string_view rootName = part.root().name();
    const auto colon = rootName.find(':');
    if (colon == std::string_view::npos) return std::string(localName);
    return std::string(rootName.substr(0, colon + 1)) + std::string(localName);
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

namespace {

// `printed` (what pugixml wrote in `encoding`) with every carriage return written as the
// character reference "&#13;". pugixml writes a carriage return of a text or attribute value as
// it is, and a reader's end-of-line handling would turn it into a line feed (XML 1.0, 2.11);
// the parser normalized every literal one it read, so each left is a value's own.
std::vector<std::byte> withCarriageReturnsEscaped(std::vector<std::byte> printed, pugi::xml_encoding encoding)
{
    const auto units = codeUnitsOf(printed, encoding);
    if (!units || units->find("\r", 0) == units->size()) return printed;
    const std::size_t width = units->width();
    const bool bigEndian = encoding == pugi::encoding_utf16_be || encoding == pugi::encoding_utf32_be;
    std::vector<std::byte> escaped;
    escaped.reserve(printed.size() + 16 * width);
    for (std::size_t index = 0; index < units->size(); ++index) {
        const std::span<const std::byte> unit(printed.data() + index * width, width);
        if (units->at(index) != U'\r') {
            escaped.insert(escaped.end(), unit.begin(), unit.end());
            continue;
        }
        for (const char c : std::string_view("&#13;"))
            for (std::size_t i = 0; i < width; ++i)
                escaped.push_back((bigEndian ? i == width - 1 : i == 0) ? std::byte(c) : std::byte{0});
    }
    return escaped;
}

}  // namespace

std::vector<std::byte> savePart(const ParsedPart& part)
{
    ByteVectorWriter writer;
    if (!part.prologKept) {
        const unsigned flags =
            pugi::format_raw | pugi::format_no_declaration | (part.hasByteOrderMark ? pugi::format_write_bom : 0u);
        part.document.save(writer, "", flags, part.encoding);
        return withCarriageReturnsEscaped(std::move(writer.out), part.encoding);
    }
    for (pugi::xml_node node = part.root(); node; node = node.next_sibling())
        node.print(writer, "", pugi::format_raw, part.encoding);
    std::vector<std::byte> bytes = part.prolog;
    const std::vector<std::byte> nodes = withCarriageReturnsEscaped(std::move(writer.out), part.encoding);
    bytes.insert(bytes.end(), nodes.begin(), nodes.end());
    bytes.insert(bytes.end(), part.trailing.begin(), part.trailing.end());
    return bytes;
}

}  // namespace quorvane::package

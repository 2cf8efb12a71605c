// SPDX-License-Identifier: Apache-2.0
#include "table/json_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace quorvane::table {
namespace {

constexpr int kMaxDepth = 64;

class JsonParser {
public:
    explicit JsonParser(std::string_view text) : text_(text) {}

    Result<JsonValue> document()
    {
        JsonValue value = parseValue(0);
        skipBlanks();
        if (problem_.empty() && position_ != text_.size()) fail("text after the value");
        if (!problem_.empty()) return Failure(FailureKind::Damaged, "line " + std::to_string(problemLine_) + ": " + problem_);
        return value;
    }

private:
    void fail(std::string what)
    {
        if (!problem_.empty()) return;
        problem_ = std::move(what);
        problemLine_ = 1 + std::size_t(std::count(text_.begin(), text_.begin() + std::ptrdiff_t(position_), '\n'));
    }
    bool failed() const { return !problem_.empty(); }

    void skipBlanks()
    {
        while (position_ < text_.size() && (text_[position_] == ' ' || text_[position_] == '\t' ||
                                             text_[position_] == '\n' || text_[position_] == '\r'))
            ++position_;
    }

    bool take(char c)
    {
        skipBlanks();
        if (position_ < text_.size() && text_[position_] == c) {
            ++position_;
            return true;
        }
        return false;
    }

    bool takeWord(std::string_view word)
    {
        if (text_.substr(position_, word.size()) != word) return false;
        position_ += word.size();
        return true;
    }

    JsonValue parseValue(int depth)
    {
        JsonValue value;
        skipBlanks();
        if (depth > kMaxDepth) fail("nested deeper than " + std::to_string(kMaxDepth) + " levels");
        if (failed() || position_ >= text_.size()) {
            fail("a value is missing");
            return value;
        }
        const char c = text_[position_];
        if (c == '{') {
            value.kind = JsonValue::Kind::Object;
            ++position_;
            if (take('}')) return value;
            do {
                skipBlanks();
                if (position_ >= text_.size() || text_[position_] != '"') {
                    fail("a member name is missing");
                    return value;
                }
                std::string name = parseString();
                if (!take(':')) fail("':' is missing after a member name");
                JsonValue member = parseValue(depth + 1);
                if (failed()) return value;
                value.members.emplace_back(std::move(name), std::move(member));
            } while (take(','));
            if (!take('}')) fail("'}' or ',' is missing");
        } else if (c == '[') {
            value.kind = JsonValue::Kind::Array;
            ++position_;
            if (take(']')) return value;
            do {
                value.items.push_back(parseValue(depth + 1));
                if (failed()) return value;
            } while (take(','));
            if (!take(']')) fail("']' or ',' is missing");
        } else if (c == '"') {
            value.kind = JsonValue::Kind::String;
            value.text = parseString();
        } else if (takeWord("true") || takeWord("false")) {
            value.kind = JsonValue::Kind::Boolean;
            value.boolean = c == 't';
        } else if (takeWord("null")) {
        } else {
            value.kind = JsonValue::Kind::Number;
            value.text = parseNumber();
        }
        return value;
    }

    // RFC 8259 section 6: -? int frac? exp?
    std::string parseNumber()
    {
        const std::size_t start = position_;
        const auto digits = [&] {
            const std::size_t first = position_;
            while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9') ++position_;
            return position_ > first;
        };
        if (position_ < text_.size() && text_[position_] == '-') ++position_;
        bool ok = digits();
        if (ok && position_ < text_.size() && text_[position_] == '.') {
            ++position_;
            ok = digits();
        }
        if (ok && position_ < text_.size() && (text_[position_] == 'e' || text_[position_] == 'E')) {
            ++position_;
            if (position_ < text_.size() && (text_[position_] == '+' || text_[position_] == '-')) ++position_;
            ok = digits();
        }
        if (!ok) fail("not a JSON value");
        return std::string(text_.substr(start, position_ - start));
    }

    void appendUtf8(std::string& out, std::uint32_t codePoint)
    {
        if (codePoint < 0x80) {
            out += char(codePoint);
        } else if (codePoint < 0x800) {
            out += char(0xC0 | (codePoint >> 6));
            out += char(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            out += char(0xE0 | (codePoint >> 12));
            out += char(0x80 | ((codePoint >> 6) & 0x3F));
            out += char(0x80 | (codePoint & 0x3F));
        } else {
            out += char(0xF0 | (codePoint >> 18));
            out += char(0x80 | ((codePoint >> 12) & 0x3F));
            out += char(0x80 | ((codePoint >> 6) & 0x3F));
            out += char(0x80 | (codePoint & 0x3F));
        }
    }

    std::optional<std::uint32_t> hex4()
    {
        if (position_ + 4 > text_.size()) return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[position_++];
            value <<= 4;
            if (h >= '0' && h <= '9') value |= std::uint32_t(h - '0');
            else if (h >= 'a' && h <= 'f') value |= std::uint32_t(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') value |= std::uint32_t(h - 'A' + 10);
            else return std::nullopt;
        }
        return value;
    }

    // A string from its opening quote; RFC 8259 section 7, surrogate pairs joined.
    std::string parseString()
    {
        std::string out;
        ++position_;
        while (!failed()) {
            if (position_ >= text_.size()) {
                fail("a string is not closed");
                break;
            }
            const char c = text_[position_++];
            if (c == '"') break;
            if (static_cast<unsigned char>(c) < 0x20) fail("a control character inside a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            const char escape = position_ < text_.size() ? text_[position_++] : '\0';
            switch (escape) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                auto codePoint = hex4();
                if (codePoint && *codePoint >= 0xD800 && *codePoint < 0xDC00 && takeWord("\\u")) {
                    const auto low = hex4();
                    codePoint = low && *low >= 0xDC00 && *low < 0xE000
                                    ? std::optional(0x10000 + ((*codePoint - 0xD800) << 10) + (*low - 0xDC00))
                                    : std::nullopt;
                }
                if (!codePoint || (*codePoint >= 0xD800 && *codePoint < 0xE000)) fail("a bad \\u escape");
                else appendUtf8(out, *codePoint);
                break;
            }
            default: fail("a bad escape in a string");
            }
        }
        return out;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::string problem_;
    std::size_t problemLine_ = 0;
};

}  // namespace

const JsonValue* JsonValue::member(std::string_view name) const
{
    for (const auto& [memberName, value] : members)
        if (memberName == name) return &value;
    return nullptr;
}

Result<JsonValue> readJson(std::string_view text)
{
    return JsonParser(text).document();
}

}  // namespace quorvane::table

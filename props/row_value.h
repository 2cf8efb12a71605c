// SPDX-License-Identifier: Apache-2.0
// The typed value a change asks one of the 14 rows to take. Values travel typed from the front
// end that read them (a window's display text, a command-line option) to the format that stores
// them, so that a date is read once and converted once.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "props/catalogue.h"

namespace quorvane::props {

struct RowValue {
    enum class Kind {
        Keep,     // the row is left as it is
        Text,     // `text` (the text rows and the revision number)
        Minutes,  // `minutes` of total editing time
        Instant,  // `utcMs`: milliseconds since 1970-01-01 00:00 UTC (the date rows)
        Clear     // no value: an empty text; no date or no editing time (the property goes
                  // where a format lets it go, a .ppt's Created and Last saved store VT_NULL, a
                  // package keeps its dcterms:created and dcterms:modified)
    };
    Kind kind = Kind::Keep;
    std::string text;
    std::int64_t minutes = 0;
    std::int64_t utcMs = 0;

    static RowValue textValue(std::string text) { return {Kind::Text, std::move(text), 0, 0}; }
    static RowValue minutesValue(std::int64_t minutes) { return {Kind::Minutes, {}, minutes, 0}; }
    static RowValue instantValue(std::int64_t utcMs) { return {Kind::Instant, {}, 0, utcMs}; }
    static RowValue cleared() { return {Kind::Clear, {}, 0, 0}; }
    bool keeps() const { return kind == Kind::Keep; }

    friend bool operator==(const RowValue&, const RowValue&) = default;
};

using RowValues = std::array<RowValue, kRowCount>;

}  // namespace quorvane::props

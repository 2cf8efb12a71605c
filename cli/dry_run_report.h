// What a dry run of set or scrub prints for one file: "PATH: would change" followed by one
// indented line per value that would differ ("  Label: 'old' -> 'new'", values escaped for a
// line), or "PATH: nothing would change".
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "change/file_display.h"
#include "props/custom_property.h"

namespace quorvane::cli {

// The display read of `path` that a dry run starts from, or why the file cannot be read (also
// when `needsCustom` and its custom properties cannot be read: "custom properties: ...").
Result<change::FileDisplay> readForDryRun(const std::string& path, bool needsCustom);

class DryRunReport {
public:
    // Adds "  LABEL: 'FROM' -> 'TO'" when `from` and `to` differ.
    void addChange(std::string_view label, const std::string& from, const std::string& to);
    // Adds "  TEXT".
    void addLine(std::string_view text);
    // Adds a change line per custom property that `edits`, applied in order to `current`, would
    // set, replace or remove: "Custom NAME" from its value, "(absent)" for a new one, to its
    // new value or "(removed)".
    void addCustomChanges(const std::vector<props::CustomProperty>& current, std::span<const props::CustomEdit> edits);
    // Prints the report of `path` to `out`.
    void print(const std::string& path, std::ostream& out) const;

private:
    std::vector<std::string> lines_;
};

}  // namespace quorvane::cli

#include "cli/dry_run_report.h"

#include <algorithm>
#include <optional>

#include "cli/custom_options.h"
#include "cli/output_text.h"

namespace quorvane::cli {
namespace {

// One custom property through a dry run: its value before and after the edits (nullopt: absent).
struct CustomFate {
    std::string name;
    std::optional<std::string> before;
    std::optional<std::string> after;
};

}  // namespace

Result<change::FileDisplay> readForDryRun(const std::string& path, bool needsCustom)
{
    change::FileDisplay display = change::ReadFileForDisplay(path, needsCustom);
    if (display.failure.failed() || !display.snapshot || !display.rows) {
        const Failure& failure = display.failure.failed() ? display.failure : display.snapshotFailure;
        return failure.failed() ? failure : Failure(FailureKind::Io, "cannot be read");
    }
    if (needsCustom && display.customFailure.failed()) return display.customFailure.within("custom properties");
    return display;
}

void DryRunReport::addChange(std::string_view label, const std::string& from, const std::string& to)
{
    if (from != to)
        lines_.push_back("  " + escapedForLine(label) + ": '" + escapedForLine(from) + "' -> '" + escapedForLine(to) + "'");
}

void DryRunReport::addLine(std::string_view text) { lines_.push_back("  " + escapedForLine(text)); }

void DryRunReport::addCustomChanges(const std::vector<props::CustomProperty>& current,
                                    std::span<const props::CustomEdit> edits)
{
    std::vector<CustomFate> fates;
    for (const props::CustomProperty& property : current) fates.push_back({property.name, property.value, property.value});
    for (const props::CustomEdit& edit : edits) {
        const auto named = [&edit](const CustomFate& fate) { return props::sameCustomName(fate.name, edit.name); };
        switch (edit.kind) {
        case props::CustomEdit::Kind::Set:
            if (const auto found = std::find_if(fates.begin(), fates.end(), named); found != fates.end())
                found->after = shownValueOf(edit.value);
            else
                fates.push_back({edit.name, std::nullopt, shownValueOf(edit.value)});
            break;
        case props::CustomEdit::Kind::Remove:
            for (CustomFate& fate : fates)
                if (named(fate)) fate.after.reset();
            break;
        case props::CustomEdit::Kind::RemoveAll:
            for (CustomFate& fate : fates) fate.after.reset();
            break;
        }
    }
    for (const CustomFate& fate : fates)
        if (fate.before || fate.after)
            addChange("Custom " + fate.name, fate.before.value_or("(absent)"), fate.after.value_or("(removed)"));
}

void DryRunReport::print(const std::string& path, std::ostream& out) const
{
    out << escapedForLine(path) << (lines_.empty() ? ": nothing would change\n" : ": would change\n");
    for (const std::string& line : lines_) out << line << '\n';
}

}  // namespace quorvane::cli

// SPDX-License-Identifier: Apache-2.0
// The custom-property options of `quorvane-cli set`: --custom NAME=VALUE (text),
// --custom NAME:TYPE=VALUE (TYPE text, integer, number, yes-no or date), --remove-custom NAME and
// --remove-all-custom, each also as --option=VALUE; "--" ends the options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "props/custom_property.h"

namespace quorvane::cli {

struct CustomArguments {
    std::vector<std::string> rest;          // the arguments that are no custom-property option
    std::vector<props::CustomEdit> edits;   // in the order given
};

// The custom edits that `arguments` ask for and the other arguments. nullopt with the reason in
// `problem` ("set: --custom: ...") for a missing value or name, an unknown type, or a value its
// type cannot take (integers are 32-bit, dates as convert/iso_date_time.h and within convert/storable_date.h's bound).
std::optional<CustomArguments> takeCustomOptions(const std::vector<std::string>& arguments, std::string* problem);

// `edits` with each set given without a type (NAME=VALUE) of a property that `stored` holds, as
// the edits before it leave it, as an integer, number, yes-no or date re-read as that type: a
// value keeps its type unless one is given. Failure (Conversion) when the text is not one of that
// type: "--custom Count: 'ten' is not a 32-bit integer (its stored type is integer)".
Result<std::vector<props::CustomEdit>> keepingStoredTypes(std::vector<props::CustomEdit> edits,
                                                          std::vector<props::CustomProperty> stored);


}  // namespace quorvane::cli

// SPDX-License-Identifier: Apache-2.0
// The tool's standard output: std::cout writes through a buffer of its own that goes to
// descriptor 1 with write(2) and keeps the reason of the first write that failed, which the
// stream's state bits do not ("cannot write to standard output: no space left on the device").
#pragma once

#include <array>
#include <ostream>
#include <streambuf>

#include "base/failure.h"

namespace quorvane::cli {

class StandardOutput final : public std::streambuf {
public:
    // Becomes the buffer of `stream` (std::cout) until destroyed; on a terminal every output
    // operation is written out at once, elsewhere the buffer fills first.
    explicit StandardOutput(std::ostream& stream);
    // Writes out what is left and gives `stream` its earlier buffer back.
    ~StandardOutput() override;
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    // Writes out what is buffered. Failure{} when every byte given so far was written, else the
    // system's reason for the first write that failed (nothing is written after it).
    Failure flush();

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    std::ostream& stream_;
    std::streambuf* earlier_;
    std::array<char, 1 << 16> buffer_{};
    Failure failure_;
};

}  // namespace quorvane::cli

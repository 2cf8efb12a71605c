// SPDX-License-Identifier: Apache-2.0
// A RandomAccessFile wrapper that fails or cuts off a write sequence at a chosen call, for
// fault tests that move the failure point through every write of an operation.
#pragma once

#include <cerrno>
#include <cstdint>

#include "base/random_access_file.h"

namespace quorvane::testing {

class FaultyFile final : public RandomAccessFile {
public:
    enum class Mode {
        FailOne,  // mutating call number `at` fails (with errno `error`); later calls go through
        CutAfter  // the first `at` mutating calls go through; every later one fails untouched,
                  // so the file on disk is what a crash right after call `at` would leave
    };

    FaultyFile(RandomAccessFile& inner, Mode mode, int at, int error = ENOSPC)
        : inner_(inner), mode_(mode), at_(at), error_(error) {}

    bool readAt(std::uint64_t offset, std::span<std::byte> out) override { return inner_.readAt(offset, out); }
    bool writeAt(std::uint64_t offset, std::span<const std::byte> data) override
    {
        return pass() && inner_.writeAt(offset, data);
    }
    bool truncate(std::uint64_t length) override { return pass() && inner_.truncate(length); }
    bool sync() override { return pass() && inner_.sync(); }
    std::optional<std::uint64_t> size() override { return inner_.size(); }

    // Mutating calls seen so far (writes, truncations, syncs), refused ones included.
    int mutatingCalls() const { return calls_; }
    // Whether the fault point was reached; once false, the sequence ran to its end unharmed.
    bool triggered() const { return triggered_; }

    // Fault points reached by every FaultyFile of this test program so far; the program prints
    // the total when it ends.
    static int& faultPointsExercised();

private:
    bool pass()
    {
        ++calls_;
        const bool refuse = mode_ == Mode::FailOne ? calls_ == at_ : calls_ > at_;
        if (refuse) {
            if (!triggered_) ++faultPointsExercised();
            triggered_ = true;
            errno = error_;
        }
        return !refuse;
    }

    RandomAccessFile& inner_;
    Mode mode_;
    int at_;
    int error_;
    int calls_ = 0;
    bool triggered_ = false;
};

}  // namespace quorvane::testing

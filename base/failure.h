// SPDX-License-Identifier: Apache-2.0
// Why an operation failed, made where the failure arises and carried up unchanged: a kind that
// callers branch on, and the words a person reads ("no space left on the device", "damaged
// compound file: the FAT chain of the directory loops"). A default-constructed Failure means
// success. Result<T> is a value or the Failure that prevented it.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quorvane {

enum class FailureKind {
    None,
    NotFound,        // no such file, stream, part or property
    NotRegularFile,  // a folder, device or other non-file
    Locked,          // another process holds a conflicting lock
    ReadOnly,        // the file or its file system takes no writes
    Permission,      // the user may not do this
    NoSpace,         // the device or the user's quota is full
    Damaged,         // the bytes break their format
    Unsupported,     // a valid file that uses something we do not handle
    Conversion,      // a value that cannot be stored as asked
    Io,              // any other refusal of the operating system
};

class Failure {
public:
    Failure() = default;
    Failure(FailureKind kind, std::string text) : kind_(kind), text_(std::move(text))
    {
        assert(kind != FailureKind::None);
    }

    // The failure an errno value stands for, with the system's words for it (or ours, for the
    // common cases: "no such file", "permission denied", "no space left on the device",
    // "read-only file system"). `errnum` 0 is taken as an unexplained I/O failure.
    static Failure fromErrno(int errnum);

    bool failed() const { return kind_ != FailureKind::None; }
    FailureKind kind() const { return kind_; }
    // The words for a person; "" on success.
    const std::string& text() const { return text_; }

    // The same failure with `context` put in front ("backup: no space left on the device").
    Failure within(std::string_view context) const;

    friend bool operator==(const Failure&, const Failure&) = default;

private:
    FailureKind kind_ = FailureKind::None;
    std::string text_;
};

// Shorthands for the failures that several layers make.
Failure damaged(std::string_view what);          // "damaged <what>"
Failure lockedByAnotherProgram();                // "in use by another program"
Failure readOnlyFile();                          // "read-only"

// A value, or the failure that prevented it.
template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : failure_(std::move(failure)) { assert(failure_.failed()); }

    bool ok() const { return value_.has_value(); }
    const T& value() const& { assert(ok()); return *value_; }
    T& value() & { assert(ok()); return *value_; }
    T&& value() && { assert(ok()); return std::move(*value_); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    T& operator*() & { return value(); }
    // Failure{} when ok().
    const Failure& failure() const { return failure_; }

private:
    std::optional<T> value_;
    Failure failure_;
};

}  // namespace quorvane

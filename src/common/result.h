// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>

// The outcome of an operation that can fail: a value, or the reason it failed. A failure whose
// reason is empty has been reported through the caller's MessageSink already.

namespace ampvane {

struct Failure {
    std::string reason;
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : reason_(std::move(failure.reason)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Empty on success, and for a failure already reported.
    const std::string& Reason() const { return reason_; }

private:
    std::optional<T> value_;
    std::string reason_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failed_(true), reason_(std::move(failure.reason)) {}

    explicit operator bool() const { return !failed_; }
    const std::string& Reason() const { return reason_; }

private:
    bool failed_ = false;
    std::string reason_;
};

} // namespace ampvane

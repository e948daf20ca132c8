// SPDX-License-Identifier: MIT
// What a call that can fail gives back: what it made, or why it failed in
// words for the player (never empty), with the failing call's own code
// (errno, SQLite's) where there is one. A result must be looked at, a
// failure is made only with its reason, and the value of a failure is never
// read.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>

namespace nupew {

namespace detail {
// Why there is no value: a programming error, stopped in every build.
[[noreturn]] inline void NoValue(const QString &reason) {
    qFatal("a failed result's value was read (%s)", qPrintable(reason));
}
// A failure without a reason would leave the player with nothing to read.
inline QString Reason(QString reason) {
    Q_ASSERT_X(!reason.isEmpty(), "Result::Failure", "a failure needs its reason");
    return reason.isEmpty() ? QStringLiteral("?") : reason;
}
} // namespace detail

template <typename T = void> class [[nodiscard]] Result {
public:
    Result(T made) : value_(std::move(made)) {} // NOLINT: a value is a success
    static Result Failure(QString reason, int code = 0) {
        Result failed;
        failed.error_ = detail::Reason(std::move(reason));
        failed.code_ = code;
        return failed;
    }
    // The failure of another call, passed on.
    template <typename U> static Result Failure(const Result<U> &other) {
        return Failure(other.error(), other.code());
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return error_; }
    int code() const { return code_; }

    T &value() & {
        if (!value_) {
            detail::NoValue(error_);
        }
        return *value_;
    }
    const T &value() const & {
        if (!value_) {
            detail::NoValue(error_);
        }
        return *value_;
    }
    T &&value() && {
        if (!value_) {
            detail::NoValue(error_);
        }
        return std::move(*value_);
    }
    T value_or(T fallback) const & { return value_ ? *value_ : std::move(fallback); }
    T value_or(T fallback) && { return value_ ? std::move(*value_) : std::move(fallback); }

private:
    Result() = default;
    std::optional<T> value_;
    QString error_;
    int code_ = 0;
};

template <> class [[nodiscard]] Result<void> {
public:
    static Result Success() { return Result(true); }
    static Result Failure(QString reason, int code = 0) {
        Result failed(false);
        failed.error_ = detail::Reason(std::move(reason));
        failed.code_ = code;
        return failed;
    }
    template <typename U> static Result Failure(const Result<U> &other) {
        return Failure(other.error(), other.code());
    }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const QString &error() const { return error_; }
    int code() const { return code_; }

private:
    explicit Result(bool ok) : ok_(ok) {}
    bool ok_;
    QString error_;
    int code_ = 0;
};

// The success of a call that makes nothing.
inline Result<> Ok() {
    return Result<>::Success();
}

} // namespace nupew

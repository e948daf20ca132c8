// SPDX-License-Identifier: MIT
// What a call that can fail gives back: ok, or why it failed, in words for the
// player (never empty on failure); a call that makes something carries it too.
#pragma once

#include <QString>
#include <utility>

namespace nupew {

template <typename T = void> struct Result;

template <> struct Result<void> {
    bool ok = true;
    QString errorString; // why it failed; empty when it did not
    static Result Failure(const QString &reason) { return {false, reason}; }
};

template <typename T> struct Result : Result<void> {
    T value{}; // what the call made; meaningful only when ok

    Result() = default;
    Result(T made) : value(std::move(made)) {} // NOLINT: a value is a success
    static Result Failure(const QString &reason) {
        Result failed;
        failed.ok = false;
        failed.errorString = reason;
        return failed;
    }
};

} // namespace nupew

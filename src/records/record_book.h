// SPDX-License-Identifier: MIT
// The top-ten table: registration of a result, reading for display, reset.
#pragma once

#include "core/game_session.h"
#include "records/score_record.h"

#include <QDateTime>
#include <functional>

namespace nupew {

// One row of the records window, as text.
struct RecordRowText {
    QString name;
    QString faults;
    QString time;
    QString stamp;
};

class RecordBook final : public ResultTable {
public:
    using Clock = std::function<QDateTime()>;
    explicit RecordBook(Clock clock = &QDateTime::currentDateTime);

    // Enters a finished game's result under `playerName` when it qualifies
    // (each result has one chance); what to tell the player comes back,
    // shown by the caller once the file's lock is released.
    Registration Register(const GameResult &result, const QString &playerName) override;
    // The rows of the table as the records window shows them; creates an empty
    // file when there is none. When the table cannot be read, no rows, and why
    // (for the window to show).
    Result<QList<RecordRowText>> ReadRows();
    // Deletes the table's file whenever something of that name is there; the
    // whole warning when it could not be deleted. What is not a regular file
    // is never deleted.
    Result<> ResetTable();

private:
    Result<QByteArray> ReadFile(bool create);
    static Message Failure(const QString &what, const QString &reason);
    static QString FailureText(const QString &what, const QString &reason);

    Clock clock_;
};

QString FormatRecordTime(float seconds);

} // namespace nupew

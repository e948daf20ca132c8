// SPDX-License-Identifier: MIT
// The top-ten table: registration of a result, reading for display, reset.
#pragma once

#include "core/game.h"
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

class RecordBook final {
public:
    using Clock = std::function<QDateTime()>;
    RecordBook(GameResult &result, Dialogs &dialogs, Clock clock = &QDateTime::currentDateTime);

    // Enters the finished game's result under playerName when it qualifies.
    void RegisterRecord();
    // Whether the finished game's result is in the table.
    bool ResultRegistered() const { return result_.registered; }
    // The rows of the table as the records window shows them; creates an empty
    // file when there is none. When the table cannot be read, no rows, and why
    // (for the window to show).
    Result<QList<RecordRowText>> ReadRows();
    // Deletes the table's file whenever something of that name is there; the
    // whole warning when it could not be deleted. What is not a regular file
    // is never deleted.
    Result<> ResetTable();

    QString playerName;

private:
    Result<QByteArray> ReadFile(bool create);
    // Registers under the file's lock; the box to show afterwards, if any.
    std::optional<Message> RegisterUnderLock();
    static Message Failure(const QString &what, const QString &reason);
    static QString FailureText(const QString &what, const QString &reason);

    GameResult &result_;
    Dialogs &dialogs_;
    Clock clock_;
};

QString FormatRecordTime(float seconds);

} // namespace nupew

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
    RecordBook(Game &game, Dialogs &dialogs, Clock clock = &QDateTime::currentDateTime);

    // Enters the finished game's result under playerName when it qualifies.
    void RegisterRecord();
    // The rows of the table as the records window shows them; creates an empty
    // file when there is none.
    QList<RecordRowText> ShowRecords();
    // Deletes the table's file when it is there.
    void ResetTable();

    QString playerName;

private:
    std::optional<QByteArray> ReadFile(bool create);
    bool WriteFile(const QByteArray &bytes);

    Game &game_;
    Dialogs &dialogs_;
    Clock clock_;
};

QString FormatRecordTime(float seconds);

} // namespace nupew

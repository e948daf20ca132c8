// SPDX-License-Identifier: MIT
// The six game settings and the two small files that keep them.
#pragma once

#include "core/safe_files.h"
#include "core/seams.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace nupew {

inline const QString kOptionsFile = QStringLiteral("NUPEKI1.DAT");
inline const QString kDisplayFile = QStringLiteral("NUPEKI2.DAT");

// The fault limit that means none (なし), as NUPEKI1.DAT stores it.
inline constexpr qint16 kNoFaultLimit = 999;

// How a verse is shown (上の句/下の句 → 漢字/かな), as NUPEKI2.DAT stores it; any
// other stored value shows kanji.
enum TextMode : qint16 { kKanjiText = 0, kKanaText = 2 };

// The ranges a settings file's values are brought into.
inline constexpr qint16 kMaxQuestions = 100;
inline constexpr qint16 kMaxCards = 8;
inline constexpr qint16 kMaxRevealDelay = 100; // ten seconds a character

struct Settings {
    qint16 questionCount = 5;
    qint16 cardCount = 8;
    qint16 faultLimit = 8;
    qint16 revealDelay = 4; // tenths of a second before each revealed character
    qint16 upperTextMode = kKanjiText;
    qint16 lowerTextMode = kKanaText;

    // The faults a game allows; none for なし (kNoFaultLimit in the file).
    std::optional<int> FaultLimit() const {
        return faultLimit == kNoFaultLimit ? std::nullopt : std::optional<int>(faultLimit);
    }
    bool UpperInKana() const { return upperTextMode == kKanaText; }
    bool LowerInKana() const { return lowerTextMode == kKanaText; }
    // The reveal delay in the units the clocks count in.
    int RevealStepMs() const { return revealDelay * 100; }
    float RevealStepSeconds() const { return float(revealDelay) / 10.0f; }

    friend bool operator==(const Settings &, const Settings &) = default;
};

// The settings a menu item sets, by name rather than by member.
enum class SettingField { QuestionCount, RevealDelay, FaultLimit, UpperTextMode, LowerTextMode };
qint16 &FieldOf(Settings &settings, SettingField field);

// One record: the values in decimal, separated by commas, ended by CR LF.
QByteArray FormatRecord(const QList<qint16> &values);

// The first `count` values of a settings file. Values end at a comma or a line
// end, spaces around them are ignored and an empty value is 0; a value that is
// not a number, is missing or does not fit in 16 bits (after rounding half to
// even) is returned empty.
QList<std::optional<qint16>> ParseRecord(const QByteArray &content, int count);

// Writes one record atomically under the file's lock; the reason when it failed.
Result<> WriteRecordFile(const QString &name, const QList<qint16> &values);

// Writes several record files together under their locks: all or none. A
// failure's code is the index of the file that could not be written.
Result<> WriteRecordFiles(const QList<std::pair<QString, QList<qint16>>> &records);

// The settings files and the start-up steps that read them.
class SettingsStore final {
public:
    SettingsStore(Settings &settings, Dialogs &dialogs);

    // Start-up: creates missing files with the current values, then reads both
    // files, keeping the defaults for anything unreadable or out of range.
    void LoadAtStartUp();
    void WriteDefaultOptions();
    void WriteDefaultDisplay();
    void SaveSettings();
    void RestoreDefaultSettings();

private:
    void ReadOptions();
    void ReadDisplay();
    // Writes both files; the whole warning when either failed.
    Result<> WriteBoth(const Settings &values);
    // Writes one file; a failure is told.
    void WriteOrReport(const QString &name, const QList<qint16> &values);
    static QString WriteFailureText(const QString &what, const QString &reason, bool both);
    void ReportReadFailure(const QString &name, const QString &reason);
    // A box: what was done, or a warning.
    void Warn(const QString &text, bool done);

    Settings &settings_;
    Dialogs &dialogs_;
};

} // namespace nupew

// SPDX-License-Identifier: MIT
// The player's own options, apart from the files the game has always kept:
// every key, its type and its default declared once, in preferences.cpp.
#pragma once

#include "core/practice.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class QSettings;

namespace nupew {

// The on/off options, each kept under its own key.
enum class Flag { ShowDecisive, ReadAloud, ReadRecited, ReadLower, ReadOpening };
inline constexpr int kFlagCount = 5;

class Preferences final {
public:
    // Where the options are kept (QSettings organisation and application).
    static const QString kOrganization;
    static const QString kApplication;

    // Checks the files before anything opens them (QSettings reads in its
    // constructor and would block on a FIFO), then reads them. Returns what
    // to tell the player, each text once: files that cannot be used (the
    // defaults hold then, and nothing is written this run).
    QStringList Load();

    bool Get(Flag flag) const { return flags_[size_t(flag)]; }
    const PracticeMode &Practice() const { return practice_; }
    // The toolbar's buttons in the player's order; none kept yet, nothing.
    const std::optional<QStringList> &ToolbarArrangement() const { return toolbar_; }

    // Each keeps the new value for this run and writes it; what to tell the
    // player when it could not be written, empty when it was.
    QString Set(Flag flag, bool on);
    QString SetPractice(const PracticeMode &mode);
    QString SetToolbarArrangement(const QStringList &keys);

private:
    struct WriteProblem {
        QString checked; // what stands at the files' names
        QString file;    // the file QSettings could not write
    };
    WriteProblem Write(const std::function<void(QSettings &)> &write);
    static QString OptionsNotKept(const WriteProblem &problem);

    QString problem_; // why the files are not used this run
    std::array<bool, kFlagCount> flags_{};
    PracticeMode practice_;
    std::optional<QStringList> toolbar_;
};

} // namespace nupew

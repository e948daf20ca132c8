// SPDX-License-Identifier: MIT
// The player's own options, apart from the files the game has always kept:
// the on/off options of the table in options.h, 出題範囲 and the toolbar's
// arrangement, kept in the per-user options file a key at a time.
#pragma once

#include "core/match.h"
#include "core/practice.h"
#include "core/result.h"
#include "ui/shell/options.h"
#include "ui/shell/options_file.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace nupew {

class Preferences final : public QObject {
    Q_OBJECT
public:
    // Where the options are kept (QSettings organisation and application).
    static const QString kOrganization;
    static const QString kApplication;

    Preferences();

    // Checks the file before anything opens it, then reads it. Returns what
    // to tell the player, each text once: a file that cannot be used (the
    // defaults hold then, and nothing is written this run). A value of the
    // wrong kind or out of range gives way to its default, said once in the
    // log, and is left in the file as it is until the player sets it.
    QStringList Load();

    bool Get(Option option) const { return options_[size_t(option)]; }
    const PracticeMode &Practice() const { return practice_; }
    const match::MatchSetup &Match() const { return match_; }
    // The toolbar's buttons in the player's order; none kept yet, nothing.
    const std::optional<QStringList> &ToolbarArrangement() const { return toolbar_; }

    // Each keeps the new value for this run and writes its own keys only;
    // why, when it could not be written.
    Result<> Set(Option option, bool on);
    Result<> SetPractice(const PracticeMode &mode);
    Result<> SetMatch(const match::MatchSetup &setup);
    Result<> SetToolbarArrangement(const QStringList &keys);

signals:
    // An option changed (by the player, through Set).
    void changed(nupew::Option option, bool on);

private:
    Result<> Write(const QList<std::pair<QString, QByteArray>> &values);
    // A value read, or its default when it is missing or not one of ours.
    bool ReadBool(const IniText &text, const QString &key, bool byDefault);
    int ReadInt(const IniText &text, const QString &key, int low, int high, int byDefault);
    QString ReadString(const IniText &text, const QString &key);

    OptionsFile file_;
    QString problem_; // why the file is not used this run
    std::array<bool, kOptions.size()> options_{};
    PracticeMode practice_;
    match::MatchSetup match_;
    std::optional<QStringList> toolbar_;
};

} // namespace nupew

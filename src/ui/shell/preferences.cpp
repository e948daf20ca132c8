// SPDX-License-Identifier: MIT
// The player's own options, apart from the files the game has always kept.
#include "ui/shell/preferences.h"

#include "core/opponents.h"

#include "core/safe_files.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSettings>
#include <algorithm>
#include <cmath>

namespace nupew {
namespace {

// 出題範囲: the kind (PracticeKind, default the whole game), the chosen
// ranges, colours and decisive counts as strings of 0 and 1, and a span of
// poem numbers (0 to kPoemCount).
const QString kPracticeKind = QStringLiteral("practice/kind");
const QString kPracticeRanges = QStringLiteral("practice/ranges");
const QString kPracticeColours = QStringLiteral("practice/colours");
const QString kPracticeCounts = QStringLiteral("practice/counts");
const QString kPracticeFrom = QStringLiteral("practice/from");
const QString kPracticeTo = QStringLiteral("practice/to");
const QString kPracticeNewPerDay = QStringLiteral("practice/newPerDay");
const QString kPracticeNewOrder = QStringLiteral("practice/newOrder");
// The match: the layout rule, 暗記時間 in minutes, the opponent and the
// steady one's delay in tenths of a second, the decisive characters shown.
const QString kMatchLayout = QStringLiteral("match/layout");
const QString kMatchMemorise = QStringLiteral("match/memoriseMinutes");
const QString kMatchOpponent = QStringLiteral("match/opponent");
const QString kMatchDelay = QStringLiteral("match/steadyDelay");
const QString kMatchDecisive = QStringLiteral("match/showDecisive");
const QString kMatchLevel = QStringLiteral("match/level");

// The toolbar's buttons by key, joined by commas.
const QString kToolbarKey = QStringLiteral("toolbar/arrangement");
// Where the arrangement was kept before: read once, when ours has none yet,
// with its keys that numbered the buttons.
const QString kOldToolbarStore = QStringLiteral("TEMP11");
const QString kOldToolbarFile = QStringLiteral("MyToolbar1");
const QString kOldToolbarKey = QStringLiteral("True11");
const std::array<std::pair<const char *, const char *>, 10> kOldToolbarKeys = {{
    {"toku01", "newGameTool"},
    {"toku02", "closeBoardTool"},
    {"toku03", "toolSeparator1"},
    {"toku04", "viewRecordsTool"},
    {"toku05", "resetRecordsTool"},
    {"toku06", "toolSeparator2"},
    {"toku07", "showPoemListTool"},
    {"toku08", "helpContentsTool"},
    {"toku09", "toolSeparator3"},
    {"toku10", "showStatisticsTool"},
}};

QString Flags(const auto &flags) {
    QString text;
    for (const bool flag : flags) {
        text += flag ? u'1' : u'0';
    }
    return text;
}

void ReadFlags(const QString &text, auto &flags) {
    for (size_t i = 0; i < flags.size(); ++i) {
        flags[i] = qsizetype(i) < text.size() && text[qsizetype(i)] == u'1';
    }
}

QString Unusable(const QString &why) {
    return QCoreApplication::translate(
               "Preferences",
               "個人設定のファイルを使えません。初期設定で続け、保存はしません。\n%1")
        .arg(why);
}

std::optional<QStringList> ReadArrangement(const QSettings &store, const QString &key) {
    const QVariant value = store.value(key);
    if (!value.isValid() || value.typeId() != QMetaType::QString) {
        return std::nullopt; // nothing kept, or not ours
    }
    return value.toString().split(u',', Qt::SkipEmptyParts);
}

// The arrangement kept in the old store, in today's keys; nothing when there
// is none or it names a button we do not know.
std::optional<QStringList> OldArrangement(QStringList *problems) {
    if (const Result<> checked = CheckSettingsFiles(kOldToolbarStore, kOldToolbarFile);
        !checked.ok()) {
        problems->append(Unusable(checked.error()));
        return std::nullopt;
    }
    const QSettings store(kOldToolbarStore, kOldToolbarFile);
    std::optional<QStringList> keys = ReadArrangement(store, kOldToolbarKey);
    if (!keys) {
        return std::nullopt;
    }
    for (QString &key : *keys) {
        const auto *known =
            std::find_if(kOldToolbarKeys.begin(), kOldToolbarKeys.end(),
                         [&key](const auto &pair) { return key == QLatin1String(pair.first); });
        if (known == kOldToolbarKeys.end()) {
            return std::nullopt;
        }
        key = QString::fromLatin1(known->second);
    }
    return keys;
}

Q_LOGGING_CATEGORY(lcPreferences, "nupew.preferences")

// A value in the file that is not one of ours, said once in the log.
void NotOurs(const QString &key, const QByteArray &raw) {
    qCWarning(lcPreferences).noquote()
        << "the per-user option" << key << "=" << raw.left(40) << "is not a value of its kind;"
        << "its default holds";
}

QString NotKept(const QString &why) {
    return QCoreApplication::translate(
               "Preferences", "個人設定のファイルを使えません。設定は保存されていません。\n%1")
        .arg(why);
}

} // namespace

const QString Preferences::kOrganization = QStringLiteral("nupew");
const QString Preferences::kApplication = QStringLiteral("nupew");

Preferences::Preferences() : file_(kOrganization, kApplication) {
    for (const OptionSpec &spec : kOptions) {
        options_[size_t(spec.option)] = spec.byDefault;
    }
}

bool Preferences::ReadBool(const IniText &text, const QString &key, bool byDefault) {
    const std::optional<QByteArray> raw = text.Raw(key);
    if (!raw) {
        return byDefault;
    }
    if (const std::optional<bool> value = IniText::ToBool(*raw)) {
        return *value;
    }
    NotOurs(key, *raw);
    return byDefault;
}

int Preferences::ReadInt(const IniText &text, const QString &key, int low, int high,
                         int byDefault) {
    const std::optional<QByteArray> raw = text.Raw(key);
    if (!raw) {
        return byDefault;
    }
    if (const std::optional<int> value = IniText::ToInt(*raw);
        value && *value >= low && *value <= high) {
        return *value;
    }
    NotOurs(key, *raw);
    return byDefault;
}

QString Preferences::ReadString(const IniText &text, const QString &key) {
    const std::optional<QByteArray> raw = text.Raw(key);
    if (!raw) {
        return {};
    }
    if (const std::optional<QString> value = IniText::ToString(*raw)) {
        return *value;
    }
    NotOurs(key, *raw);
    return {};
}

QStringList Preferences::Load() {
    QStringList problems;
    const Result<> checked = CheckSettingsFiles(kOrganization, kApplication);
    const Result<IniText> text = checked.ok() ? file_.Read() : Result<IniText>::Failure(checked);
    if (!text.ok()) {
        problem_ = text.error();
        problems.append(Unusable(problem_));
        if (const Result<> old = CheckSettingsFiles(kOldToolbarStore, kOldToolbarFile); !old.ok()) {
            problems.append(Unusable(old.error()));
        }
        return problems;
    }
    const IniText &ini = text.value();
    for (const OptionSpec &spec : kOptions) {
        options_[size_t(spec.option)] =
            ReadBool(ini, QString::fromLatin1(spec.key), spec.byDefault);
    }
    practice_.kind = PracticeKind(
        ReadInt(ini, kPracticeKind, 0, int(PracticeKind::Drill), int(PracticeKind::All)));
    ReadFlags(ReadString(ini, kPracticeRanges), practice_.ranges);
    ReadFlags(ReadString(ini, kPracticeColours), practice_.colours);
    ReadFlags(ReadString(ini, kPracticeCounts), practice_.counts);
    practice_.from = ReadInt(ini, kPracticeFrom, 0, kPoemCount, 0);
    practice_.to = std::max(practice_.from, ReadInt(ini, kPracticeTo, 0, kPoemCount, 0));
    practice_.newPerDay = ReadInt(ini, kPracticeNewPerDay, 1, kMaxNewPerDay, kDefaultNewPerDay);
    practice_.newOrder = NewPoemOrder(
        ReadInt(ini, kPracticeNewOrder, 0, kNewPoemOrders - 1, int(NewPoemOrder::FirstSounds)));
    const match::MatchSetup defaults;
    match_.layout = match::LayoutRule(ReadInt(ini, kMatchLayout, 0, 1, int(defaults.layout)));
    match_.memoriseMinutes = ReadInt(ini, kMatchMemorise, 0, 15, defaults.memoriseMinutes);
    if (!std::ranges::count(match::kMemorisationMinutes, match_.memoriseMinutes)) {
        match_.memoriseMinutes = defaults.memoriseMinutes;
    }
    match_.opponent =
        match::OpponentKind(ReadInt(ini, kMatchOpponent, 0, 3, int(defaults.opponent)));
    match_.level = ReadInt(ini, kMatchLevel, 0, int(match::kLevels.size()) - 1, defaults.level);
    match_.steadyDelay =
        ReadInt(ini, kMatchDelay, int(match::SteadyOpponent::kFastest * 10),
                int(match::SteadyOpponent::kSlowest * 10), int(defaults.steadyDelay * 10)) /
        10.0;
    match_.showDecisive = ReadBool(ini, kMatchDecisive, defaults.showDecisive);
    if (ini.Raw(kToolbarKey)) {
        toolbar_ = ReadString(ini, kToolbarKey).split(u',', Qt::SkipEmptyParts);
    } else {
        toolbar_ = OldArrangement(&problems);
        if (toolbar_) {
            if (const Result<> kept = SetToolbarArrangement(*toolbar_); !kept.ok()) {
                problems.append(kept.error());
            }
        }
    }
    return problems;
}

Result<> Preferences::Set(Option option, bool on) {
    options_[size_t(option)] = on;
    const Result<> written =
        Write({{QString::fromLatin1(SpecOf(option).key), IniText::FromBool(on)}});
    emit changed(option, on);
    return written.ok() ? written : Result<>::Failure(NotKept(written.error()));
}

Result<> Preferences::SetPractice(const PracticeMode &mode) {
    practice_ = mode;
    const Result<> written = Write({{kPracticeKind, IniText::FromInt(int(mode.kind))},
                                    {kPracticeRanges, IniText::FromString(Flags(mode.ranges))},
                                    {kPracticeColours, IniText::FromString(Flags(mode.colours))},
                                    {kPracticeCounts, IniText::FromString(Flags(mode.counts))},
                                    {kPracticeFrom, IniText::FromInt(mode.from)},
                                    {kPracticeTo, IniText::FromInt(mode.to)},
                                    {kPracticeNewPerDay, IniText::FromInt(mode.newPerDay)},
                                    {kPracticeNewOrder, IniText::FromInt(int(mode.newOrder))}});
    return written.ok() ? written : Result<>::Failure(NotKept(written.error()));
}

Result<> Preferences::SetMatch(const match::MatchSetup &setup) {
    match_ = setup;
    const Result<> written =
        Write({{kMatchLayout, IniText::FromInt(int(setup.layout))},
               {kMatchMemorise, IniText::FromInt(setup.memoriseMinutes)},
               {kMatchOpponent, IniText::FromInt(int(setup.opponent))},
               {kMatchDelay, IniText::FromInt(int(std::lround(setup.steadyDelay * 10)))},
               {kMatchDecisive, IniText::FromBool(setup.showDecisive)},
               {kMatchLevel, IniText::FromInt(setup.level)}});
    return written.ok() ? written : Result<>::Failure(NotKept(written.error()));
}

Result<> Preferences::SetToolbarArrangement(const QStringList &keys) {
    toolbar_ = keys;
    const Result<> written = Write({{kToolbarKey, IniText::FromString(keys.join(u','))}});
    if (written.ok()) {
        return written;
    }
    return Result<>::Failure(
        QCoreApplication::translate("Preferences", "ツールバーの配置を保存できませんでした。\n%1")
            .arg(written.error()));
}

Result<> Preferences::Write(const QList<std::pair<QString, QByteArray>> &values) {
    if (!problem_.isEmpty()) {
        return Ok(); // told when they were loaded: nothing is written this run
    }
    if (const Result<> checked = CheckSettingsFiles(kOrganization, kApplication); !checked.ok()) {
        problem_ = checked.error();
        return checked;
    }
    return file_.Write(values);
}

} // namespace nupew

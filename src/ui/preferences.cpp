// SPDX-License-Identifier: MIT
// The player's own options, apart from the files the game has always kept.
#include "ui/preferences.h"

#include "core/safe_files.h"

#include <QCoreApplication>
#include <QSettings>

namespace nupew {
namespace {

struct FlagKey {
    Flag flag;
    const char *key;
    bool byDefault;
};

// clang-format off
constexpr std::array<FlagKey, kFlagCount> kFlags = {{
    {Flag::ShowDecisive, "board/showDecisive", false}, // 決まり字を表示
    {Flag::ReadAloud,    "voice/readAloud",    false}, // 読み上げる
    {Flag::ReadRecited,  "voice/recited",      false}, // 競技の読み方
    {Flag::ReadLower,    "voice/readLower",    false}, // 下の句も読む
    {Flag::ReadOpening,  "voice/opening",      false}, // ゲームの始めに序歌を読む
}};
// clang-format on

// 出題範囲: the kind (PracticeKind, default the whole game), the chosen
// ranges, colours and decisive counts as strings of 0 and 1, and a span of
// poem numbers (0 to kPoemCount).
const QString kPracticeKind = QStringLiteral("practice/kind");
const QString kPracticeRanges = QStringLiteral("practice/ranges");
const QString kPracticeColours = QStringLiteral("practice/colours");
const QString kPracticeCounts = QStringLiteral("practice/counts");
const QString kPracticeFrom = QStringLiteral("practice/from");
const QString kPracticeTo = QStringLiteral("practice/to");

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

} // namespace

const QString Preferences::kOrganization = QStringLiteral("nupew");
const QString Preferences::kApplication = QStringLiteral("nupew");

QStringList Preferences::Load() {
    QStringList problems;
    const Result<> checked = CheckSettingsFiles(kOrganization, kApplication);
    problem_ = checked.ok() ? QString() : checked.error();
    if (!checked.ok()) {
        problems.append(Unusable(problem_));
        if (const Result<> old = CheckSettingsFiles(kOldToolbarStore, kOldToolbarFile);
            !old.ok()) {
            problems.append(Unusable(old.error()));
        }
        return problems;
    }
    const QSettings store(kOrganization, kApplication);
    for (const FlagKey &flag : kFlags) {
        flags_[size_t(flag.flag)] =
            store.value(QString::fromLatin1(flag.key), flag.byDefault).toBool();
    }
    const int kind = store.value(kPracticeKind, int(PracticeKind::All)).toInt();
    practice_.kind =
        kind >= 0 && kind <= int(PracticeKind::Drill) ? PracticeKind(kind) : PracticeKind::All;
    ReadFlags(store.value(kPracticeRanges).toString(), practice_.ranges);
    ReadFlags(store.value(kPracticeColours).toString(), practice_.colours);
    ReadFlags(store.value(kPracticeCounts).toString(), practice_.counts);
    practice_.from = std::clamp(store.value(kPracticeFrom, 0).toInt(), 0, kPoemCount);
    practice_.to = std::clamp(store.value(kPracticeTo, 0).toInt(), practice_.from, kPoemCount);
    toolbar_ = ReadArrangement(store, kToolbarKey);
    if (!toolbar_) {
        toolbar_ = OldArrangement(&problems);
        if (toolbar_) {
            if (QString problem = SetToolbarArrangement(*toolbar_); !problem.isEmpty()) {
                problems.append(problem);
            }
        }
    }
    return problems;
}

QString Preferences::Set(Flag flag, bool on) {
    flags_[size_t(flag)] = on;
    const char *key = kFlags[size_t(flag)].key;
    return OptionsNotKept(
        Write([key, on](QSettings &store) { store.setValue(QString::fromLatin1(key), on); }));
}

QString Preferences::OptionsNotKept(const WriteProblem &problem) {
    if (!problem.checked.isEmpty()) {
        return QCoreApplication::translate(
                   "Preferences", "個人設定のファイルを使えません。設定は保存されていません。\n%1")
            .arg(problem.checked);
    }
    if (!problem.file.isEmpty()) {
        return QCoreApplication::translate(
                   "Preferences",
                   "個人設定のファイル %1 に書き込めませんでした。設定は保存されていません。")
            .arg(problem.file);
    }
    return {};
}

QString Preferences::SetPractice(const PracticeMode &mode) {
    practice_ = mode;
    return OptionsNotKept(Write([&mode](QSettings &store) {
        store.setValue(kPracticeKind, int(mode.kind));
        store.setValue(kPracticeRanges, Flags(mode.ranges));
        store.setValue(kPracticeColours, Flags(mode.colours));
        store.setValue(kPracticeCounts, Flags(mode.counts));
        store.setValue(kPracticeFrom, mode.from);
        store.setValue(kPracticeTo, mode.to);
    }));
}

QString Preferences::SetToolbarArrangement(const QStringList &keys) {
    toolbar_ = keys;
    const WriteProblem problem =
        Write([&keys](QSettings &store) { store.setValue(kToolbarKey, keys.join(u',')); });
    if (problem.checked.isEmpty() && problem.file.isEmpty()) {
        return {};
    }
    return QCoreApplication::translate("Preferences",
                                       "ツールバーの配置を保存できませんでした。\n%1")
        .arg(problem.checked.isEmpty()
                 ? QCoreApplication::translate("Preferences", "%1 に書き込めません")
                       .arg(problem.file)
                 : problem.checked);
}

Preferences::WriteProblem Preferences::Write(const std::function<void(QSettings &)> &write) {
    if (!problem_.isEmpty()) {
        return {}; // told when they were loaded
    }
    if (const Result<> checked = CheckSettingsFiles(kOrganization, kApplication); !checked.ok()) {
        problem_ = checked.error();
        return {problem_, {}};
    }
    QSettings store(kOrganization, kApplication);
    write(store);
    store.sync();
    if (store.status() != QSettings::NoError) {
        return {{}, store.fileName()};
    }
    return {};
}

} // namespace nupew

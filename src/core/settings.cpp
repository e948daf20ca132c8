// SPDX-License-Identifier: MIT
// The six game settings and the two small files that keep them.
#include "core/settings.h"

#include "core/file_names.h"
#include "core/safe_files.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace nupew {
namespace {

// Larger settings files can only be damaged ones; the first record is all we read.
constexpr qint64 kMaxSettingsBytes = 64 * 1024;

std::optional<qint16> ParseValue(const QByteArray &field) {
    const QByteArray text = field.trimmed();
    if (text.isEmpty()) {
        return qint16(0);
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(value); // the default rounding mode goes half to even
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    return qint16(rounded);
}

// The file's bytes; none when it is missing; why, when it is there but unusable.
Result<std::optional<QByteArray>> ReadSmallFile(const QString &name) {
    const Result<FileRead> read = ReadRegularFile(FindExisting(name), kMaxSettingsBytes);
    if (!read.ok()) {
        return Result<std::optional<QByteArray>>::Failure(read);
    }
    if (read.value().missing) {
        return std::optional<QByteArray>();
    }
    return std::optional(read.value().bytes);
}

qint16 InRange(std::optional<qint16> value, qint16 low, qint16 high, qint16 fallback) {
    if (!value) {
        return fallback;
    }
    return std::clamp(*value, low, high);
}

// The records of the two files, in the order the files keep them.
QList<qint16> OptionValues(const Settings &s) {
    return {s.questionCount, s.cardCount, s.faultLimit, s.revealDelay};
}

QList<qint16> DisplayValues(const Settings &s) {
    return {s.upperTextMode, s.lowerTextMode};
}

qint16 ValidTextMode(std::optional<qint16> value, qint16 fallback) {
    return (value == kKanjiText || value == kKanaText) ? *value : fallback;
}

} // namespace

QByteArray FormatRecord(const QList<qint16> &values) {
    QByteArray out;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += QByteArray::number(values[i]);
    }
    out += "\r\n";
    return out;
}

QList<std::optional<qint16>> ParseRecord(const QByteArray &content, int count) {
    QList<std::optional<qint16>> values;
    qsizetype lineStart = 0;
    while (values.size() < count && lineStart < content.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < content.size() && content[lineEnd] != '\r' && content[lineEnd] != '\n') {
            ++lineEnd;
        }
        const QByteArray line = content.mid(lineStart, lineEnd - lineStart);
        if (!line.trimmed().isEmpty()) {
            for (const QByteArray &field : line.split(',')) {
                if (values.size() == count) {
                    break;
                }
                values.append(ParseValue(field));
            }
        }
        lineStart = lineEnd + 1;
        if (lineEnd + 1 < content.size() && content[lineEnd] == '\r' &&
            content[lineEnd + 1] == '\n') {
            ++lineStart;
        }
    }
    while (values.size() < count) {
        values.append(std::nullopt);
    }
    return values;
}

Result<> WriteRecordFile(const QString &name, const QList<qint16> &values) {
    return WriteRecordFiles({{name, values}});
}

Result<> WriteRecordFiles(const QList<std::pair<QString, QList<qint16>>> &records) {
    QList<FileContents> files;
    std::vector<std::unique_ptr<FileLock>> locks;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QString path = ResolveName(records[i].first);
        locks.push_back(std::make_unique<FileLock>(path));
        if (const Result<> locked = locks.back()->Acquire(); !locked.ok()) {
            return Result<>::Failure(locked.error(), int(i));
        }
        files.append({path, FormatRecord(records[i].second)});
    }
    return WriteFilesTogether(files); // its code is the index too
}

SettingsStore::SettingsStore(Settings &settings, Dialogs &dialogs)
    : settings_(settings), dialogs_(dialogs) {}

void SettingsStore::LoadAtStartUp() {
    RemoveStaleTemporaries(QString(), {kOptionsFile, kDisplayFile});
    if (FileStateOf(kOptionsFile) == FileState::Missing) {
        WriteDefaultOptions();
    }
    ReadOptions();
    if (FileStateOf(kDisplayFile) == FileState::Missing) {
        WriteDefaultDisplay();
    }
    ReadDisplay();
}

void SettingsStore::ReportReadFailure(const QString &name, const QString &reason) {
    Warn(QCoreApplication::translate("Settings", "設定ファイル %1 を読めません。\n"
                                                 "理由: %2\n"
                                                 "初期設定で続けます。")
             .arg(name, reason),
         false);
}

void SettingsStore::WriteDefaultOptions() {
    WriteOrReport(kOptionsFile, OptionValues(settings_));
}

void SettingsStore::WriteDefaultDisplay() {
    WriteOrReport(kDisplayFile, DisplayValues(settings_));
}

void SettingsStore::ReadOptions() {
    const Result<std::optional<QByteArray>> content = ReadSmallFile(kOptionsFile);
    if (!content.ok()) {
        ReportReadFailure(FindExisting(kOptionsFile), content.error());
        return;
    }
    if (!content.value()) {
        return;
    }
    const auto values = ParseRecord(*content.value(), 4);
    const Settings defaults;
    settings_.questionCount = InRange(values[0], 1, kMaxQuestions, defaults.questionCount);
    settings_.cardCount = InRange(values[1], 1, kMaxCards, defaults.cardCount);
    settings_.faultLimit = InRange(values[2], 0, kNoFaultLimit, defaults.faultLimit);
    settings_.revealDelay = InRange(values[3], 0, kMaxRevealDelay, defaults.revealDelay);
}

void SettingsStore::ReadDisplay() {
    const Result<std::optional<QByteArray>> content = ReadSmallFile(kDisplayFile);
    if (!content.ok()) {
        ReportReadFailure(FindExisting(kDisplayFile), content.error());
        return;
    }
    if (!content.value()) {
        return;
    }
    const auto values = ParseRecord(*content.value(), 2);
    const Settings defaults;
    settings_.upperTextMode = ValidTextMode(values[0], defaults.upperTextMode);
    settings_.lowerTextMode = ValidTextMode(values[1], defaults.lowerTextMode);
}

Result<> SettingsStore::WriteBoth(const Settings &values) {
    // Both files are written under the same name the start-up reads them by,
    // and together: a failure leaves both as they were.
    const QStringList names{kOptionsFile, kDisplayFile};
    const Result<> written = WriteRecordFiles(
        {{kOptionsFile, OptionValues(values)}, {kDisplayFile, DisplayValues(values)}});
    if (!written.ok()) {
        return Result<>::Failure(
            WriteFailureText(names.value(written.code(), kOptionsFile), written.error(), true));
    }
    return Ok();
}

void SettingsStore::WriteOrReport(const QString &name, const QList<qint16> &values) {
    if (const Result<> written = WriteRecordFile(name, values); !written.ok()) {
        Warn(WriteFailureText(name, written.error(), false), false);
    }
}

void SettingsStore::SaveSettings() {
    const Result<> written = WriteBoth(settings_);
    Warn(written.ok() ? QCoreApplication::translate("Settings", "条件設定を保存しました。")
                      : written.error(),
         written.ok());
}

void SettingsStore::RestoreDefaultSettings() {
    const Settings defaults;
    const Result<> written = WriteBoth(defaults);
    settings_ = defaults;
    Warn(written.ok() ? QCoreApplication::translate("Settings", "初期設定に戻しました。")
                      : written.error(),
         written.ok());
}

void SettingsStore::Warn(const QString &text, bool done) {
    dialogs_.ShowMessage(
        done ? Message{text}
             : Message{text, kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
}

QString SettingsStore::WriteFailureText(const QString &what, const QString &reason, bool both) {
    return QCoreApplication::translate("Settings", "設定ファイル %1 に書き込めませんでした。\n"
                                                   "理由: %2\n"
                                                   "%3")
        .arg(what, reason,
             both ? QCoreApplication::translate("Settings", "設定は保存されていません"
                                                            "（%1 と %2 は元のままです）。")
                        .arg(kOptionsFile, kDisplayFile)
                  : QCoreApplication::translate("Settings", "設定は保存されていません。"));
}

qint16 &FieldOf(Settings &settings, SettingField field) {
    switch (field) {
    case SettingField::QuestionCount:
        return settings.questionCount;
    case SettingField::RevealDelay:
        return settings.revealDelay;
    case SettingField::FaultLimit:
        return settings.faultLimit;
    case SettingField::UpperTextMode:
        return settings.upperTextMode;
    case SettingField::LowerTextMode:
        break;
    }
    return settings.lowerTextMode;
}

} // namespace nupew

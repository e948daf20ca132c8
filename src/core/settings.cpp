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

// The file's bytes; nothing when it is missing or cannot be read, and then
// `why` says why when it is there but unusable.
std::optional<QByteArray> ReadSmallFile(const QString &name, QString *why) {
    ReadResult read = ReadRegularFile(FindExisting(name), kMaxSettingsBytes);
    if (!read.ok()) {
        if (read.status != ReadResult::Status::Missing) {
            *why = read.errorString;
        }
        return std::nullopt;
    }
    return read.bytes;
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
    QString failedName;
    return WriteRecordFiles({{name, values}}, &failedName);
}

Result<> WriteRecordFiles(const QList<std::pair<QString, QList<qint16>>> &records,
                            QString *failedName) {
    QList<FileContents> files;
    std::vector<std::unique_ptr<FileLock>> locks;
    for (const auto &[name, values] : records) {
        const QString path = ResolveName(name);
        locks.push_back(std::make_unique<FileLock>(path));
        if (Result<> locked = locks.back()->Acquire(); !locked.ok) {
            *failedName = name;
            return locked;
        }
        files.append({path, FormatRecord(values)});
    }
    QString failedPath;
    const Result<> written = WriteFilesTogether(files, &failedPath);
    if (!written.ok) {
        *failedName = QFileInfo(failedPath).fileName();
    }
    return written;
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
    dialogs_.ShowMessage({QCoreApplication::translate("Settings", "設定ファイル %1 を読めません。\n"
                                                                  "理由: %2\n"
                                                                  "初期設定で続けます。")
                              .arg(name, reason),
                          kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
}

void SettingsStore::WriteDefaultOptions() {
    WriteOrReport(kOptionsFile, OptionValues(settings_));
}

void SettingsStore::WriteDefaultDisplay() {
    WriteOrReport(kDisplayFile, DisplayValues(settings_));
}

void SettingsStore::ReadOptions() {
    QString why;
    const std::optional<QByteArray> content = ReadSmallFile(kOptionsFile, &why);
    if (!content) {
        if (!why.isEmpty()) {
            ReportReadFailure(FindExisting(kOptionsFile), why);
        }
        return;
    }
    const auto values = ParseRecord(*content, 4);
    const Settings defaults;
    settings_.questionCount = InRange(values[0], 1, 100, defaults.questionCount);
    settings_.cardCount = InRange(values[1], 1, 8, defaults.cardCount);
    settings_.faultLimit = InRange(values[2], 0, kNoFaultLimit, defaults.faultLimit);
    settings_.revealDelay = InRange(values[3], 0, 100, defaults.revealDelay);
}

void SettingsStore::ReadDisplay() {
    QString why;
    const std::optional<QByteArray> content = ReadSmallFile(kDisplayFile, &why);
    if (!content) {
        if (!why.isEmpty()) {
            ReportReadFailure(FindExisting(kDisplayFile), why);
        }
        return;
    }
    const auto values = ParseRecord(*content, 2);
    const Settings defaults;
    settings_.upperTextMode = ValidTextMode(values[0], defaults.upperTextMode);
    settings_.lowerTextMode = ValidTextMode(values[1], defaults.lowerTextMode);
}

bool SettingsStore::WriteBoth(const Settings &values) {
    // Both files are written under the same name the start-up reads them by,
    // and together: a failure leaves both as they were.
    QString failed;
    const Result<> written = WriteRecordFiles(
        {{kOptionsFile, OptionValues(values)}, {kDisplayFile, DisplayValues(values)}}, &failed);
    if (!written.ok) {
        ReportWriteFailure(failed, written.errorString, true);
    }
    return written.ok;
}

bool SettingsStore::WriteOrReport(const QString &name, const QList<qint16> &values) {
    const Result<> written = WriteRecordFile(name, values);
    if (!written.ok) {
        ReportWriteFailure(name, written.errorString, false);
    }
    return written.ok;
}

void SettingsStore::SaveSettings() {
    if (WriteBoth(settings_)) {
        dialogs_.ShowMessage({QCoreApplication::translate("Settings", "条件設定を保存しました。")});
    }
}

void SettingsStore::RestoreDefaultSettings() {
    const Settings defaults;
    const bool written = WriteBoth(defaults);
    settings_ = defaults;
    if (written) {
        dialogs_.ShowMessage({QCoreApplication::translate("Settings", "初期設定に戻しました。")});
    }
}

void SettingsStore::ReportWriteFailure(const QString &what, const QString &reason, bool both) {
    dialogs_.ShowMessage(
        {QCoreApplication::translate("Settings", "設定ファイル %1 に書き込めませんでした。\n"
                                                 "理由: %2\n"
                                                 "%3")
             .arg(what, reason,
                  both ? QCoreApplication::translate("Settings", "設定は保存されていません"
                                                                 "（%1 と %2 は元のままです）。")
                             .arg(kOptionsFile, kDisplayFile)
                       : QCoreApplication::translate("Settings", "設定は保存されていません。")),
         kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
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

// SPDX-License-Identifier: MIT
// The per-user options file, changed a key at a time.
#include "ui/shell/options_file.h"

#include "core/safe_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace nupew {
namespace {

const QByteArray kGeneral = "General";

// "group/key" as its section and its name in the section.
std::pair<QByteArray, QByteArray> Split(const QString &key) {
    const qsizetype slash = key.indexOf(u'/');
    if (slash < 0) {
        return {kGeneral, key.toUtf8()};
    }
    return {key.left(slash).toUtf8(), key.mid(slash + 1).toUtf8()};
}

bool IsSection(const QByteArray &line) {
    const QByteArray t = line.trimmed();
    return t.startsWith('[') && t.endsWith(']');
}

QByteArray SectionName(const QByteArray &line) {
    const QByteArray t = line.trimmed();
    return t.mid(1, t.size() - 2).trimmed();
}

// The key of a "key=value" line; empty for anything else.
QByteArray KeyOf(const QByteArray &line) {
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? QByteArray() : line.left(equals).trimmed();
}

} // namespace

IniText::IniText(const QByteArray &text) {
    if (text.isEmpty()) {
        return;
    }
    endsWithNewline_ = text.endsWith('\n');
    lines_ = text.split('\n');
    if (endsWithNewline_) {
        lines_.removeLast();
    }
}

IniText::Place IniText::Find(const QString &key) const {
    const auto [section, name] = Split(key);
    Place place;
    place.end = lines_.size();
    // Lines before any header belong to [General], as QSettings reads them.
    bool inside = section == kGeneral;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (IsSection(lines_[i])) {
            if (inside) {
                place.end = i; // our section ends here
            }
            inside = SectionName(lines_[i]) == section;
            if (inside) {
                place.section = i;
                place.end = lines_.size();
            }
        } else if (inside && KeyOf(lines_[i]) == name) {
            place.line = i;
        }
    }
    return place;
}

std::optional<QByteArray> IniText::Raw(const QString &key) const {
    const Place place = Find(key);
    if (place.line < 0) {
        return std::nullopt;
    }
    const QByteArray &line = lines_[place.line];
    return line.mid(line.indexOf('=') + 1).trimmed();
}

void IniText::SetRaw(const QString &key, const QByteArray &raw) {
    const auto [section, name] = Split(key);
    const QByteArray line = name + '=' + raw;
    const Place place = Find(key);
    if (place.line >= 0) {
        lines_[place.line] = line;
        return;
    }
    if (place.section >= 0 || (section == kGeneral && !lines_.isEmpty())) {
        // At the end of its section, before any blank lines that part it from the next.
        qsizetype at = place.end;
        while (at > place.section + 1 && lines_[at - 1].trimmed().isEmpty()) {
            --at;
        }
        lines_.insert(at, line);
        return;
    }
    if (!lines_.isEmpty() && !lines_.back().trimmed().isEmpty()) {
        lines_.append(QByteArray());
    }
    lines_.append('[' + section + ']');
    lines_.append(line);
}

QByteArray IniText::Text() const {
    QByteArray text = lines_.join('\n');
    if (endsWithNewline_ && !lines_.isEmpty()) {
        text += '\n';
    }
    return text;
}

QByteArray IniText::FromBool(bool value) {
    return value ? "true" : "false";
}

QByteArray IniText::FromInt(int value) {
    return QByteArray::number(value);
}

QByteArray IniText::FromString(const QString &value) {
    const QByteArray utf8 = value.toUtf8();
    bool quote = value.isEmpty() || value.front().isSpace() || value.back().isSpace() ||
                 value.startsWith(u'@');
    QByteArray escaped;
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            escaped += '\\';
            quote = true;
        } else if (c == ',' || c == ';' || c == '=' || c == '#') {
            quote = true;
        }
        escaped += c;
    }
    return quote ? '"' + escaped + '"' : escaped;
}

std::optional<bool> IniText::ToBool(const QByteArray &raw) {
    if (raw == "true") {
        return true;
    }
    if (raw == "false") {
        return false;
    }
    return std::nullopt;
}

std::optional<int> IniText::ToInt(const QByteArray &raw) {
    bool ok = false;
    const int value = raw.toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<QString> IniText::ToString(const QByteArray &raw) {
    if (raw.startsWith('@')) {
        return std::nullopt; // a value of another type (@Variant, @ByteArray …)
    }
    if (!raw.startsWith('"')) {
        return QString::fromUtf8(raw);
    }
    if (raw.size() < 2 || !raw.endsWith('"')) {
        return std::nullopt;
    }
    QByteArray text;
    for (qsizetype i = 1; i + 1 < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 2 < raw.size()) {
            ++i;
        }
        text += raw[i];
    }
    return QString::fromUtf8(text);
}

OptionsFile::OptionsFile(const QString &organization, const QString &application)
    : path_(SettingsFilePath(organization, application)) {}

Result<IniText> OptionsFile::Read() const {
    const Result<FileRead> read = ReadRegularFile(path_, kMaxBytes);
    if (!read.ok()) {
        return Result<IniText>::Failure(QStringLiteral("%1: %2").arg(path_, read.error()));
    }
    if (read.value().truncated) {
        return Result<IniText>::Failure(
            QCoreApplication::translate("Preferences", "%1: %2 MiB を超えるため読みません")
                .arg(path_)
                .arg(kMaxBytes >> 20));
    }
    return IniText(read.value().bytes);
}

Result<> OptionsFile::Write(const QList<std::pair<QString, QByteArray>> &values) const {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        return Result<>::Failure(
            QCoreApplication::translate("Preferences", "%1: フォルダーを作れません").arg(path_));
    }
    // The same lock QSettings takes, so that another copy never writes between.
    FileLock lock(path_);
    if (const Result<> locked = lock.Acquire(); !locked.ok()) {
        return Result<>::Failure(QStringLiteral("%1: %2").arg(path_, locked.error()));
    }
    Result<IniText> text = Read();
    if (!text.ok()) {
        return Result<>::Failure(text);
    }
    for (const auto &[key, raw] : values) {
        text.value().SetRaw(key, raw);
    }
    if (const Result<> written = WriteFileAtomically(path_, text.value().Text()); !written.ok()) {
        return Result<>::Failure(QStringLiteral("%1: %2").arg(path_, written.error()));
    }
    return Ok();
}

} // namespace nupew

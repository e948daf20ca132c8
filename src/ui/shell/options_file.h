// SPDX-License-Identifier: MIT
// The per-user options file, in the INI form QSettings has always written
// it: read whole (it is small, and refused when it is not), changed a key at
// a time, every other line kept byte for byte, written atomically.
#pragma once

#include "core/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace nupew {

// The text of an INI file: "[group]" lines and "key=value" lines; a key
// "group/key" lives in its group's section, a key without a group in [General].
class IniText final {
public:
    explicit IniText(const QByteArray &text = {});
    // The value as written (after the '='), none when the key is not there.
    std::optional<QByteArray> Raw(const QString &key) const;
    // Writes `raw` as the key's value: in place when the key is there, else
    // at the end of its group (made when missing). Nothing else changes.
    void SetRaw(const QString &key, const QByteArray &raw);
    QByteArray Text() const;

    // Values as QSettings writes them: true/false, a number, a string quoted
    // when it has to be.
    static QByteArray FromBool(bool value);
    static QByteArray FromInt(int value);
    static QByteArray FromString(const QString &value);
    // None when the raw text is not a value of that kind (another type, a
    // value of another program).
    static std::optional<bool> ToBool(const QByteArray &raw);
    static std::optional<int> ToInt(const QByteArray &raw);
    static std::optional<QString> ToString(const QByteArray &raw);

private:
    // Where a key's line is; -1 when it is not there. `section` is the index
    // of its group's header (-1: none), `end` where that section ends.
    struct Place {
        qsizetype line = -1;
        qsizetype section = -1;
        qsizetype end = 0;
    };
    Place Find(const QString &key) const;
    QList<QByteArray> lines_;
    bool endsWithNewline_ = true;
};

// The per-user options file of QSettings(organization, application), kept
// with IniText under its lock.
class OptionsFile final {
public:
    // Files larger than this are no options file of ours: refused whole.
    static constexpr qint64 kMaxBytes = 1 << 20;

    OptionsFile(const QString &organization, const QString &application);
    const QString &path() const { return path_; }
    // Reads the file (none yet: empty); refused with the reason when it is
    // not a regular file or larger than kMaxBytes.
    Result<IniText> Read() const;
    // Sets these keys, the rest of the file as it is now on disk.
    Result<> Write(const QList<std::pair<QString, QByteArray>> &values) const;

private:
    QString path_;
};

} // namespace nupew

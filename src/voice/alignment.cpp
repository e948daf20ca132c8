// SPDX-License-Identifier: MIT
// What a rendering said, read from the synthesizer's labels.
#include "voice/alignment.h"

#include <QRegularExpression>
#include <QStringList>

namespace nupew::voice {
namespace {

bool IsVowel(const QString &phone) {
    return phone.size() == 1 && QStringLiteral("aiueoAIUEO").contains(phone[0]);
}

bool IsSilence(const QString &phone) {
    return phone == u"sil" || phone == u"pau";
}

} // namespace

QList<Phone> ParseLabels(const QString &trace) {
    QList<Phone> phones;
    const qsizetype at = trace.indexOf(QStringLiteral("[Output label]"));
    if (at < 0) {
        return phones;
    }
    static const QRegularExpression line(QStringLiteral("^(\\d+)\\s+(\\d+)\\s+\\S*?-([^+]+)\\+"),
                                         QRegularExpression::MultilineOption);
    auto it = line.globalMatch(trace, at);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        phones.append({m.captured(1).toLongLong(), m.captured(2).toLongLong(), m.captured(3)});
    }
    return phones;
}

QString SpokenPhonemes(const QList<Phone> &phones) {
    QStringList names;
    for (const Phone &p : phones) {
        if (!IsSilence(p.name)) {
            names.append(IsVowel(p.name) ? p.name.toLower() : p.name);
        }
    }
    return names.join(u' ');
}

bool SaysTheText(QString spoken, QString expected) {
    // おう is said either way: "o u" or the o held, "o o".
    const auto fold = [](QString &s) {
        s = u' ' + s + u' ';
        while (s.contains(QStringLiteral(" o u "))) {
            s.replace(QStringLiteral(" o u "), QStringLiteral(" o o "));
        }
    };
    fold(spoken);
    fold(expected);
    return spoken == expected;
}

QList<qint64> MoraOnsets(const QList<Phone> &phones, qsizetype moraCount) {
    QList<qint64> onsets;
    bool open = false; // a consonant began a mora still waiting for its vowel
    for (const Phone &p : phones) {
        if (IsSilence(p.name)) {
            open = false;
            continue;
        }
        if (!open) {
            onsets.append(p.start);
        }
        open = !(IsVowel(p.name) || p.name == u"N" || p.name == u"cl");
    }
    if (onsets.size() != moraCount) {
        return {};
    }
    return onsets;
}

} // namespace nupew::voice

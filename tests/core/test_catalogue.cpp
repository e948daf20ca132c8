// SPDX-License-Identifier: MIT
// The forms of the built-in poem table, and its decisive characters against
// the public tables and on dealt boards.
#include "core/decisive.h"
#include "core/poem_catalogue.h"
#include "core/practice.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

using namespace nupew;

namespace {

const QChar kSpace(0x3000);

// The reference rows by column name, poems 1-100 in order.
QList<QHash<QString, QString>> Readings() {
    QFile file(QStringLiteral(READINGS));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", READINGS);
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const QStringList header = lines[0].split(u'\t');
    QList<QHash<QString, QString>> rows;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(u'\t');
        QHash<QString, QString> row;
        for (qsizetype c = 0; c < header.size() && c < fields.size(); ++c) {
            row[header[c]] = fields[c];
        }
        rows.append(row);
    }
    return rows;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private:
    PoemCatalogue catalogue_;

private slots:
    void initTestCase() { catalogue_.Fill(); }

    // Lower verses fill a card of 15, padded at the end, in plain kana (row 20
    // writes 月 in kanji so that its sixteen fit): the card order needs all 15.
    void cardsFitTheirPlaces() {
        for (int row = 0; row < 100; ++row) {
            for (const Column column : {kLowerKanji, kLowerKana}) {
                const QString card = catalogue_.Text(Poem::FromRow(row), column);
                QCOMPARE(card.size(), 15);
                QCOMPARE(card.count(kSpace),
                         card.size() - QString(card).remove(QRegularExpression("　+$")).size());
            }
            for (const QChar c : catalogue_.Text(Poem::FromRow(row), kLowerKana)) {
                const bool plainKana = c >= u'ぁ' && c <= u'ゖ' && c.decomposition().isEmpty();
                QVERIFY2(c == kSpace || plainKana || (row == 20 && c == u'月'),
                         qPrintable(catalogue_.Text(Poem::FromRow(row), kLowerKana)));
            }
        }
        QVERIFY(catalogue_.Text(Poem::FromRow(-1), kUpperKanji).isEmpty() &&
                catalogue_.Text(Poem::FromRow(100), kUpperKanji).isEmpty());
    }

    // Against the public reference, all hundred: the spoken verses (を may
    // stand for お) and the recited ones, the decisive characters as players say them, the
    // historical kana of the upper verse as the readings of its kanji spell
    // it, and the five colours.
    void allHundredAgainstTheReadings() {
        const QList<QHash<QString, QString>> readings = Readings();
        QCOMPARE(readings.size(), 100);
        const DecisiveTable table(catalogue_);
        const auto sound = [](QString text) { return text.replace(u'を', u'お'); };
        std::array<int, 7> byCount{};
        for (int p = 0; p < kPoemCount; ++p) {
            ++byCount[size_t(table.Count(Poem::FromRow(p)))];
            // The spelling of the same sounds (あふこ for おおこ), for the tooltip.
            QCOMPARE(table.Characters(Poem::FromRow(p)).size(), table.Count(Poem::FromRow(p)));
            const QHash<QString, QString> &r = readings[p];
            const QString poem = QString::number(p + 1);
            QVERIFY2(sound(catalogue_.Text(Poem::FromRow(p), kUpperSpoken)) ==
                         sound(r["upper_spoken"]),
                     qPrintable(poem));
            QVERIFY2(sound(catalogue_.Text(Poem::FromRow(p), kLowerSpoken)) ==
                         sound(r["lower_spoken"]),
                     qPrintable(poem));
            QVERIFY2(catalogue_.Text(Poem::FromRow(p), kUpperRecited) == r["upper_recited"] &&
                         catalogue_.Text(Poem::FromRow(p), kLowerRecited) == r["lower_recited"],
                     qPrintable(poem));
            QVERIFY2(table.Heard(Poem::FromRow(p)) == r["kimariji_spoken"],
                     qPrintable(poem + u' ' + table.Heard(Poem::FromRow(p))));
            QString spelled = r["upper_ruby"];
            spelled.replace(QRegularExpression(QStringLiteral("\\[[^|\\]]+\\|([^\\]]+)\\]")),
                            QStringLiteral("\\1"));
            QVERIFY2(catalogue_.Text(Poem::FromRow(p), kUpperKana) == spelled, qPrintable(poem));
            QVERIFY2(ColourName(ColourOf(p)) == r["colour"], qPrintable(poem));
            QVERIFY(catalogue_.Text(Poem::FromRow(p), kUpperKana)
                        .remove(kSpace)
                        .startsWith(table.Characters(Poem::FromRow(p))));
            // The pictures break the lower verse where its phrases meet: the
            // characters either side are the reference's, written or read.
            const QStringList phrases = r["lower_ruby"].split(kSpace);
            static const QRegularExpression token(
                QStringLiteral("\\[([^|\\]]+)\\|([^\\]]+)\\]|(.)"));
            QRegularExpressionMatch last;
            for (const QRegularExpressionMatch &m : token.globalMatch(phrases[0])) {
                last = m;
            }
            const QRegularExpressionMatch next = token.match(phrases[1]);
            const QString kanji = catalogue_.Text(Poem::FromRow(p), kLowerKanji);
            const int at = LowerVerseBreak(catalogue_, Poem::FromRow(p));
            const QString end =
                last.captured(3) + last.captured(1).right(1) + last.captured(2).right(1);
            const QString start =
                next.captured(3) + next.captured(1).left(1) + next.captured(2).left(1);
            QVERIFY2(at > 0 && end.contains(kanji[at - 1]) && start.contains(kanji[at]),
                     qPrintable(poem + u' ' + kanji.left(at) + u'/' + kanji.mid(at)));
        }
        QCOMPARE(byCount, (std::array<int, 7>{0, 7, 42, 37, 6, 2, 6}));
    }

    // In the kanji text the characters that carry the decisive kana are
    // coloured: only the kanji of a run whose reading holds a decisive sound;
    // every kanji verse matches its kana.
    void decisiveCharactersInTheKanjiText() {
        QCOMPARE(KanjiCharactersFor("秋の田の", "あきのたの", 3), 2); // inside a kanji
        QCOMPARE(KanjiCharactersFor("君がため　春の野に", "きみがため　はるののに", 6), 6);
        QCOMPARE(KanjiCharactersFor("朝ぼらけ　有明の", "あさぼらけ　ありあけの", 6),
                 6);                                                // 有 of 有明
        QCOMPARE(KanjiCharactersFor("秋の田", "はるすぎて", 2), 0); // cannot match
        const DecisiveTable table(catalogue_);
        // 村 of 村雨 (む), 奥 (おく), 筑 (つく), 淡路 (あはぢ), わたの原　八 (わたのはらや).
        const QList<QPair<int, QString>> marked = {
            {86, "村"}, {4, "奥"}, {12, "筑"}, {77, "淡路"}, {10, "わたの原　八"}, {1, "春す"}};
        for (const auto &[poem, text] : marked) {
            QCOMPARE(catalogue_.Text(Poem::FromRow(poem), kUpperKanji)
                         .left(table.LengthIn(Poem::FromRow(poem), kUpperKanji)),
                     text);
        }
        for (int p = 0; p < kPoemCount; ++p) {
            QVERIFY2(table.LengthIn(Poem::FromRow(p), kUpperKanji) > 0,
                     qPrintable(QString::number(p + 1)));
            QVERIFY(table.LengthIn(Poem::FromRow(p), kUpperKana) >= table.Count(Poem::FromRow(p)));
        }
    }

    // On the board only the poems on the cards count.
    void decisiveStepOnABoard() {
        const QString a = QStringLiteral("あさぼらけ　ありあけのつきと");
        const QString b = QStringLiteral("あさぼらけ　うぢのかはぎり");
        const QString c = QStringLiteral("あきのたの　かりほのいほの");
        QCOMPARE(DecisiveStep(a, {a, b, c}), 7); // the space is a step too
        QCOMPARE(DecisiveStep(a, {a, c}), 2);
        QCOMPARE(DecisiveStep(c, {a, b, c}), 2);
        QCOMPARE(DecisiveStep(a, {a}), 1);
        // Kanji texts may part earlier or later than their kana.
        QCOMPARE(
            DecisiveStep(QStringLiteral("朝ぼらけ　有明の"),
                         {QStringLiteral("朝ぼらけ　有明の"), QStringLiteral("朝ぼらけ　宇治の")}),
            6);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"

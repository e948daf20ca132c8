// SPDX-License-Identifier: MIT
// Decisive characters against the public tables, and decisive steps on boards.
#include "core/decisive.h"

#include <QTest>

using namespace nupew;

class TestDecisive : public QObject {
    Q_OBJECT

private:
    PoemCatalogue catalogue_;

private slots:
    void initTestCase() { catalogue_.Fill(); }

    // The traditional decisive characters of all hundred, as the public tables list them.
    void allHundredAgainstThePublicTable() {
        const QStringList expected =
            QStringLiteral(
                "あきの はるす あし たご おく かさ あまの わがい はなの これ わたのはらや あまつ "
                "つく "
                "みち きみがためは たち ちは す なにはが わび いまこ ふ つき この なにし をぐ "
                "みかの "
                "やまざ こころあ ありあ あさぼらけあ やまが ひさ たれ ひとは なつ しら わすら "
                "あさぢ "
                "しの こひ ちぎりき あひ あふこ あはれ ゆら やへ かぜを みかき きみがためを かく "
                "あけ "
                "なげき わすれ たき あらざ め ありま やす おほえ いに よを いまは あさぼらけう "
                "うら もろ "
                "はるの こころに あらし さ ゆふ おと たか うか ちぎりお わたのはらこ せ あはぢ "
                "あきか "
                "ながか ほ おも よのなかよ ながら よも なげけ む なにはえ たま みせ きり わがそ "
                "よのなかは みよ おほけ はなさ こぬ かぜそ ひとも もも")
                .split(u' ');
        QCOMPARE(expected.size(), 100);
        const DecisiveTable table(catalogue_);
        std::array<int, 7> byCount{};
        for (int p = 0; p < kPoemCount; ++p) {
            QVERIFY2(table.Characters(p) == expected[p],
                     qPrintable(QStringLiteral("poem %1: %2").arg(p + 1).arg(table.Characters(p))));
            ++byCount[table.Count(p)];
        }
        QCOMPARE(byCount, (std::array<int, 7>{0, 7, 42, 37, 6, 2, 6}));
        QCOMPARE(SpokenBeginning(catalogue_, 70).left(4), QStringLiteral("ゆうされ"));
    }

    // In the kanji text the characters that carry the decisive kana are coloured,
    // a run of kanji whole.
    void decisiveCharactersInTheKanjiText_data() {
        QTest::addColumn<QString>("kanji");
        QTest::addColumn<QString>("kana");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("length");
        QTest::newRow("inside a kanji") << "秋の田の"
                                        << "あきのたの" << 3 << 2;
        QTest::newRow("ends on kana") << "君がため　春の野に"
                                      << "きみがため　はるののに" << 6 << 6;
        QTest::newRow("second phrase") << "朝ぼらけ　有明の"
                                       << "あさぼらけ　ありあけの" << 6 << 7;
        QTest::newRow("cannot match") << "秋の田"
                                      << "はるすぎて" << 2 << 0;
    }

    void decisiveCharactersInTheKanjiText() {
        QFETCH(QString, kanji);
        QFETCH(QString, kana);
        QFETCH(int, count);
        QFETCH(int, length);
        QCOMPARE(KanjiCharactersFor(kanji, kana, count), length);
    }

    void everyKanjiVerseMatchesItsKana() {
        const DecisiveTable table(catalogue_);
        for (int p = 0; p < kPoemCount; ++p) {
            QVERIFY2(table.LengthIn(p, kUpperKanji) > 0, qPrintable(QString::number(p + 1)));
            QVERIFY(table.LengthIn(p, kUpperKana) >= table.Count(p));
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

QTEST_GUILESS_MAIN(TestDecisive)
#include "test_decisive.moc"

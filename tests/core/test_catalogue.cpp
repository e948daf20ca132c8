// SPDX-License-Identifier: MIT
// The forms of the built-in poem table.
#include "core/poem_catalogue.h"

#include <QTest>

using namespace nupew;

namespace {

const QChar kSpace(0x3000);

int TrailingSpaces(const QString &text) {
    int n = 0;
    for (qsizetype i = text.size() - 1; i >= 0 && text[i] == kSpace; --i) {
        ++n;
    }
    return n;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private:
    PoemCatalogue catalogue_;

private slots:
    void initTestCase() { catalogue_.Fill(); }

    void versesFitTheirPlaces() {
        int fifteenKana = 0;
        for (int row = 0; row < 100; ++row) {
            // Upper verses: three phrases parted by single spaces.
            for (const int column : {0, 2}) {
                const QString text = catalogue_.Text(row, column);
                QVERIFY2(text.count(kSpace) == 2 && !text.startsWith(kSpace) &&
                             !text.endsWith(kSpace) && !text.contains(QStringLiteral("　　")),
                         qPrintable(text));
                QVERIFY2(text.size() >= (column == 0 ? 14 : 19) && text.size() <= 21,
                         qPrintable(text));
            }
            // Lower verses fill a card of 15, the only spaces being the padding.
            const QString kanji = catalogue_.Text(row, 1);
            const QString kana = catalogue_.Text(row, 3);
            QCOMPARE(kanji.size(), 15);
            QCOMPARE(kana.size(), 15);
            QCOMPARE(kanji.count(kSpace), TrailingSpaces(kanji));
            QCOMPARE(kana.count(kSpace), TrailingSpaces(kana));
            QVERIFY(TrailingSpaces(kana) <= 1);
            fifteenKana += TrailingSpaces(kana) == 0;
            // Card kana are plain kana; row 20 writes 月 in kanji so that its sixteen fit.
            const QString voiced =
                QStringLiteral("がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽゔ");
            for (const QChar c : kana) {
                QVERIFY2(!voiced.contains(c) && (c == kSpace || (c >= u'ぁ' && c <= u'ゖ') ||
                                                 (row == 20 && c == u'月')),
                         qPrintable(kana));
            }
        }
        QCOMPARE(fifteenKana, 12);
    }

    void poetMarkers_data() {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("women") << QStringLiteral("●")
                               << QList<int>{1,  8,  18, 37, 52, 53, 55, 56, 57, 58, 59,
                                             60, 61, 64, 66, 71, 79, 87, 88, 89, 91};
        QTest::newRow("monks") << QStringLiteral("○")
                               << QList<int>{7, 9, 11, 20, 46, 65, 68, 69, 81, 84, 85, 86, 94, 95};
        QTest::newRow("longest names") << QStringLiteral("□") << QList<int>{75};
        QTest::newRow("emperors end with a square")
            << QStringLiteral("■") << QList<int>{0, 1, 12, 14, 19, 67, 76, 88, 98, 99};
    }

    void poetMarkers() {
        QFETCH(QString, marker);
        QFETCH(QList<int>, rows);
        QList<int> found;
        for (int row = 0; row < 100; ++row) {
            const QString poet = catalogue_.Text(row, 4);
            QVERIFY(QStringLiteral("　●○□△").contains(poet[0]));
            if (marker == QStringLiteral("■") ? poet.endsWith(marker) : poet.startsWith(marker)) {
                found.append(row);
            }
        }
        QCOMPARE(found, rows);
    }

    void outsideTheTableIsEmpty() {
        QVERIFY(catalogue_.Text(-1, 0).isEmpty());
        QVERIFY(catalogue_.Text(100, 0).isEmpty());
        QVERIFY(catalogue_.Text(0, 5).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"

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

QList<int> Rows(const QString &list) {
    QList<int> rows;
    for (const QString &n : list.split(u',', Qt::SkipEmptyParts)) {
        rows.append(n.trimmed().toInt());
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

    void upperVersesHaveThreePhrases() {
        for (int row = 0; row < 100; ++row) {
            for (const int column : {0, 2}) {
                const QString text = catalogue_.Text(row, column);
                QCOMPARE(text.count(kSpace), 2);
                QVERIFY2(!text.startsWith(kSpace) && !text.endsWith(kSpace), qPrintable(text));
                QVERIFY2(!text.contains(QStringLiteral("　　")), qPrintable(text));
                const int low = column == 0 ? 14 : 19;
                const int high = column == 0 ? 20 : 21;
                QVERIFY2(
                    text.size() >= low && text.size() <= high,
                    qPrintable(
                        QStringLiteral("row %1 column %2: %3").arg(row).arg(column).arg(text)));
            }
        }
    }

    void lowerVersesFillACard() {
        QList<int> unpaddedKanji;
        QList<int> fifteenKana;
        for (int row = 0; row < 100; ++row) {
            const QString kanji = catalogue_.Text(row, 1);
            const QString kana = catalogue_.Text(row, 3);
            QCOMPARE(kanji.size(), 15);
            QCOMPARE(kana.size(), 15);
            // The only spaces are the padding on the right.
            QCOMPARE(kanji.count(kSpace), TrailingSpaces(kanji));
            QCOMPARE(kana.count(kSpace), TrailingSpaces(kana));
            QVERIFY(TrailingSpaces(kanji) <= 5);
            QVERIFY(TrailingSpaces(kana) <= 1);
            if (TrailingSpaces(kanji) == 0) {
                unpaddedKanji.append(row);
            }
            if (TrailingSpaces(kana) == 0) {
                fifteenKana.append(row);
            }
        }
        QCOMPARE(unpaddedKanji, Rows(QStringLiteral("20, 72")));
        QCOMPARE(fifteenKana,
                 Rows(QStringLiteral("19, 20, 21, 22, 27, 37, 48, 72, 76, 78, 79, 98")));
    }

    void cardKanaHaveNoVoicedKana() {
        const QString voiced =
            QStringLiteral("がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽゔ");
        for (int row = 0; row < 100; ++row) {
            const QString kana = catalogue_.Text(row, 3);
            for (const QChar c : kana) {
                QVERIFY2(!voiced.contains(c),
                         qPrintable(QStringLiteral("row %1: %2").arg(row).arg(kana)));
                // Row 20 writes 月 in kanji so that its sixteen kana fit on the card.
                QVERIFY2(c == kSpace || (c >= u'ぁ' && c <= u'ゖ') || (row == 20 && c == u'月'),
                         qPrintable(kana));
            }
        }
    }

    void poetMarkers_data() {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("rows");
        QTest::newRow("women")
            << QStringLiteral("●")
            << "1, 8, 18, 37, 52, 53, 55, 56, 57, 58, 59, 60, 61, 64, 66, 71, 79, "
               "87, 88, 89, 91";
        QTest::newRow("monks") << QStringLiteral("○")
                               << "7, 9, 11, 20, 46, 65, 68, 69, 81, 84, 85, 86, 94, 95";
        QTest::newRow("longest name") << QStringLiteral("□") << "75";
        QTest::newRow("second longest") << QStringLiteral("△") << "90";
        QTest::newRow("emperors end with a square")
            << QStringLiteral("■") << "0, 1, 12, 14, 19, 67, 76, 88, 98, 99";
    }

    void poetMarkers() {
        QFETCH(QString, marker);
        QFETCH(QString, rows);
        QList<int> found;
        for (int row = 0; row < 100; ++row) {
            const QString poet = catalogue_.Text(row, 4);
            if (marker == QStringLiteral("■") ? poet.endsWith(marker) : poet.startsWith(marker)) {
                found.append(row);
            }
        }
        QCOMPARE(found, Rows(rows));
    }

    void everyPoetStartsWithAMarker() {
        int plain = 0;
        for (int row = 0; row < 100; ++row) {
            const QString poet = catalogue_.Text(row, 4);
            QVERIFY(QStringLiteral("　●○□△").contains(poet[0]));
            plain += poet[0] == kSpace;
            // A space inside the name only parts a two-character name.
            if (poet.mid(1).contains(kSpace)) {
                QVERIFY2(QList<int>({9, 18, 23, 37}).contains(row), qPrintable(poet));
                QCOMPARE(poet.size(), 4);
            }
        }
        QCOMPARE(plain, 63);
        QCOMPARE(catalogue_.Text(75, 4).size(), 13);
        QCOMPARE(catalogue_.Text(90, 4).size(), 11);
    }

    void outsideTheTableIsEmpty() {
        QVERIFY(catalogue_.Text(-1, 0).isEmpty());
        QVERIFY(catalogue_.Text(100, 0).isEmpty());
        QVERIFY(catalogue_.Text(0, 5).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"

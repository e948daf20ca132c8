// SPDX-License-Identifier: MIT
// The forms of the built-in poem table.
#include "core/poem_catalogue.h"

#include <QTest>
#include <map>

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

    // The class markers the poet labels are coloured by, and the emperors' square.
    void poetMarkers() {
        std::map<QChar, int> starts;
        int emperors = 0;
        for (int row = 0; row < 100; ++row) {
            const QString poet = catalogue_.Text(row, 4);
            ++starts[poet[0]];
            emperors += poet.endsWith(u'■');
        }
        QCOMPARE(starts,
                 (std::map<QChar, int>{{u'　', 63}, {u'●', 21}, {u'○', 14}, {u'□', 1}, {u'△', 1}}));
        QCOMPARE(emperors, 10);
        QVERIFY(catalogue_.Text(75, 4).startsWith(u'□') && catalogue_.Text(90, 4).startsWith(u'△'));
    }

    void outsideTheTableIsEmpty() {
        QVERIFY(catalogue_.Text(-1, 0).isEmpty());
        QVERIFY(catalogue_.Text(100, 0).isEmpty());
        QVERIFY(catalogue_.Text(0, 5).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"

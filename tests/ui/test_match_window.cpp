// SPDX-License-Identifier: MIT
// The match through its real window: mouse presses and drags on the mat,
// the arrow keys and Enter, Space, the countdown, sendings picked and by
// default, whole matches won, lost and read to the end; opened from the menu
// with its choices kept in the per-user options.
#include "history/history.h"
#include "ui/match/match_window.h"
#include "ui/shell/main_window.h"
#include "ui/shell/preferences.h"
#include "ui_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTest>

using namespace nupew;
using namespace nupew::testing;
using match::Side;

namespace {

const PoemCatalogue &Catalogue() {
    static const PoemCatalogue catalogue = [] {
        PoemCatalogue filled;
        filled.Fill();
        return filled;
    }();
    return catalogue;
}

// A match window on a clock the test moves.
struct MatchTable {
    explicit MatchTable(match::MatchSetup setup = {}, match::MatchLog *log = nullptr)
        : window(Catalogue(), setup, 4, [this] { return now; }) {
        window.SetMatchLog(log);
        window.resize(1366, 740);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    // The clock moves to the flow's next moment and the window wakes.
    bool Step() {
        const std::optional<double> next = window.flow().NextWake();
        if (!next) {
            return false;
        }
        now = std::max(now, *next);
        window.WakeNow();
        return true;
    }
    // Steps until the next reading's decisive characters are out.
    bool ToDecisive() {
        while (!(window.match().PoemsRead() > handled && window.match().ReadingOpen() &&
                 window.flow().decisiveAt())) {
            if (!Step()) {
                return false;
            }
        }
        handled = window.match().PoemsRead();
        return true;
    }
    // Arrow keys towards `poem`, as a player finds a card: true when focused.
    bool FocusByKeys(Poem poem) {
        MatWidget &mat = window.mat();
        for (int i = 0; i < 40 && mat.focused() != poem; ++i) {
            const QRect target = mat.CardRect(poem);
            const QRect at = mat.CardRect(mat.focused());
            const QPoint d = target.center() - at.center();
            QTest::keyClick(&mat, std::abs(d.y()) > target.height() / 2
                                      ? (d.y() > 0 ? Qt::Key_Down : Qt::Key_Up)
                                      : (d.x() > 0 ? Qt::Key_Right : Qt::Key_Left));
        }
        return mat.focused() == poem;
    }
    void Click(Poem poem) {
        const QRect r = window.mat().CardRect(poem);
        QVERIFY(r.isValid());
        QTest::mouseClick(&window.mat(), Qt::LeftButton, {}, r.center());
    }
    Poem Read() const { return window.match().current()->poem; }
    bool OnMat(Poem poem) const { return window.match().mat().Contains(poem); }
    Side Territory(Poem poem) const { return window.match().mat().Find(poem)->side; }

    double now = 0;
    int handled = 0; // readings looked at
    MatchWindow window;
};

} // namespace

class TestMatchWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }

    // The mat at 1366×768: fifty cards inside the window, none overlapping,
    // the opponent's above the line; a real drag moves a card while the cards
    // are memorised, and only then; the countdown ends 暗記時間.
    void matLayoutDragAndCountdown() {
        match::MatchSetup setup;
        setup.memoriseMinutes = 1;
        MatchTable t(setup);
        QList<QRect> rects;
        for (const Side side : {Side::Player, Side::Opponent}) {
            for (const Poem p : t.window.match().mat().Cards(side)) {
                const QRect r = t.window.mat().CardRect(p);
                QVERIFY(t.window.mat().rect().contains(r));
                QVERIFY(r.height() >= 70); // five characters a column stay readable
                for (const QRect &other : rects) {
                    QVERIFY(!r.intersects(other));
                }
                rects.append(r);
                QCOMPARE(t.window.mat().CardAt(r.center()), p);
            }
        }
        QCOMPARE(rects.size(), 50);
        const Poem mine = t.window.match().mat().rows(Side::Player)[2].front();
        const Poem theirs = t.window.match().mat().rows(Side::Opponent)[2].front();
        QVERIFY(t.window.mat().CardRect(theirs).bottom() < t.window.mat().CardRect(mine).top());
        QCOMPARE(MatWidget::CardText(Catalogue(), Poem::FromNumber(1)),
                 QStringLiteral("わかころもてはつゆにぬれつつ"));

        // Drag the player's first 下段 card onto the 上段.
        const QPoint from = t.window.mat().CardRect(mine).center();
        const Poem upperFirst = t.window.match().mat().rows(Side::Player)[0].front();
        const QPoint to = t.window.mat().CardRect(upperFirst).center() - QPoint(5, 0);
        QTest::mousePress(&t.window.mat(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), t.window.mat().mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&t.window.mat(), &move);
        QTest::mouseRelease(&t.window.mat(), Qt::LeftButton, {}, to);
        QCOMPARE(t.window.match().mat().Find(mine)->row, match::Row::Upper);
        QCOMPARE(t.window.match().mat().Find(mine)->index, 0);
        // Nothing is read while memorising; the countdown says what is left.
        QVERIFY(!t.window.flow().NextWake());
        auto *countdown = t.window.findChild<QLabel *>("countdown");
        QVERIFY(countdown->text().contains(QStringLiteral("1:00")));
        t.now = 59.2;
        QTRY_VERIFY(countdown->text().contains(QStringLiteral("0:01")));
        t.now = 60;
        QTRY_COMPARE(t.window.flow().phase(), match::MatchFlow::Phase::Opening);
        QVERIFY(!t.window.findChild<QPushButton *>("endMemorising")->isVisible());
        // Cards no longer move.
        const QPoint again = t.window.mat().CardRect(mine).center();
        QTest::mousePress(&t.window.mat(), Qt::LeftButton, {}, again);
        QTest::mouseRelease(&t.window.mat(), Qt::LeftButton, {}, from);
        QCOMPARE(t.window.match().mat().Find(mine)->row, match::Row::Upper);
    }

    // A solo match played with real clicks: own cards taken, the opponent's
    // taken and a card sent by a click, a fault touching across and the card
    // sent for it; every taking said in the announcement; won at the end.
    void wholeSoloMatchWithTheMouse() {
        match::MatchSetup setup;
        setup.memoriseMinutes = 3;
        MatchTable t(setup);
        QTest::mouseClick(t.window.findChild<QPushButton *>("endMemorising"), Qt::LeftButton);
        bool faulted = false;
        bool sentByClick = false;
        int readings = 0;
        while (t.window.flow().phase() != match::MatchFlow::Phase::Over && readings < 200) {
            QVERIFY(t.ToDecisive() || t.window.flow().phase() == match::MatchFlow::Phase::Over);
            if (t.window.flow().phase() == match::MatchFlow::Phase::Over) {
                break;
            }
            ++readings;
            const Poem read = t.Read();
            if (t.OnMat(read)) {
                const Side where = t.Territory(read);
                if (!faulted && where == Side::Player) {
                    // Across first: a fault, and the opponent sends a card.
                    t.Click(t.window.match().mat().Cards(Side::Opponent).front());
                    QVERIFY(
                        t.window.lastAnnouncement().contains(QStringLiteral("お手つき（自分）")));
                    faulted = true;
                }
                t.now += 0.3;
                t.Click(read);
                QVERIFY(t.window.lastAnnouncement().startsWith(QStringLiteral("自分が取りました")));
                QVERIFY(t.window.lastAnnouncement().contains(QStringLiteral("0.30 秒")));
                if (where == Side::Opponent) {
                    // The lower verse begins; the sending is asked for.
                    while (t.window.match().PlayerSendingsOwed() == 0 && t.Step()) {
                    }
                    if (t.window.flow().phase() == match::MatchFlow::Phase::Over) {
                        break;
                    }
                    const Poem send = t.window.match().mat().Cards(Side::Player).back();
                    t.Click(send);
                    QCOMPARE(t.Territory(send), Side::Opponent);
                    sentByClick = true;
                    if (t.window.flow().phase() == match::MatchFlow::Phase::Over) {
                        break; // the last card sent
                    }
                    QVERIFY2(t.window.lastAnnouncement().contains(QStringLiteral("送り札")),
                             qPrintable(t.window.lastAnnouncement()));
                    sentByClick = true;
                }
            }
            t.Step();
        }
        QCOMPARE(t.window.flow().phase(), match::MatchFlow::Phase::Over);
        QCOMPARE(t.window.match().Winner(), std::optional(Side::Player));
        QCOMPARE(t.window.lastAnnouncement(), QStringLiteral("あなたの勝ちです。"));
        QVERIFY(faulted && sentByClick);
        QCOMPARE(t.window.match().Faults(Side::Player), 1);
        QVERIFY(t.window.findChild<QListWidget *>("changes")->count() > 0);
        QVERIFY(
            t.window.findChild<QLabel *>("counts")->text().contains(QStringLiteral("自陣 0枚")));
    }

    // Against the steady opponent a player who never touches loses: the
    // opponent takes every card a set time after its decisive sound, its
    // own and the player's, and sends its cards across.
    void lostAgainstTheSteadyOpponent() {
        match::MatchSetup setup;
        setup.memoriseMinutes = 0;
        setup.opponent = match::OpponentKind::Steady;
        setup.steadyDelay = 0.8;
        InTemporaryFolder folder;
        History history;
        QVERIFY(history.Open().ok());
        MatchTable t(setup, &history);
        QTRY_COMPARE(t.window.flow().phase(), match::MatchFlow::Phase::Opening);
        int guard = 0;
        while (t.Step() && ++guard < 20000) {
            const match::Reading *r = t.window.match().current();
            if (r && r->take && r->take->byTouch) {
                QCOMPARE(r->take->who, Side::Opponent);
                QCOMPARE(*t.window.flow().ReactionAt(r->take->at), 0.8);
            }
        }
        QCOMPARE(t.window.match().Winner(), std::optional(Side::Opponent));
        QCOMPARE(t.window.lastAnnouncement(), QStringLiteral("相手の勝ちです。"));
        // The history holds the match as it was played, every reading.
        QVERIFY(history.WaitWritten(5000));
        const std::unique_ptr<HistoryDatabase> db =
            std::move(HistoryDatabase::Open(kHistoryFile).value());
        QSqlQuery q(db->Connection());
        QVERIFY(q.exec("SELECT opponent, finished, winner, player_left, opponent_left FROM "
                       "matches"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("steady:0.8"));
        QCOMPARE(q.value(1).toInt(), 1);
        QCOMPARE(q.value(2).toInt(), 1);
        QCOMPARE(q.value(3).toInt(), t.window.match().mat().Count(Side::Player));
        QCOMPARE(q.value(4).toInt(), 0);
        QVERIFY(q.exec("SELECT poem, territory, taker, by_touch, opponent_reaction, reaction "
                       "FROM match_readings ORDER BY reading"));
        const QList<match::Reading> &played = t.window.match().readings();
        int rows = 0;
        for (; q.next(); ++rows) {
            const match::Reading &r = played[rows];
            QCOMPARE(q.value(0).toInt(), r.poem.number());
            QCOMPARE(q.value(1).isNull(), !r.place);
            QCOMPARE(q.value(2).isNull(), !r.take);
            if (r.take && r.take->byTouch) {
                QCOMPARE(q.value(2).toInt(), 1);
                QCOMPARE(q.value(4).toDouble(), 0.8);
            }
            QVERIFY(q.value(5).isNull()); // the player never took
        }
        QCOMPARE(rows, played.size());
    }

    // A player quicker than the steady opponent wins: every card on the mat
    // clicked 0.3 s after its decisive sound, before the opponent's 1.5 s,
    // the sendings by default. The opening poem is on the strip first.
    void wonAgainstTheSteadyOpponent() {
        match::MatchSetup setup;
        setup.memoriseMinutes = 0;
        setup.opponent = match::OpponentKind::Steady;
        setup.steadyDelay = 1.5;
        MatchTable t(setup);
        QTRY_COMPARE(t.window.flow().phase(), match::MatchFlow::Phase::Opening);
        t.window.WakeNow();
        QVERIFY(t.window.findChild<QLabel *>("strip")->text().startsWith(QStringLiteral("序歌")));
        while (t.ToDecisive()) {
            if (t.OnMat(t.Read())) {
                t.now += 0.3;
                t.Click(t.Read());
                QCOMPARE(t.window.match().current()->take->who, Side::Player);
            }
        }
        QCOMPARE(t.window.match().Winner(), std::optional(Side::Player));
        QCOMPARE(t.window.lastAnnouncement(), QStringLiteral("あなたの勝ちです。"));
    }

    // A press handled late is dated by its event's time: it came before the
    // opponent's touch that fell due meanwhile, and takes the card.
    void pressDatedByItsEvent() {
        match::MatchSetup setup;
        setup.memoriseMinutes = 0;
        setup.opponent = match::OpponentKind::Steady;
        setup.steadyDelay = 1.0;
        MatchTable t(setup);
        t.window.SetDatingInput(true);
        QTRY_COMPARE(t.window.flow().phase(), match::MatchFlow::Phase::Opening);
        while (t.ToDecisive() && !t.OnMat(t.Read())) {
        }
        QVERIFY(t.window.match().ReadingOpen());
        MatWidget &mat = t.window.mat();
        const QPointF at = mat.CardRect(t.Read()).center();
        const auto send = [&](QEvent::Type type, quint64 stamp) {
            QMouseEvent event(type, at, mat.mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            event.setTimestamp(stamp);
            QApplication::sendEvent(&mat, &event);
        };
        send(QEvent::MouseMove, 100000); // handled as it came
        // Handled 1.2 s after the decisive sound, pressed 0.3 s before.
        t.now = *t.window.flow().decisiveAt() + 1.2;
        send(QEvent::MouseButtonPress, 100000 - 300);
        const match::Reading &r = *t.window.match().current();
        QVERIFY(r.take);
        QCOMPARE(r.take->who, Side::Player);
        QVERIFY(std::abs(*r.PlayerReaction() - 0.9) < 0.05);
    }

    // The keyboard: arrows reach every card, Enter takes the focused one;
    // Space pauses the reading and resumes it; a sending not picked in
    // time goes by default.
    void keyboardSpaceAndTheDefaultSending() {
        match::MatchSetup setup;
        setup.memoriseMinutes = 0;
        MatchTable t(setup);
        QTRY_COMPARE(t.window.flow().phase(), match::MatchFlow::Phase::Opening);
        MatWidget &mat = t.window.mat();
        mat.setFocus();
        QTest::keyClick(&mat, Qt::Key_Left);
        QVERIFY(mat.focused().valid());
        for (const Side side : {Side::Opponent, Side::Player}) {
            for (const Poem p : t.window.match().mat().Cards(side)) {
                QVERIFY2(t.FocusByKeys(p), qPrintable(QString::number(p.number())));
            }
        }
        QVERIFY(mat.accessibleName().contains(QStringLiteral("段")));

        // The first card on the mat read: reach it by keys and take it with Enter.
        while (t.ToDecisive() && !t.OnMat(t.Read())) {
            t.Step();
        }
        const Poem read = t.Read();
        QVERIFY(t.FocusByKeys(read));
        const bool across = t.Territory(read) == Side::Opponent;
        QTest::keyClick(&mat, Qt::Key_Return);
        QCOMPARE(t.window.match().current()->take->who, Side::Player);

        // Space: nothing is due while paused; the reading goes on after.
        QTest::keyClick(&mat, Qt::Key_Space);
        QVERIFY(t.window.flow().paused());
        QVERIFY(!t.window.flow().NextWake());
        t.now += 30;
        QTest::keyClick(&mat, Qt::Key_Space);
        QVERIFY(!t.window.flow().paused());
        if (across) {
            // Not picked: the card of most decisive characters goes.
            const Poem expected = match::DefaultSending(t.window.match(), Side::Player);
            while (t.window.match().PlayerSendingsOwed() == 0 && t.Step()) {
            }
            while (t.window.match().PlayerSendingsOwed() > 0 && t.Step()) {
            }
            QCOMPARE(t.Territory(expected), Side::Opponent);
        }
    }

    // From the ゲーム menu: the window opens once, and the choices made in
    // it are kept for the next run.
    void openedFromTheMenuAndKept() {
        InTemporaryFolder folder;
        ForgetPreferences();
        const auto records = [] {
            QFile file(QStringLiteral("NUPEKI3.DAT"));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("none");
        };
        QByteArray before;
        {
            UiFixture f;
            before = records();
            f.Item(QStringLiteral("playMatch"))->trigger();
            MatchWindow *window = f.program->MatchView();
            QVERIFY(window && window->isVisible());
            window->findChild<QComboBox *>("layout")->setCurrentIndex(0);
            window->findChild<QComboBox *>("opponent")->setCurrentIndex(5); // 上級
            f.Item(QStringLiteral("playMatch"))->trigger();
            QCOMPARE(f.program->MatchView(), window);
            // No memorisation: the reading begins; the table of the ten best is left alone.
            window->findChild<QComboBox *>("memorise")->setCurrentIndex(0);
            QTRY_COMPARE(window->flow().phase(), match::MatchFlow::Phase::Opening);
            window->close();
            QCOMPARE(records(), before);
        }
        Preferences kept;
        kept.Load();
        QCOMPARE(kept.Match().layout, match::LayoutRule::Random);
        QCOMPARE(kept.Match().memoriseMinutes, 0);
        QCOMPARE(kept.Match().opponent, match::OpponentKind::Level);
        QCOMPARE(kept.Match().level, 3);
    }

    // A program that ends with a match under way takes its window along: the
    // window tells the history and must not outlive it.
    void programEndsWithAMatchOpen() {
        InTemporaryFolder folder;
        ForgetPreferences();
        QPointer<MatchWindow> window;
        {
            UiFixture f;
            f.Item(QStringLiteral("playMatch"))->trigger();
            window = f.program->MatchView();
            window->findChild<QComboBox *>("memorise")->setCurrentIndex(0);
            QTRY_COMPARE(window->flow().phase(), match::MatchFlow::Phase::Opening);
        }
        QVERIFY(!window);
    }

    // 自分と対戦: greyed, saying why, before the first answer; after a game
    // played through the board, the opponent takes in the player's own time.
    void ghostOfRealGames() {
        InTemporaryFolder folder;
        ForgetPreferences();
        UiFixture f;
        const auto ghostItem = [&f] {
            auto *box = f.program->MatchView()->findChild<QComboBox *>("opponent");
            return qobject_cast<QStandardItemModel *>(box->model())->item(box->count() - 1);
        };
        f.Item(QStringLiteral("playMatch"))->trigger();
        QVERIFY(!ghostItem()->isEnabled());
        QCOMPARE(ghostItem()->toolTip(), QStringLiteral("履歴に回答がまだありません"));
        f.program->MatchView()->close();
        QTRY_VERIFY(!f.program->MatchView());
        f.PlayGame([](QWidget *box) { box->close(); });
        QVERIFY(f.program->AnswerHistory().WaitWritten(5000));
        f.Item(QStringLiteral("playMatch"))->trigger();
        MatchWindow &w = *f.program->MatchView();
        QVERIFY(ghostItem()->isEnabled());
        auto *box = w.findChild<QComboBox *>("opponent");
        box->setCurrentIndex(box->count() - 1);
        QCOMPARE(w.setup().opponent, match::OpponentKind::Ghost);
        // Each answer came 3 s after its decisive character was shown.
        const Poem card = w.match().mat().Cards(Side::Player).front();
        const auto plan = w.match().opponent().PlanTouch(w.match(), card);
        QVERIFY(plan && plan->card == card);
        QCOMPARE(plan->afterDecisive, 3.0);
        w.close();
    }
};

QTEST_MAIN(TestMatchWindow)
#include "test_match_window.moc"

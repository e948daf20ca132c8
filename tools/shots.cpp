// SPDX-License-Identifier: MIT
// Renders every window of the program in a known state and saves each as a
// PNG, for the README and for looking at what we build.
#include "ui/board/board_window.h"
#include "ui/board/practice_dialog.h"
#include "ui/board/practice_end_box.h"
#include "ui/match/match_window.h"
#include "ui/records/record_entry_box.h"
#include "ui/records/records_window.h"
#include "ui/shell/main_window.h"
#include "ui/shell/platform.h"
#include "ui/shell/program.h"
#include "ui/shell/toolbar_dialog.h"
#include "ui/statistics/statistics_window.h"

#include "ui/viewers/help_window.h"
#include "ui/viewers/poem_list_window.h"
#include <QTabWidget>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

using namespace nupew;

namespace {

// Fixed draws, so that the pictures are the same every time.
class SteadyRandom final : public Random {
public:
    float Draw() override {
        value_ = value_ + 0.6180339f;
        if (value_ >= 1.0f) {
            value_ -= 1.0f;
        }
        return value_;
    }

private:
    float value_ = 0.1f;
};

// A clock the script sets, so that answers take the times a player's would.
class ScriptClock final : public TimeOfDay {
public:
    float Now() const override { return now; }
    float now = 36000.0f;
};

void Save(QWidget *window, const QString &folder, const QString &name) {
    window->grab().save(folder + u'/' + name + QStringLiteral(".png"));
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    InstallTranslations(&app, QLocale(QLocale::Japanese));
    const QString out =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath();
    QDir().mkpath(out);
    QDir work(out + QStringLiteral("/work"));
    work.removeRecursively();
    QDir().mkpath(work.path());
    QDir::setCurrent(work.path());

    SteadyRandom random;
    ScriptClock clock;
    QDateTime today(QDate(2026, 11, 20), QTime(19, 0));
    ProgramSeams seams;
    seams.random = &random;
    seams.clock = &clock;
    seams.dateTime = [&today] { return today; };
    seams.messageHandler = [](const Message &) { return MessageAnswer::No; };
    Program program(seams);
    program.Main();
    TitleScreen *title = program.Title();
    for (int tick = 0; tick < 9; ++tick) {
        title->Tick();
    }
    Save(title, out, QStringLiteral("title"));
    for (int tick = 9; tick < 25; ++tick) {
        title->Tick();
    }
    MainWindow *main = program.Frame();
    Save(main, out, QStringLiteral("main"));

    program.settings.revealDelay = 0;
    program.GameOpen();
    BoardWindow &board = program.Board();
    Save(&board, out, QStringLiteral("board_dealt"));
    Game &game = program.GameState();
    game.StartQuestion();
    emit program.Board().cardKeyPressed((game.answerPosition() + 2) % 8 + 1);
    Save(&board, out, QStringLiteral("board_running"));
    emit program.Board().cardKeyPressed(game.answerPosition() + 1);
    Save(&board, out, QStringLiteral("board_answered"));
    // A double-click on a card before 開始, as the window system delivers it:
    // it starts the next question and picks nothing.
    QWidget *card = board.findChild<QWidget *>(QStringLiteral("card3"));
    const QPointF at = card->rect().center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, card->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(card, &event);
    }
    Save(&board, out, QStringLiteral("board_double_click"));
    emit program.Board().cardKeyPressed(game.answerPosition() + 1);
    // Reading aloud while its verses are still being made: the preparation's
    // line at the top left, and a question the voice was not ready for.
    board.SetVoiceStatus(QStringLiteral("読み上げの準備中 37/100"));
    board.SetMessage(QStringLiteral("この問題は文字だけで表示します（読み上げの準備中 37/100）。"));
    Save(&board, out, QStringLiteral("board_voice_preparing"));
    board.SetVoiceStatus({});
    board.SetMessage(QStringLiteral("音声の出力が止まりました（500 ms のあいだ再生が進みません）。"
                                    "文字の表示で続けます。"));
    Save(&board, out, QStringLiteral("board_voice_stopped"));

    RecordEntryBox entry(QStringLiteral("4.25"), QStringLiteral("2"));
    entry.show();
    Save(&entry, out, QStringLiteral("entry_box"));
    entry.close();

    const QStringList names = {QStringLiteral("山田　花子"),  QStringLiteral("Taro"),
                               QStringLiteral("さくら"),      QStringLiteral("藤原定家ファン"),
                               QStringLiteral("<b>ゆき</b>"), QStringLiteral("ゆうき〜"),
                               QStringLiteral("はるか"),      QStringLiteral("小町"),
                               QStringLiteral("蝉丸"),        QStringLiteral("最後の人")};
    for (int i = 0; i < 10; ++i) {
        (void)program.Records().Register({2.5f + 0.75f * float(i), qint16(i / 3), false}, names[i]);
    }
    program.ViewRecords();
    Save(program.RecordsView(), out, QStringLiteral("records"));

    // The pictures the build draws, as a player gets them out of the box.
    PictureViewer::SetSharedFolders({QStringLiteral(NUPEW_PICTURES_DIR "/")});
    program.OpenPicture(PictureKind::Poem);
    program.OpenPicture(PictureKind::Poet);
    Save(program.Viewer(PictureKind::Poem), out, QStringLiteral("viewer_poem"));
    Save(program.Viewer(PictureKind::Poet), out, QStringLiteral("viewer_poet"));

    QFile::copy(QStringLiteral(NUPEW_SOURCE_DIR "/assets/ichirun.txt"),
                QStringLiteral("ichirun.txt"));
    program.ShowPoemList();
    Save(program.PoemList(), out, QStringLiteral("poem_list"));

    program.HelpContents();
    Save(program.Help(), out, QStringLiteral("help"));

    ToolbarDialog customise(*main);
    customise.show();
    Save(&customise, out, QStringLiteral("toolbar_dialog"));
    customise.close();

    main->ToggleToolbar();
    Save(main, out, QStringLiteral("main_hidden_toolbar"));
    main->ToggleToolbar();

    // The decisive characters coloured after an answer, in kanji and in kana.
    program.ToggleDecisive();
    program.settings.revealDelay = 4;
    for (const qint16 mode : {qint16(0), qint16(2)}) {
        program.settings.upperTextMode = mode;
        program.GameOpen();
        game.StartQuestion();
        clock.now += 2.0f;
        emit program.Board().cardKeyPressed(game.answerPosition() + 1);
        Save(&board, out,
             mode == 0 ? QStringLiteral("board_decisive_kanji")
                       : QStringLiteral("board_decisive_kana"));
    }
    program.ToggleDecisive();

    // Three weeks of games, getting faster, for the statistics window. Each
    // game's entry box is declined as soon as it opens.
    QTimer decline;
    QObject::connect(&decline, &QTimer::timeout, [] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            if (auto *no = box->findChild<QPushButton *>(QStringLiteral("declineButton"))) {
                no->click();
            }
        }
    });
    decline.start(5);
    program.settings.revealDelay = 2;
    program.settings.upperTextMode = 0;
    for (int day = 0; day < 16; ++day) {
        today = today.addSecs(day % 3 == 0 ? 86400 : 2400);
        program.GameOpen();
        for (int question = 1; question <= 5; ++question) {
            game.StartQuestion();
            const int step = game.question(question).decisiveStep;
            const float slow = 3.2f - 0.12f * float(day);
            clock.now +=
                0.2f * float(step) + slow * (0.5f + 0.1f * float((question * 7 + day) % 5));
            if ((question + day) % 4 == 0) {
                emit program.Board().cardKeyPressed((game.answerPosition() + 1) % 8 + 1);
            }
            emit program.Board().cardKeyPressed(game.answerPosition() + 1);
        }
    }
    program.ShowStatistics();
    Save(program.Statistics(), out, QStringLiteral("statistics"));

    PracticeMode blue;
    blue.kind = PracticeKind::Colours;
    blue.colours[0] = true;
    PracticeDialog practice(blue, game.decisive(), 5, 8);
    practice.show();
    Save(&practice, out, QStringLiteral("practice_dialog"));
    PracticeEndBox practiceEnd(blue.Name(), {QStringLiteral("2.35"),
                                             QStringLiteral("1.12"),
                                             QStringLiteral("1"),
                                             {QStringLiteral("31 あさぼらけあ (おてつき 1)"),
                                              QStringLiteral("77 せ (反応 2.40 秒)")}});
    practiceEnd.show();
    Save(&practiceEnd, out, QStringLiteral("practice_end"));

    // The match on a 1366×768 screen: memorising, then well into the reading
    // against the intermediate opponent, then to its end, and the 競技 tab.
    double matchNow = 0;
    match::MatchSetup setup;
    setup.opponent = match::OpponentKind::Level;
    setup.level = 2;
    MatchWindow matchWindow(program.catalogue, setup, 4, [&matchNow] { return matchNow; });
    matchWindow.SetMatchLog(&program.AnswerHistory());
    matchWindow.resize(1366, 740);
    matchWindow.show();
    QCoreApplication::processEvents();
    Save(&matchWindow, out, QStringLiteral("match_memorising"));
    matchWindow.EndMemorising();
    for (int i = 0; i < 400 && matchWindow.match().PoemsRead() < 12; ++i) {
        if (const std::optional<double> next = matchWindow.flow().NextWake()) {
            matchNow = *next;
        }
        matchWindow.WakeNow();
        const match::Match &m = matchWindow.match();
        if (matchWindow.flow().decisiveAt() && m.ReadingOpen() && !m.current()->take &&
            m.mat().Contains(m.current()->poem) && m.PoemsRead() % 2 == 0) {
            emit matchWindow.mat().cardPressed(m.current()->poem);
        }
        while (m.PlayerSendingsOwed() > 0) {
            emit matchWindow.mat().cardPressed(m.mat().Cards(match::Side::Player).front());
        }
    }
    QCoreApplication::processEvents();
    Save(&matchWindow, out, QStringLiteral("match_reading"));
    for (int i = 0; i < 5000 && matchWindow.flow().phase() != match::MatchFlow::Phase::Over; ++i) {
        if (const std::optional<double> next = matchWindow.flow().NextWake()) {
            matchNow = *next;
        }
        matchWindow.WakeNow();
        const match::Match &m = matchWindow.match();
        if (matchWindow.flow().decisiveAt() && m.ReadingOpen() && !m.current()->take &&
            m.mat().Contains(m.current()->poem) && m.PoemsRead() % 3 != 0) {
            emit matchWindow.mat().cardPressed(m.current()->poem);
        }
        while (m.PlayerSendingsOwed() > 0) {
            emit matchWindow.mat().cardPressed(m.mat().Cards(match::Side::Player).front());
        }
    }
    matchWindow.close();
    program.ShowStatistics();
    program.Statistics()->Tabs()->setCurrentIndex(1);
    Save(program.Statistics(), out, QStringLiteral("statistics_matches"));
    return 0;
}

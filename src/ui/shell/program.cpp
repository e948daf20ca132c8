// SPDX-License-Identifier: MIT
// The program object: makes the parts and wires them together.
#include "ui/shell/program.h"
#include "version.h"

#include "history/statistics.h"
#include "ui/board/board_window.h"
#include "ui/board/practice_dialog.h"
#include "ui/match/match_window.h"
#include "ui/shell/main_window.h"
#include "ui/shell/platform.h"
#include "ui/shell/toolbar_dialog.h"
#include "ui/viewers/help_window.h"

#include <QApplication>
#include <QStandardPaths>
#include <QToolBar>

namespace nupew {

Program::Program(ProgramSeams seams)
    : seams_(std::move(seams)), realClock_(std::make_unique<SteadyTimeOfDay>()),
      realTimer_(std::make_unique<QtRevealTimer>()) {
    InitResources();
    const TimeOfDay &clock = seams_.clock ? *seams_.clock : *realClock_;
    realRandom_ = std::make_unique<TimeSeededRandom>(clock);
    Random &random = seams_.random ? *seams_.random : *realRandom_;
    RevealTimer &timer = seams_.timer ? *seams_.timer : *realTimer_;
    board_ = std::make_unique<BoardWindow>();
    game_ = std::make_unique<Game>(settings, catalogue, *board_, clock, random, timer);
    store_ = std::make_unique<SettingsStore>(settings, *this);
    records_ = seams_.dateTime ? std::make_unique<RecordBook>(seams_.dateTime)
                               : std::make_unique<RecordBook>();
    session_ = std::make_unique<GameSession>(*game_, *records_, *this, [this] {
        if (!boardPlaced_) {
            boardPlaced_ = true; // the first time, just below the main window
            PlaceBelow(board_.get(), mainWindow_.get(), 120);
        }
        ShowForward(board_.get());
    });
    mainWindow_ = std::make_unique<MainWindow>();
    notices_ = std::make_unique<Notices>(
        [this] { return mainWindow_->isVisible(); },
        [this](const QString &text) {
            ShowMessage({text, kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
        });
    history_ = std::make_unique<History>(kHistoryFile, seams_.dateTime);
    practice_ = std::make_unique<HistoryPracticeSource>(
        *history_, random,
        [this] { return seams_.dateTime ? seams_.dateTime() : QDateTime::currentDateTime(); },
        [this]() -> const DecisiveTable & { return game_->decisive(); });
    practice_->OnNewSet([this](const QString &name) { board_->SetPracticeName(name); });
    practice_->OnProblem([this](const QString &why) { Tell(why); });
    windows_ = std::make_unique<SideWindows>(
        catalogue, *board_, *records_, *history_, *this,
        SideWindows::Choosers{seams_.printerSetup, seams_.saveFileDialog, seams_.openFileDialog});
    connect(windows_.get(), &SideWindows::newGameWanted, session_.get(),
            &GameSession::RecordsClosed);
    // The voice's pace follows the game's own rules: a speed chosen mid-game
    // waits for the next game, as the reveal does.
    connect(session_.get(), &GameSession::gameBegun, this, &Program::ApplyVoice);
    connect(windows_.get(), &SideWindows::pictureWanted, this, &Program::OpenPicture);
    WireBoard();
    WireMainWindow();
    WireHistory();
}

Program::~Program() {
    quitting_ = true;
    notices_->Stop();
    // The match's window tells the history and holds the reader: it goes
    // before them (a match under way stays unfinished in the history).
    delete match_.data();
    windows_.reset();
    delete title_;
}

void Program::WireBoard() {
    BoardWindow *board = board_.get();
    GameSession *session = session_.get();
    connect(board, &BoardWindow::cardClicked, session, &GameSession::CardClicked);
    connect(board, &BoardWindow::cardKeyPressed, session, &GameSession::CardKey);
    connect(board, &BoardWindow::startWanted, session, &GameSession::Start);
    connect(board, &BoardWindow::boardClicked, session, &GameSession::BoardClick);
    connect(board, &BoardWindow::newGameWanted, this, &Program::GameOpen);
    connect(board, &BoardWindow::poemPictureWanted, this,
            [this] { OpenPicture(PictureKind::Poem); });
    connect(board, &BoardWindow::poetPictureWanted, this,
            [this] { OpenPicture(PictureKind::Poet); });
    connect(board, &BoardWindow::closing, this, [this] {
        game_->StopQuestion();
        windows_->ClosePictures();
    });
}

void Program::WireMainWindow() {
    connect(mainWindow_.get(), &MainWindow::actionChosen, this, &Program::Run);
    connect(mainWindow_.get(), &MainWindow::optionChosen, this, &Program::ToggleOption);
    connect(&preferences_, &Preferences::changed, this, &Program::ApplyOption);
    connect(mainWindow_.get(), &MainWindow::settingChosen, this, &Program::ChangeSetting);
    connect(mainWindow_.get(), &MainWindow::closing, this, &Program::Quit);
    connect(mainWindow_.get(), &MainWindow::activated, this, [this] {
        if (const auto &keys = preferences_.ToolbarArrangement()) {
            mainWindow_->RestoreArrangement(*keys);
        }
    });
}

void Program::WireHistory() {
    connect(history_.get(), &History::failed, this, [this](const QString &why) {
        game_->SetAnswerLog(nullptr);
        session_->SetAnswerLog(nullptr);
        Tell(tr("履歴ファイル %1 に書き込めません。履歴なしでゲームを続けます。\n理由: %2")
                 .arg(kHistoryFile, why));
    });
    connect(history_.get(), &History::stalled, this, [this](const QString &why) {
        Tell(tr("履歴ファイル %1 に今は書き込めません。答えは覚えておき、"
                "書き込めるようになりしだい書きます。\n理由: %2")
                 .arg(kHistoryFile, why));
    });
}

void Program::Main() {
    settings = Settings();
    pictureFolder.clear();
    catalogue.Fill();
    // What killed saves left behind, once no running copy is writing.
    RemoveStaleTemporaries(QString(), {kOptionsFile, kDisplayFile, kRecordFile});
    store_->LoadAtStartUp();
    for (const QString &problem : preferences_.Load()) {
        Tell(problem);
    }
    ApplyOption(Option::ShowDecisive);
    practice_->SetMode(preferences_.Practice());
    // Reading aloud needs the synthesizer and a sound output; without them
    // the options stay off and say what is missing.
    // Whether a sound output answers is found out off the GUI thread; until
    // then, and while none answers, the options stay greyed.
    const Result<> parts = voice::Reader::Available();
    voiceUnavailable_ = parts.ok() ? QString() : parts.error();
    if (parts.ok()) {
        voiceUnavailable_ = tr("音声の出力先を確かめています");
        reader_ = std::make_unique<voice::Reader>(
            catalogue, QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                           QStringLiteral("/voice"));
        WireVoice();
    }
    ApplyVoice();
    if (const Result<> opened = history_->Open(); opened.ok()) {
        game_->SetAnswerLog(history_.get());
        session_->SetAnswerLog(history_.get());
    } else {
        Tell(tr("履歴ファイル %1 を使えません。履歴なしでゲームを続けます。\n%2")
                 .arg(kHistoryFile, opened.error()));
    }
    game_->SetPracticeSource(practice_.get());
    game_->PrepareFirstGame();
    title_ = new TitleScreen;
    connect(title_, &TitleScreen::finished, this, &Program::ShowMainWindow);
    CenterOnScreen(title_);
    title_->show();
    game_->DealQuestion();
}

void Program::ShowMainWindow() {
    PlaceOnScreen(mainWindow_.get(), 600, 600);
    mainWindow_->show();
    mainWindow_->SetOuterHeight(mainWindow_->Toolbar()->isHidden() ? kFrameHeightWithoutToolbar
                                                                   : kFrameHeightWithToolbar);
    mainWindow_->activateWindow();
    notices_->ShowWaiting();
}

void Program::Run(Command command) {
    // clang-format off
    switch (command) {
    case Command::NewGame: return GameOpen();
    case Command::PlayMatch: return PlayMatch();
    case Command::CloseBoard: return CloseBoard();
    case Command::Quit: return CloseProgram();
    case Command::SaveSettings: return store_->SaveSettings();
    case Command::RestoreDefaults: return store_->RestoreDefaultSettings();
    case Command::ChoosePractice: return ChoosePractice();
    case Command::ViewRecords: return ViewRecords();
    case Command::ResetRecords: return ResetRecords();
    case Command::PrintRecords:
        dialogCancelIsFailure = true; // the shared dialog's Cancel, from the first print on
        return windows_->PrintRecordsMenu();
    case Command::ShowStatistics: return ShowStatistics();
    case Command::ChoosePictureFolder:
        return windows_->ChoosePictureFolder(pictureFolder, dialogCancelIsFailure);
    case Command::CustomiseToolbar: return CustomiseToolbar();
    case Command::ShowPoemList: return ShowPoemList();
    case Command::HelpContents: return HelpContents();
    case Command::HelpOnHelp: return windows_->ShowHelpPage(QStringLiteral("using"));
    case Command::ShowVersion: ShowMessage(HelpWindow::VersionMessage()); return;
    }
    // clang-format on
}

MessageAnswer Program::ShowMessage(const Message &message) {
    const Notices::BoxOpen box(*notices_);
    if (seams_.messageHandler) {
        return seams_.messageHandler(message);
    }
    return ShowMessageBox(QApplication::activeWindow(), message);
}

EntryAnswer Program::AskForRecord(const QString &averageText, const QString &faultsText) {
    const Notices::BoxOpen open(*notices_);
    return windows_->AskForRecord(averageText, faultsText);
}

PracticeAnswer Program::ShowPracticeEnd(const PracticeFigures &figures) {
    const Notices::BoxOpen open(*notices_);
    return windows_->ShowPracticeEnd(Practice().Name(), figures);
}

void Program::CloseBoard() {
    board_->close();
}

void Program::ChoosePractice() {
    PracticeDialog dialog(Practice(), game_->decisive(), settings.questionCount, settings.cardCount,
                          mainWindow_.get());
    if (dialog.exec() == QDialog::Accepted) {
        SetPracticeMode(dialog.Mode());
    }
}

void Program::SetPracticeMode(const PracticeMode &mode) {
    if (mode == Practice()) {
        return;
    }
    practice_->SetMode(mode);
    if (const Result<> kept = preferences_.SetPractice(mode); !kept.ok()) {
        Tell(kept.error());
    }
    board_->SetPracticeName(mode.Name());
    CloseBoard(); // the board was dealt in the old mode
}

void Program::GameOpen() {
    session_->NewGame();
}

void Program::ChangeSetting(SettingField field, qint16 value) {
    FieldOf(settings, field) = value;
    if (field == SettingField::UpperTextMode || field == SettingField::LowerTextMode) {
        CloseBoard();
    }
    ApplyVoice(); // the voice's rate follows the reveal speed, from the next game on
}

void Program::PlayMatch() {
    if (!match_) {
        if (!matchClock_.isValid()) {
            matchClock_.start();
        }
        match_ = new MatchWindow(
            catalogue, preferences_.Match(), settings.revealDelay,
            [this] { return matchClock_.nsecsElapsed() / 1e9; }, nullptr);
        match_->setAttribute(Qt::WA_DeleteOnClose);
        match_->SetDatingInput(true);
        connect(match_, &MatchWindow::setupChanged, this, [this](const match::MatchSetup &setup) {
            if (const Result<> kept = preferences_.SetMatch(setup); !kept.ok()) {
                Tell(kept.error());
            }
        });
        if (history_->IsOpen()) {
            match_->SetMatchLog(history_.get());
        }
        // 自分と対戦 draws on the player's recent answers.
        if (Result<std::unique_ptr<HistoryDatabase>> db = history_->OpenReadConnection();
            !db.ok()) {
            match_->SetOwnReactions({}, db.error());
        } else if (Result<match::OwnReactions> own = LoadOwnReactions(db.value()->Connection());
                   !own.ok()) {
            match_->SetOwnReactions({}, own.error());
        } else {
            match_->SetOwnReactions(own.value(), tr("履歴に回答がまだありません"));
        }
        // The voice is the match's while its window is open.
        connect(match_, &MatchWindow::closing, this, [this] {
            matchOpen_ = false;
            ApplyVoice();
        });
        matchOpen_ = true;
        ApplyVoice();
        match_->resize(1280, 760);
    }
    match_->show();
    match_->raise();
    match_->activateWindow();
}

void Program::CloseProgram() {
    if (ShowMessage({tr("「タワユWin」を終了します"),
                     QStringLiteral("「タワユWin」Ver ") + ShortVersion(), MessageButtons::YesNo,
                     MessageIcon::Question, true}) == MessageAnswer::Yes) {
        Quit();
    }
}

void Program::CustomiseToolbar() {
    ToolbarDialog dialog(*mainWindow_);
    connect(&dialog, &ToolbarDialog::changed, this, [this] {
        if (const Result<> kept = preferences_.SetToolbarArrangement(mainWindow_->Arrangement());
            !kept.ok()) {
            Tell(kept.error());
        }
    });
    dialog.exec();
}

void Program::WireVoice() {
    voice::Reader *reader = reader_.get();
    connect(reader, &voice::Reader::problem, this, &Program::Tell);
    connect(reader, &voice::Reader::outputChanged, this,
            [this](bool available, const QString &why) {
                voiceUnavailable_ = available ? QString() : why;
                ApplyVoice();
            });
    connect(reader, &voice::Reader::progress, this, [this](int done, int total) {
        const bool preparing = preferences_.Get(Option::ReadAloud) && done < total;
        board_->SetVoiceStatus(preparing ? tr("読み上げの準備中 %1/%2").arg(done).arg(total)
                                         : QString());
    });
}

void Program::ApplyOption(Option option) {
    // What each option changes; the voice's options are read together.
    switch (SpecOf(option).effect) {
    case OptionEffect::Board:
        game_->SetShowDecisive(preferences_.Get(Option::ShowDecisive));
        mainWindow_->SetOption(option, preferences_.Get(option));
        return;
    case OptionEffect::Voice:
        return ApplyVoice();
    }
}

void Program::ApplyVoice() {
    const bool usable = reader_ && voiceUnavailable_.isEmpty();
    for (const OptionSpec &spec : kOptions) {
        if (spec.effect == OptionEffect::Voice) {
            mainWindow_->SetOption(spec.option, usable && preferences_.Get(spec.option), usable,
                                   voiceUnavailable_);
        }
    }
    const bool on = usable && preferences_.Get(Option::ReadAloud);
    if (reader_) {
        // The whole set is made ready while reading aloud is on, even before
        // an output answers: the first game after install is read too.
        // A match open is read in the competition's style, its lower verses
        // and the opening poem too; the game has the voice again after it.
        const double rate = voice::RateForDelay(game_->Rules().revealDelay);
        reader_->SetOptions(matchOpen_ ? voice::ReaderOptions{true, true, true, rate}
                                       : voice::ReaderOptions{preferences_.Get(Option::ReadRecited),
                                                              preferences_.Get(Option::ReadLower),
                                                              preferences_.Get(Option::ReadOpening),
                                                              rate});
        reader_->SetPreparing(preferences_.Get(Option::ReadAloud));
        if (!preferences_.Get(Option::ReadAloud)) {
            board_->SetVoiceStatus({});
        }
    }
    game_->SetReader(on && !matchOpen_ ? reader_.get() : nullptr);
    if (match_ && matchOpen_) {
        match_->SetVoice(on ? reader_.get() : nullptr);
    }
}

void Program::ToggleOption(Option option) {
    if (SpecOf(option).effect == OptionEffect::Voice && !(reader_ && voiceUnavailable_.isEmpty())) {
        return ApplyVoice(); // greyed: the check mark stays off
    }
    if (const Result<> kept = preferences_.Set(option, !preferences_.Get(option)); !kept.ok()) {
        Tell(kept.error());
    }
}

void Program::OpenPicture(PictureKind kind) {
    if (game_->AnswerDecided() && game_->currentPoem()) { // only once the question is decided
        windows_->OpenPicture(kind, pictureFolder, *game_->currentPoem());
    }
}

void Program::Quit() {
    if (quitting_) {
        return;
    }
    quitting_ = true;
    notices_->Stop();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        window->hide();
    }
    if (seams_.endApplication) {
        seams_.endApplication();
    } else {
        QCoreApplication::quit();
    }
}

} // namespace nupew

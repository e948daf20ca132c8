// SPDX-License-Identifier: MIT
// The program object: owns the settings, the catalogue, the game and the windows.
#include "ui/program.h"
#include "version.h"

#include "ui/board_window.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/platform.h"
#include "ui/poem_list_window.h"
#include "ui/practice_dialog.h"
#include "ui/practice_end_box.h"
#include "ui/record_entry_box.h"
#include "ui/records_window.h"
#include "ui/statistics_window.h"
#include "ui/title_screen.h"
#include "ui/toolbar_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QToolBar>

namespace nupew {
namespace {

// Our own options, apart from the files the game has always kept.
const QString kPreferencesOrganization = QStringLiteral("nupew");
const QString kPreferencesApplication = QStringLiteral("nupew");
const QString kShowDecisiveKey = QStringLiteral("board/showDecisive");
const QString kReadAloudKey = QStringLiteral("voice/readAloud");
const QString kRecitedKey = QStringLiteral("voice/recited");
const QString kReadLowerKey = QStringLiteral("voice/readLower");
const QString kOpeningKey = QStringLiteral("voice/opening");
const QString kPracticeKey = QStringLiteral("practice/");

QString Flags(const auto &flags) {
    QString text;
    for (const bool flag : flags) {
        text += flag ? u'1' : u'0';
    }
    return text;
}

void ReadFlags(const QString &text, auto &flags) {
    for (size_t i = 0; i < flags.size(); ++i) {
        flags[i] = qsizetype(i) < text.size() && text[qsizetype(i)] == u'1';
    }
}

PracticeMode LoadPracticeMode(const QSettings &store) {
    PracticeMode mode;
    const int kind = store.value(kPracticeKey + QStringLiteral("kind"), 0).toInt();
    mode.kind =
        kind >= 0 && kind <= int(PracticeKind::Drill) ? PracticeKind(kind) : PracticeKind::All;
    ReadFlags(store.value(kPracticeKey + QStringLiteral("ranges")).toString(), mode.ranges);
    ReadFlags(store.value(kPracticeKey + QStringLiteral("colours")).toString(), mode.colours);
    ReadFlags(store.value(kPracticeKey + QStringLiteral("counts")).toString(), mode.counts);
    mode.from = std::clamp(store.value(kPracticeKey + QStringLiteral("from"), 0).toInt(), 0, kPoemCount);
    mode.to =
        std::clamp(store.value(kPracticeKey + QStringLiteral("to"), 0).toInt(), mode.from, kPoemCount);
    return mode;
}

} // namespace

// The game talks to the board through this relay, since the board window is
// made after the game whose events it handles.
// Counts the boxes open while it lives, so that no warning opens over one;
// a warning that waited is shown as soon as the last box has closed.
class Program::ModalScope final {
public:
    explicit ModalScope(Program &program) : program_(program) { ++program_.modalDepth_; }
    ~ModalScope() {
        if (--program_.modalDepth_ == 0 && !program_.waitingTexts_.isEmpty()) {
            QTimer::singleShot(0, &program_, &Program::TellWaiting);
        }
    }
    ModalScope(const ModalScope &) = delete;
    ModalScope &operator=(const ModalScope &) = delete;

private:
    Program &program_;
};

class Program::BoardRelay final : public BoardDisplay {
public:
    BoardWindow *board = nullptr;
    void SetCardText(int position, const QString &text) override {
        board->SetCardText(position, text);
    }
    void SetCardColor(int position, Rgb color) override { board->SetCardColor(position, color); }
    void SetVerse(const QString &text) override { board->SetVerse(text); }
    void SetVerseEmphasis(int count) override { board->SetVerseEmphasis(count); }
    void SetPoetText(const QString &text) override { board->SetPoetText(text); }
    void SetPoetColor(Rgb color) override { board->SetPoetColor(color); }
    void SetPoetGeometry(int top, int height) override { board->SetPoetGeometry(top, height); }
    void SetPoetVisible(bool visible) override { board->SetPoetVisible(visible); }
    bool PoetVisible() const override { return board->PoetVisible(); }
    void SetQuestionNumber(const QString &text) override { board->SetQuestionNumber(text); }
    void SetFaultCount(const QString &text) override { board->SetFaultCount(text); }
    void SetMessage(const QString &text) override { board->SetMessage(text); }
    void Beep() override { board->Beep(); }
};

Program::Program(ProgramSeams seams)
    : seams_(std::move(seams)), relay_(std::make_unique<BoardRelay>()),
      realClock_(std::make_unique<SteadyTimeOfDay>()),
      realTimer_(std::make_unique<QtRevealTimer>()) {
    InitResources();
    const TimeOfDay &clock = seams_.clock ? *seams_.clock : *realClock_;
    realRandom_ = std::make_unique<TimeSeededRandom>(clock);
    Random &random = seams_.random ? *seams_.random : *realRandom_;
    random_ = &random;
    RevealTimer &timer = seams_.timer ? *seams_.timer : *realTimer_;
    game_ = std::make_unique<Game>(settings, catalogue, *relay_, *this, clock, random, timer);
    store_ = std::make_unique<SettingsStore>(settings, *this);
    records_ = seams_.dateTime
                   ? std::make_unique<RecordBook>(game_->result(), *this, seams_.dateTime)
                   : std::make_unique<RecordBook>(game_->result(), *this);
    board_ = std::make_unique<BoardWindow>(*game_);
    relay_->board = board_.get();
    connect(board_.get(), &BoardWindow::newGameWanted, this, &Program::GameOpen);
    connect(board_.get(), &BoardWindow::poemPictureWanted, this,
            [this] { OpenPicture(PictureKind::Poem); });
    connect(board_.get(), &BoardWindow::poetPictureWanted, this,
            [this] { OpenPicture(PictureKind::Poet); });
    connect(board_.get(), &BoardWindow::closing, this, &Program::ClosePictures);
    mainWindow_ = std::make_unique<MainWindow>(*this);
    history_ = std::make_unique<History>(kHistoryFile, seams_.dateTime);
    connect(history_.get(), &History::failed, this, [this](const QString &why) {
        historyStopped_ = true;
        game_->SetAnswerLog(nullptr);
        Tell(QStringLiteral("履歴ファイル %1 に書き込めません。履歴なしでゲームを続けます。\n理由: %2")
                 .arg(kHistoryFile, why));
    });
    connect(history_.get(), &History::stalled, this, [this](const QString &why) {
        Tell(QStringLiteral("履歴ファイル %1 に今は書き込めません。答えは覚えておき、"
                            "書き込めるようになりしだい書きます。\n理由: %2")
                 .arg(kHistoryFile, why));
    });
    tellTimer_.setSingleShot(true);
    tellTimer_.setInterval(200);
    connect(&tellTimer_, &QTimer::timeout, this, &Program::TellWaiting);
}

Program::~Program() {
    quitting_ = true;
    // Windows closed during the run may still wait for their deferred deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *window : std::initializer_list<QWidget *>{
             title_, recordsWindow_, poemViewer_, poetViewer_, poemList_, help_, statistics_}) {
        delete window;
    }
}

void Program::Main() {
    settings = Settings();
    pictureFolder.clear();
    catalogue.Fill();
    // What killed saves left behind, once no running copy is writing.
    RemoveStaleTemporaries(QString(), {kOptionsFile, kDisplayFile, kRecordFile});
    store_->LoadAtStartUp();
    // The per-user files are checked before anything opens them: a FIFO there
    // would stop the program for ever.
    preferencesProblem_ = CheckSettingsFiles(kPreferencesOrganization, kPreferencesApplication);
    for (const QString &problem : {preferencesProblem_,
                                   CheckSettingsFiles(kToolbarStore, kToolbarFile)}) {
        if (!problem.isEmpty()) {
            Tell(QStringLiteral("個人設定のファイルを使えません。初期設定で続け、保存はしません。\n%1")
                     .arg(problem));
        }
    }
    if (preferencesProblem_.isEmpty()) {
        const QSettings preferences(kPreferencesOrganization, kPreferencesApplication);
        game_->SetShowDecisive(preferences.value(kShowDecisiveKey, false).toBool());
        practiceMode_ = LoadPracticeMode(preferences);
        readAloud_ = preferences.value(kReadAloudKey, false).toBool();
        voiceOptions_.recited = preferences.value(kRecitedKey, false).toBool();
        voiceOptions_.lower = preferences.value(kReadLowerKey, false).toBool();
        voiceOptions_.opening = preferences.value(kOpeningKey, false).toBool();
    }
    mainWindow_->Item(QStringLiteral("kimariji"))->setChecked(game_->showDecisive());
    // Reading aloud needs the synthesizer and a sound output; without them
    // the options stay off and say what is missing.
    voiceUnavailable_ = voice::Reader::Unavailable();
    if (voiceUnavailable_.isEmpty()) {
        reader_ = std::make_unique<voice::Reader>(
            catalogue,
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                QStringLiteral("/voice"));
        connect(reader_.get(), &voice::Reader::problem, this, &Program::Tell);
    }
    ApplyVoice();
    QString historyProblem;
    if (history_->Open(&historyProblem)) {
        game_->SetAnswerLog(history_.get());
    } else {
        historyStopped_ = true;
        Tell(QStringLiteral("履歴ファイル %1 を使えません。履歴なしでゲームを続けます。\n%2")
                 .arg(kHistoryFile, historyProblem));
    }
    game_->SetPracticeSource(this);
    game_->PrepareFirstGame();
    title_ = new TitleScreen;
    connect(title_, &TitleScreen::finished, this, &Program::ShowMainWindow);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = title_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        title_->move(frame.topLeft());
    }
    title_->show();
    game_->DealQuestion();
}

void Program::ShowMainWindow() {
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        mainWindow_->move(area.left() + Px(600), area.top() + Px(600));
    }
    mainWindow_->show();
    mainWindow_->SetOuterHeight(mainWindow_->Toolbar()->isHidden() ? kFrameHeightWithoutToolbar
                                                                   : kFrameHeightWithToolbar);
    mainWindow_->activateWindow();
    TellWaiting();
}

void Program::Tell(const QString &text) {
    if (!waitingTexts_.contains(text)) {
        waitingTexts_.append(text);
    }
    TellWaiting();
}

void Program::TellWaiting() {
    // Told once the main window is up, and never over another box: the
    // player finishes with that one first.
    if (waitingTexts_.isEmpty() || quitting_) {
        return;
    }
    if (!mainWindow_->isVisible() || modalDepth_ > 0 || QApplication::activeModalWidget()) {
        tellTimer_.start();
        return;
    }
    const QString text = waitingTexts_.takeFirst();
    ShowMessage({text, kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
    if (!waitingTexts_.isEmpty()) {
        tellTimer_.start();
    }
}

bool Program::WritePreferences(const std::function<void(QSettings &)> &write) {
    if (!preferencesProblem_.isEmpty()) {
        return false; // told at start-up
    }
    if (QString problem =
            CheckSettingsFiles(kPreferencesOrganization, kPreferencesApplication);
        !problem.isEmpty()) {
        preferencesProblem_ = problem;
        Tell(QStringLiteral("個人設定のファイルを使えません。設定は保存されていません。\n%1")
                 .arg(problem));
        return false;
    }
    QSettings store(kPreferencesOrganization, kPreferencesApplication);
    write(store);
    store.sync();
    if (store.status() != QSettings::NoError) {
        Tell(QStringLiteral("個人設定のファイル %1 に書き込めませんでした。設定は保存されていません。")
                 .arg(store.fileName()));
        return false;
    }
    return true;
}

MessageAnswer Program::ShowMessage(const Message &message) {
    const ModalScope modal(*this);
    if (seams_.messageHandler) {
        return seams_.messageHandler(message);
    }
    return ShowMessageBox(QApplication::activeWindow(), message);
}

void Program::ShowRecordEntryBox(const QString &averageText, const QString &faultsText) {
    // A fresh box for every game end, so the name field always starts empty.
    const ModalScope modal(*this);
    RecordEntryBox box(averageText, faultsText, board_->isVisible() ? board_.get() : nullptr);
    connect(&box, &RecordEntryBox::registerWanted, this, [this](const QString &name) {
        records_->playerName = name;
        records_->RegisterRecord();
        if (game_->result().registered) {
            history_->ResultRegistered();
        }
        OpenRecordsWindow();
        ShowRecords();
    });
    connect(&box, &RecordEntryBox::declined, this, [this] { game_->NewGame(); });
    connect(&box, &RecordEntryBox::poemPictureWanted, this,
            [this] { OpenPicture(PictureKind::Poem); });
    connect(&box, &RecordEntryBox::poetPictureWanted, this,
            [this] { OpenPicture(PictureKind::Poet); });
    box.exec();
}

bool Program::ShowPracticeEnd(const QString &averageText, const QString &reactionText,
                              const QString &faultsText) {
    const ModalScope modal(*this);
    PracticeEndBox box(practiceMode_.Name(), averageText, reactionText, faultsText,
                       board_->isVisible() ? board_.get() : nullptr);
    connect(&box, &PracticeEndBox::poemPictureWanted, this,
            [this] { OpenPicture(PictureKind::Poem); });
    connect(&box, &PracticeEndBox::poetPictureWanted, this,
            [this] { OpenPicture(PictureKind::Poet); });
    return box.exec() == QDialog::Accepted;
}

PracticeSet Program::NextGameSet() {
    PracticeSet set;
    set.name = practiceMode_.Name();
    if (practiceMode_.kind == PracticeKind::Drill) {
        // The order comes from the boxes and reactions recorded so far.
        std::array<DrillState, kPoemCount> states{};
        QString why;
        if (const std::unique_ptr<HistoryDatabase> db = history_->Reader(&why)) {
            db->LoadDrill(&states);
        }
        const QDate today = seams_.dateTime ? seams_.dateTime().date() : QDate::currentDate();
        set.poems = DrillOrder(states, today, *random_);
        set.inOrder = true;
    } else if (!practiceMode_.IsWholeGame()) {
        set.poems = practiceMode_.Poems(game_->decisive());
    }
    history_->SetMode(set.name);
    board_->SetPracticeName(set.name);
    return set;
}

void Program::ChoosePractice() {
    PracticeDialog dialog(practiceMode_, game_->decisive(), settings.questionCount,
                          settings.cardCount, mainWindow_.get());
    if (dialog.exec() == QDialog::Accepted) {
        SetPracticeMode(dialog.Mode());
    }
}

void Program::SetPracticeMode(const PracticeMode &mode) {
    if (mode == practiceMode_) {
        return;
    }
    practiceMode_ = mode;
    WritePreferences([&mode](QSettings &store) {
        store.setValue(kPracticeKey + QStringLiteral("kind"), int(mode.kind));
        store.setValue(kPracticeKey + QStringLiteral("ranges"), Flags(mode.ranges));
        store.setValue(kPracticeKey + QStringLiteral("colours"), Flags(mode.colours));
        store.setValue(kPracticeKey + QStringLiteral("counts"), Flags(mode.counts));
        store.setValue(kPracticeKey + QStringLiteral("from"), mode.from);
        store.setValue(kPracticeKey + QStringLiteral("to"), mode.to);
    });
    board_->SetPracticeName(mode.Name());
    GameClose(); // the board was dealt in the old mode
}

void Program::CloseBoard() {
    board_->close();
}

void Program::GameOpen() {
    game_->NewGame([this] {
        if (!boardPlaced_) {
            // The first time, the board opens just below the main window.
            boardPlaced_ = true;
            const QRect frame = mainWindow_->frameGeometry();
            board_->move(frame.left(), frame.bottom() + Px(120));
        }
        ShowForward(board_.get());
    });
}

void Program::ChangeSetting(qint16 &setting, qint16 value) {
    setting = value;
    if (&setting == &settings.upperTextMode || &setting == &settings.lowerTextMode) {
        GameClose();
    }
    ApplyVoice(); // the voice's rate follows the reveal speed
}

void Program::GameClose() {
    board_->close();
}

void Program::CloseProgram() {
    const MessageAnswer answer = ShowMessage({QStringLiteral("「タワユWin」を終了します"),
                                              QStringLiteral("「タワユWin」Ver ") + ShortVersion(),
                                              MessageButtons::YesNo, MessageIcon::Question, true});
    if (answer == MessageAnswer::Yes) {
        Quit();
    }
}

void Program::SaveSettings() {
    store_->SaveSettings();
}

void Program::RestoreDefaultSettings() {
    store_->RestoreDefaultSettings();
}

RecordsWindow *Program::RecordsView() const {
    return recordsWindow_;
}

RecordsWindow &Program::LoadRecordsWindow() {
    if (!recordsWindow_) {
        recordsWindow_ = new RecordsWindow;
        connect(recordsWindow_, &RecordsWindow::closedForNewGame, this,
                [this] { game_->NewGame(); });
        connect(recordsWindow_, &RecordsWindow::resetWanted, this, &Program::ResetRecords);
    }
    return *recordsWindow_;
}

void Program::OpenRecordsWindow() {
    ShowForward(&LoadRecordsWindow());
}

void Program::ShowRecords() {
    if (recordsWindow_) {
        QString problem;
        recordsWindow_->Fill(records_->ReadRows(&problem));
        recordsWindow_->SetProblem(problem);
    }
}

void Program::ViewRecords() {
    OpenRecordsWindow();
    ShowRecords();
}

void Program::ResetRecords() {
    if (recordsWindow_) {
        recordsWindow_->close();
        recordsWindow_ = nullptr; // it is deleted later; never show it again
    }
    records_->ResetTable();
    OpenRecordsWindow();
    ShowRecords();
}

void Program::PrintRecordsMenu() {
    // The shared dialog reports Cancel as a failure from the first print on.
    dialogCancelIsFailure = true;
    QPrinter printer;
    const bool chosen = seams_.printerSetup ? seams_.printerSetup(printer) : [&printer] {
        QPrintDialog dialog(&printer);
        dialog.setObjectName(QStringLiteral("CommonDialog1"));
        return dialog.exec() == QDialog::Accepted;
    }();
    if (chosen) {
        PrintRecords(printer);
    }
}

void Program::PrintRecords(QPrinter &printer) {
    LoadRecordsWindow(); // printing loads the window without showing it
    const auto failed = [this] { ShowMessage({QStringLiteral("記録の印刷ができません。")}); };
    ShowRecords();
    recordsWindow_->SetPrintLook(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        failed();
    } else {
        // The window's own size on paper: one screen pixel is one pixel at the screen's density.
        const double scale = double(printer.logicalDpiX()) / double(recordsWindow_->logicalDpiX());
        painter.scale(scale, scale);
        recordsWindow_->render(&painter, QPoint(), QRegion(),
                               QWidget::DrawWindowBackground | QWidget::DrawChildren);
        if (!painter.end()) {
            failed();
        }
    }
    recordsWindow_->SetPrintLook(false);
}
void Program::SelectPictureFolder() {
    if (!dialogHost_) {
        dialogHost_ = std::make_unique<QWidget>();
        dialogHost_->setObjectName(QStringLiteral("Form7"));
    }
    const FolderSelection::OpenFile open =
        seams_.openFileDialog ? seams_.openFileDialog : [this](const FileDialogRequest &request) {
            return FolderSelection::ShowOpenFileDialog(*dialogHost_, request);
        };
    FolderSelection::Select(pictureFolder, dialogCancelIsFailure, open, *this);
}

void Program::CustomiseToolbar() {
    ToolbarDialog dialog(*mainWindow_);
    connect(&dialog, &ToolbarDialog::changed, this, [this] {
        if (const QString problem = mainWindow_->SaveArrangement(); !problem.isEmpty()) {
            Tell(QStringLiteral("ツールバーの配置を保存できませんでした。\n%1").arg(problem));
        }
    });
    dialog.exec();
}

PoemListWindow *Program::PoemList() const {
    return poemList_;
}

void Program::ShowPoemList() {
    if (!poemList_) {
        poemList_ = new PoemListWindow;
    }
    ShowForward(poemList_);
}

StatisticsWindow *Program::Statistics() const {
    return statistics_;
}

void Program::ShowStatistics() {
    if (!statistics_) {
        statistics_ = new StatisticsWindow(catalogue, game_->decisive());
        statistics_->setAttribute(Qt::WA_DeleteOnClose);
        connect(statistics_, &StatisticsWindow::exportWanted, this, &Program::ExportStatistics);
    }
    HistoryStatistics figures;
    QString note;
    // The answers just given are in the figures too.
    const std::unique_ptr<HistoryDatabase> db = history_->Reader(&note);
    if (db && !LoadStatistics(db->Connection(), game_->decisive(), &figures, &note)) {
        figures = {};
    }
    statistics_->SetStatistics(figures, note);
    ShowForward(statistics_);
}

void Program::ExportStatistics() {
    if (!statistics_) {
        return;
    }
    const std::optional<QString> name =
        seams_.saveFileDialog ? seams_.saveFileDialog() : [this]() -> std::optional<QString> {
        const QString chosen = QFileDialog::getSaveFileName(
            statistics_, QStringLiteral("CSVに書き出す"), QStringLiteral("nupew-statistics.csv"),
            QStringLiteral("CSV (*.csv)"));
        return chosen.isEmpty() ? std::nullopt : std::optional(chosen);
    }();
    if (!name) {
        return;
    }
    QList<int> rows;
    for (int row = 0; row < kPoemCount; ++row) {
        rows.append(row);
    }
    // With a byte order mark, spreadsheet programs read the Japanese as UTF-8.
    const QByteArray bytes = "\xEF\xBB\xBF" + statistics_->Model().RowsAsText(rows, u',').toUtf8();
    const FileResult written = WriteFileAtomically(*name, bytes);
    if (!written.ok) {
        ShowMessage(
            {QStringLiteral("%1 に書き出せませんでした。\n%2").arg(*name, written.errorString),
             kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
    }
}

void Program::ApplyVoice() {
    const bool on = reader_ && readAloud_;
    const std::array<std::pair<const char *, bool>, 4> items = {
        {{"readAloud", readAloud_},
         {"readRecited", voiceOptions_.recited},
         {"readLower", voiceOptions_.lower},
         {"readOpening", voiceOptions_.opening}}};
    for (const auto &[name, checked] : items) {
        QAction *item = mainWindow_->Item(QString::fromLatin1(name));
        item->setChecked(reader_ && checked);
        item->setEnabled(reader_ != nullptr);
        item->setToolTip(voiceUnavailable_);
    }
    if (auto *menu = mainWindow_->findChild<QMenu *>(QStringLiteral("readAloudMenu"))) {
        menu->setToolTipsVisible(true); // the tooltip says what to install
    }
    if (on) {
        voiceOptions_.rate = voice::RateForDelay(settings.revealDelay);
        reader_->SetOptions(voiceOptions_);
    }
    game_->SetReader(on ? reader_.get() : nullptr);
}

void Program::ToggleVoiceOption(bool &option, const QString &key) {
    if (!reader_) {
        ApplyVoice();
        return;
    }
    option = !option;
    ApplyVoice();
    const bool value = option;
    WritePreferences([&key, value](QSettings &store) { store.setValue(key, value); });
}

void Program::ToggleReadAloud() {
    ToggleVoiceOption(readAloud_, kReadAloudKey);
}

void Program::ToggleRecited() {
    ToggleVoiceOption(voiceOptions_.recited, kRecitedKey);
}

void Program::ToggleReadLower() {
    ToggleVoiceOption(voiceOptions_.lower, kReadLowerKey);
}

void Program::ToggleOpening() {
    ToggleVoiceOption(voiceOptions_.opening, kOpeningKey);
}

void Program::ToggleDecisive() {
    game_->SetShowDecisive(!game_->showDecisive());
    mainWindow_->Item(QStringLiteral("kimariji"))->setChecked(game_->showDecisive());
    const bool show = game_->showDecisive();
    WritePreferences([show](QSettings &store) { store.setValue(kShowDecisiveKey, show); });
}

HelpWindow *Program::Help() const {
    return help_;
}

void Program::ShowHelpPage(const QString &page) {
    if (!help_) {
        help_ = new HelpWindow;
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    help_->ShowPage(page);
    ShowForward(help_);
}

void Program::HelpContents() {
    ShowHelpPage(QStringLiteral("index"));
}

void Program::HelpOnHelp() {
    ShowHelpPage(QStringLiteral("using"));
}

PictureViewer *Program::Viewer(PictureKind kind) const {
    return kind == PictureKind::Poem ? poemViewer_ : poetViewer_;
}

void Program::OpenPicture(PictureKind kind) {
    if (kind == PictureKind::Poem && !game_->AnswerDecided()) {
        return; // the poem picture only once the question is decided
    }
    QPointer<PictureViewer> &viewer = kind == PictureKind::Poem ? poemViewer_ : poetViewer_;
    if (!viewer) {
        viewer = new PictureViewer(kind);
    }
    // Opened from a box that ends the game, the viewer goes over that box,
    // modal itself, so that it can be looked at and closed.
    const bool overBox = QApplication::activeModalWidget() != nullptr &&
                         QApplication::activeModalWidget() != viewer.data();
    if (overBox != (viewer->windowModality() == Qt::ApplicationModal)) {
        const bool visible = viewer->isVisible();
        viewer->hide();
        viewer->setWindowModality(overBox ? Qt::ApplicationModal : Qt::NonModal);
        viewer->setVisible(visible);
    }
    const bool boardNormal = !(board_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    viewer->Open(pictureFolder, game_->currentPoem(), boardNormal, *this);
}

void Program::ClosePictures() {
    for (QPointer<PictureViewer> *viewer : {&poemViewer_, &poetViewer_}) {
        if (*viewer) {
            (*viewer)->close();
            *viewer = nullptr;
        }
    }
}

void Program::ShowVersion() {
    ShowMessage({QStringLiteral("      タワユかるたとりゲーム\n"
                                "              「　ぬ　ぺ　」\n"
                                "                 Ver. %1\n"
                                "      作: Nupew プロジェクト (MIT ライセンス)")
                     .arg(LongVersion()),
                 QStringLiteral(" バージョン情報"), MessageButtons::Ok, MessageIcon::None, true});
}

void Program::Quit() {
    if (quitting_) {
        return;
    }
    quitting_ = true;
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

// SPDX-License-Identifier: MIT
// The program object: makes the settings, the catalogue, the game and the
// windows, and wires what the windows ask for to the game and the settings.
#pragma once

#include "core/game.h"
#include "core/game_session.h"
#include "core/settings.h"
#include "history/history.h"
#include "history/practice_source.h"
#include "records/record_book.h"
#include "ui/match/match_window.h"
#include "ui/shell/commands.h"
#include "ui/shell/folder_selection.h"
#include "ui/shell/notices.h"
#include "ui/shell/preferences.h"
#include "ui/shell/side_windows.h"
#include "ui/shell/title_screen.h"
#include "ui/viewers/picture_viewer.h"
#include "voice/reader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QPrinter>
#include <memory>

namespace nupew {

class BoardWindow;
class MainWindow;

// The seams a test replaces; empty ones get the real clock, generator and timer.
struct ProgramSeams {
    const TimeOfDay *clock = nullptr;
    Random *random = nullptr;
    RevealTimer *timer = nullptr;
    RecordBook::Clock dateTime;
    // Message boxes; empty, the real boxes are shown.
    std::function<MessageAnswer(const Message &)> messageHandler;
    // The printer setup dialog: false when cancelled; empty, the real dialog.
    std::function<bool(QPrinter &)> printerSetup;
    // Leaves the event loop; empty, QApplication::quit.
    std::function<void()> endApplication;
    // The open-file dialog of the picture folder selection; empty, the real one.
    FolderSelection::OpenFile openFileDialog;
    // The save dialog of the statistics' CSV export; empty, the real one.
    std::function<std::optional<QString>()> saveFileDialog;
};

class Program final : public QObject, public Dialogs {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Program)
public:
    explicit Program(ProgramSeams seams = {});
    ~Program() override;

    // Start-up: settings, catalogue, files, a new game, the title screen, the first deal.
    void Main();

    // Dialogs
    MessageAnswer ShowMessage(const Message &message) override;
    EntryAnswer AskForRecord(const QString &averageText, const QString &faultsText) override;
    PracticeAnswer ShowPracticeEnd(const PracticeFigures &figures) override;
    void ShowRecords() override { windows_->ViewRecords(); }
    void CloseBoard() override;

    // What the main window's menus and toolbar ask for.
    void Run(Command command);
    // A setting chosen in the menus. A text mode takes effect at the next
    // deal, and the board, dealt in the old mode, closes.
    void ChangeSetting(SettingField field, qint16 value);

    void GameOpen();
    void ViewRecords() { windows_->ViewRecords(); }
    void ResetRecords() { windows_->ResetRecords(); }
    void ShowPoemList() { windows_->ShowPoemList(); }
    void ShowStatistics() { windows_->ShowStatistics(game_->decisive(), Practice().newPerDay); }
    void HelpContents() { windows_->ShowHelpPage(QStringLiteral("index")); }
    void SaveSettings() { store_->SaveSettings(); }
    // 特別設定 → 出題範囲: the practice mode, kept in the per-user settings. A
    // new mode closes the board, dealt in the old one.
    void SetPracticeMode(const PracticeMode &mode);
    const PracticeMode &Practice() const { return practice_->Mode(); }
    // Flips an option of the per-user settings, and its check mark.
    void ToggleOption(Option option);
    void ToggleDecisive() { ToggleOption(Option::ShowDecisive); }
    bool ShowsDecisive() const { return game_->showsDecisive(); }
    // The voice, when this machine has its parts; why it cannot read aloud
    // now (no parts, no output), otherwise.
    voice::Reader *VoiceReader() const { return reader_.get(); }
    const QString &voiceUnavailable() const { return voiceUnavailable_; }
    // A click on the verse or on the poet: the picture of the current poem or
    // poet, once the question is decided.
    void OpenPicture(PictureKind kind);
    // Ends the program at once, closing every window.
    void Quit();

    RecordsWindow *RecordsView() const { return windows_->Records(); }
    PictureViewer *Viewer(PictureKind kind) const { return windows_->Viewer(kind); }
    PoemListWindow *PoemList() const { return windows_->PoemList(); }
    HelpWindow *Help() const { return windows_->Help(); }
    StatisticsWindow *Statistics() const { return windows_->Statistics(); }
    MatchWindow *MatchView() const { return match_; }
    History &AnswerHistory() { return *history_; }
    BoardWindow &Board() { return *board_; }
    MainWindow *Frame() const { return mainWindow_.get(); }
    TitleScreen *Title() const { return title_; }
    Game &GameState() { return *game_; }
    GameSession &Session() { return *session_; }
    RecordBook &Records() { return *records_; }
    void ShowMainWindow();

    Settings settings;
    PoemCatalogue catalogue;
    QString pictureFolder;
    // The shared common dialog reports Cancel as a failure once a print has used it.
    bool dialogCancelIsFailure = false;

private:
    void WireBoard();
    void WireMainWindow();
    void WireHistory();
    void WireVoice();
    // What an option changes, once it has changed (and at start-up).
    void ApplyOption(Option option);
    void ApplyVoice();
    void CustomiseToolbar();
    void ChoosePractice();
    // 競技: the match's window, made on first use, raised after.
    void PlayMatch();
    void CloseProgram();
    void Tell(const QString &text) { notices_->Tell(text); }

    ProgramSeams seams_;
    std::unique_ptr<SteadyTimeOfDay> realClock_;
    std::unique_ptr<TimeSeededRandom> realRandom_;
    std::unique_ptr<QtRevealTimer> realTimer_;
    std::unique_ptr<BoardWindow> board_;
    std::unique_ptr<Game> game_;
    std::unique_ptr<GameSession> session_;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<RecordBook> records_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<Notices> notices_;
    std::unique_ptr<History> history_;
    std::unique_ptr<HistoryPracticeSource> practice_;
    std::unique_ptr<voice::Reader> reader_;
    Preferences preferences_;
    QString voiceUnavailable_;
    std::unique_ptr<SideWindows> windows_;
    QPointer<TitleScreen> title_;
    QPointer<MatchWindow> match_;
    QElapsedTimer matchClock_; // the match's reading clock
    bool matchOpen_ = false;   // its window shown and not closing: the voice is the match's
    bool quitting_ = false;
    bool boardPlaced_ = false;
};

} // namespace nupew

// SPDX-License-Identifier: MIT
// The program object: owns the settings, the catalogue, the game and the windows.
#pragma once

#include "core/game.h"
#include "core/settings.h"
#include "history/history.h"
#include "records/record_book.h"
#include "ui/folder_selection.h"
#include "ui/picture_viewer.h"
#include "ui/title_screen.h"
#include "voice/reader.h"

#include <QObject>
#include <QPointer>
#include <QPrinter>
#include <QStringList>
#include <QTimer>
#include <memory>

class QSettings;

namespace nupew {

class BoardWindow;
class HelpWindow;
class MainWindow;
class PoemListWindow;
class RecordsWindow;
class StatisticsWindow;

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

class Program final : public QObject, public Dialogs, public PracticeSource {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Program)
public:
    explicit Program(ProgramSeams seams = {});
    ~Program() override;

    // Start-up: settings, catalogue, files, a new game, the title screen, the first deal.
    void Main();

    // Dialogs
    MessageAnswer ShowMessage(const Message &message) override;
    void ShowRecordEntryBox(const QString &averageText, const QString &faultsText) override;
    bool ShowPracticeEnd(const QString &averageText, const QString &reactionText,
                         const QString &faultsText) override;
    void CloseBoard() override;
    // PracticeSource: the poems of the next game in the chosen practice mode.
    PracticeSet NextGameSet() override;

    // A setting chosen in the menus. A text mode takes effect at the next
    // deal, and the board, dealt in the old mode, closes.
    void ChangeSetting(qint16 &setting, qint16 value);
    // Menu and toolbar handlers.
    void GameOpen();
    void GameClose();
    void CloseProgram();
    void SaveSettings();
    void RestoreDefaultSettings();
    void ViewRecords();
    void ResetRecords();
    void PrintRecordsMenu();
    void SelectPictureFolder();
    void CustomiseToolbar();
    void ShowPoemList();
    void HelpContents();
    void HelpOnHelp();
    void ShowVersion();
    // 記録 → 成績の分析: the statistics window, filled from the history.
    void ShowStatistics();
    void ExportStatistics();
    // 特別設定 → 出題範囲: the practice mode, kept in the per-user settings. A
    // new mode closes the board, dealt in the old one.
    void ChoosePractice();
    void SetPracticeMode(const PracticeMode &mode);
    const PracticeMode &Practice() const { return practiceMode_; }
    // 表示設定 → 決まり字を表示: kept in the per-user settings.
    void ToggleDecisive();
    // Reading aloud and its styles; each flips its option and its check mark.
    void ToggleReadAloud();
    void ToggleRecited();
    void ToggleReadLower();
    void ToggleOpening();
    // The voice, when this machine can read aloud; why not, otherwise.
    voice::Reader *Reader() const { return reader_.get(); }
    const QString &voiceUnavailable() const { return voiceUnavailable_; }
    bool ShowsDecisive() const { return game_->showDecisive(); }
    // Ends the program at once, closing every window.
    void Quit();

    // The records window: open (or raise) it, fill it, print it.
    void OpenRecordsWindow();
    void ShowRecords();
    void PrintRecords(QPrinter &printer);
    RecordsWindow *RecordsView() const;

    // A click on the verse (Label09) or on the poet (Label38): the picture of the
    // current poem or poet.
    void OpenPicture(PictureKind kind);
    PictureViewer *Viewer(PictureKind kind) const;
    PoemListWindow *PoemList() const;
    HelpWindow *Help() const;
    StatisticsWindow *Statistics() const;
    History &AnswerHistory() { return *history_; }

    BoardWindow &Board() { return *board_; }
    MainWindow *Frame() const { return mainWindow_.get(); }
    TitleScreen *Title() const { return title_; }
    Game &GameState() { return *game_; }
    RecordBook &Records() { return *records_; }
    void ShowMainWindow();

    Settings settings;
    PoemCatalogue catalogue;
    QString pictureFolder;
    // The shared common dialog reports Cancel as a failure once a print has used it.
    bool dialogCancelIsFailure = false;

private:
    class BoardRelay;
    class ModalScope;
    ProgramSeams seams_;

    std::unique_ptr<BoardRelay> relay_;
    std::unique_ptr<SteadyTimeOfDay> realClock_;
    std::unique_ptr<TimeSeededRandom> realRandom_;
    std::unique_ptr<QtRevealTimer> realTimer_;
    std::unique_ptr<Game> game_;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<RecordBook> records_;
    std::unique_ptr<BoardWindow> board_;
    std::unique_ptr<MainWindow> mainWindow_;
    QPointer<TitleScreen> title_;
    QPointer<RecordsWindow> recordsWindow_;
    QPointer<PictureViewer> poemViewer_;
    QPointer<PictureViewer> poetViewer_;
    QPointer<PoemListWindow> poemList_;
    QPointer<HelpWindow> help_;
    QPointer<StatisticsWindow> statistics_;
    std::unique_ptr<History> history_;
    std::unique_ptr<voice::Reader> reader_;
    QString voiceUnavailable_;
    bool readAloud_ = false;
    voice::ReaderOptions voiceOptions_;
    void ApplyVoice();
    void ToggleVoiceOption(bool &option, const QString &key);
    QStringList waitingTexts_; // warnings waiting for the main window and for no other box
    QTimer tellTimer_;
    int modalDepth_ = 0;
    bool historyStopped_ = false;
    QString preferencesProblem_; // why the per-user settings are not used this run
    PracticeMode practiceMode_;
    Random *random_ = nullptr;
    std::unique_ptr<QWidget> dialogHost_; // Form7, never shown

    void ClosePictures();
    void ShowHelpPage(const QString &page);
    // Shows a warning once the main window is up and no other box is open.
    void Tell(const QString &text);
    void TellWaiting();
    // Writes the per-user settings; false (told) when they cannot be kept.
    bool WritePreferences(const std::function<void(QSettings &)> &write);

    RecordsWindow &LoadRecordsWindow();
    bool quitting_ = false;
    bool boardPlaced_ = false;
};

} // namespace nupew

// SPDX-License-Identifier: MIT
// The windows beside the board and the main window: the records, the poem
// list, the help, the statistics and the two picture viewers, each from its
// first use until it closes.
#pragma once

#include "core/decisive.h"
#include "core/seams.h"
#include "history/history.h"
#include "records/record_book.h"
#include "ui/shell/folder_selection.h"
#include "ui/viewers/picture_viewer.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace nupew {

class HelpWindow;
class PoemListWindow;
class RecordsWindow;
class StatisticsWindow;

class SideWindows final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SideWindows)
public:
    // The dialogs a test answers; empty, the real ones.
    struct Choosers {
        std::function<bool(QPrinter &)> printerSetup;
        std::function<std::optional<QString>()> saveFileDialog;
        FolderSelection::OpenFile openFileDialog;
    };
    SideWindows(const PoemCatalogue &catalogue, QWidget &board, RecordBook &records,
                History &history, Dialogs &dialogs, Choosers choosers);
    ~SideWindows() override;

    // The records window: opened (or raised) and filled; emptied and shown again.
    void ViewRecords();
    void ResetRecords();
    // 記録印刷: the printer setup, then the records window on paper.
    void PrintRecordsMenu();
    void ShowPoemList();
    void ShowHelpPage(const QString &page);
    // 成績の分析, filled from the history, the answers just given too.
    // `newPerDay`: the drill's new poems a day, for the outlook.
    void ShowStatistics(const DecisiveTable &decisive, int newPerDay);
    // The record entry box of a finished game, over the board when it shows:
    // what the player answered.
    EntryAnswer AskForRecord(const QString &averageText, const QString &faultsText);
    // The figures of a finished practice game, and what the player chose.
    PracticeAnswer ShowPracticeEnd(const QString &name, const PracticeFigures &figures);
    // ﾃﾞｰﾀ（歌）読み出しﾌｫﾙﾀﾞの設定: the folder of the picture chosen in the
    // shared open-file dialog.
    void ChoosePictureFolder(QString &folder, bool cancelIsFailure);
    // The picture of a poem or of its poet.
    void OpenPicture(PictureKind kind, const QString &folder, Poem poem);
    void ClosePictures();

    RecordsWindow *Records() const;
    PictureViewer *Viewer(PictureKind kind) const;
    PoemListWindow *PoemList() const;
    HelpWindow *Help() const;
    StatisticsWindow *Statistics() const;

signals:
    // 閉じる of the records window: a new game follows.
    void newGameWanted();
    // A picture asked for from one of the boxes.
    void pictureWanted(nupew::PictureKind kind);

private:
    // The records window on paper; a failure is told.
    void PrintRecords(QPrinter &printer);
    QWidget *BoxParent() const;
    RecordsWindow &LoadRecordsWindow();
    void FillRecords();
    void ExportStatistics();
    // The history's figures, of the kind of answers the window asks for.
    void LoadStatisticsInto(const DecisiveTable &decisive);

    const PoemCatalogue &catalogue_;
    QWidget &board_;
    RecordBook &book_;
    History &history_;
    Dialogs &dialogs_;
    Choosers choosers_;
    QPointer<RecordsWindow> records_;
    QPointer<PictureViewer> poemViewer_;
    QPointer<PictureViewer> poetViewer_;
    QPointer<PoemListWindow> poemList_;
    QPointer<HelpWindow> help_;
    QPointer<StatisticsWindow> statistics_;
    int newPerDay_ = kDefaultNewPerDay;
    std::unique_ptr<QWidget> dialogHost_; // never shown: the parent of the open-file dialog
};

} // namespace nupew

// SPDX-License-Identifier: MIT
// The windows beside the board and the main window.
#include "ui/shell/side_windows.h"

#include "ui/board/practice_end_box.h"
#include "ui/records/record_entry_box.h"
#include "ui/records/records_window.h"
#include "ui/shell/platform.h"
#include "ui/statistics/statistics_window.h"
#include "ui/viewers/help_window.h"
#include "ui/viewers/poem_list_window.h"

#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrinter>

namespace nupew {

SideWindows::SideWindows(const PoemCatalogue &catalogue, QWidget &board, RecordBook &records,
                         History &history, Dialogs &dialogs, Choosers choosers)
    : catalogue_(catalogue), board_(board), book_(records), history_(history), dialogs_(dialogs),
      choosers_(std::move(choosers)) {}

QWidget *SideWindows::BoxParent() const {
    return board_.isVisible() ? &board_ : nullptr;
}

SideWindows::~SideWindows() {
    // Windows closed during the run may still wait for their deferred deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *window : std::initializer_list<QWidget *>{records_, poemViewer_, poetViewer_,
                                                            poemList_, help_, statistics_}) {
        delete window;
    }
}

RecordsWindow &SideWindows::LoadRecordsWindow() {
    if (!records_) {
        records_ = new RecordsWindow;
        connect(records_, &RecordsWindow::closedForNewGame, this, &SideWindows::newGameWanted);
        connect(records_, &RecordsWindow::resetWanted, this, &SideWindows::ResetRecords);
    }
    return *records_;
}

void SideWindows::FillRecords() {
    const Result<QList<RecordRowText>> rows = book_.ReadRows();
    records_->Fill(rows.value_or({}));
    records_->SetProblem(rows.error());
}

void SideWindows::ViewRecords() {
    ShowForward(&LoadRecordsWindow());
    FillRecords();
}

void SideWindows::ResetRecords() {
    if (records_) {
        records_->close();
        records_ = nullptr; // it is deleted later; never show it again
    }
    if (const Result<> reset = book_.ResetTable(); !reset.ok()) {
        dialogs_.ShowMessage(
            {reset.error(), kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
    }
    ViewRecords();
}

void SideWindows::PrintRecordsMenu() {
    QPrinter printer;
    const bool chosen = choosers_.printerSetup ? choosers_.printerSetup(printer) : [&printer] {
        QPrintDialog dialog(&printer);
        dialog.setObjectName(QStringLiteral("printDialog"));
        return dialog.exec() == QDialog::Accepted;
    }();
    if (chosen) {
        PrintRecords(printer);
    }
}

void SideWindows::PrintRecords(QPrinter &printer) {
    LoadRecordsWindow(); // printing loads the window without showing it
    FillRecords();
    if (!records_->Print(printer)) {
        dialogs_.ShowMessage({tr("記録の印刷ができません。")});
    }
}

void SideWindows::ShowPoemList() {
    if (!poemList_) {
        poemList_ = new PoemListWindow;
    }
    ShowForward(poemList_);
}

void SideWindows::ShowHelpPage(const QString &page) {
    if (!help_) {
        help_ = new HelpWindow;
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    help_->ShowPage(page);
    ShowForward(help_);
}

void SideWindows::ShowStatistics(const DecisiveTable &decisive, int newPerDay) {
    newPerDay_ = newPerDay;
    if (!statistics_) {
        statistics_ = new StatisticsWindow(catalogue_, decisive);
        statistics_->setAttribute(Qt::WA_DeleteOnClose);
        connect(statistics_, &StatisticsWindow::exportWanted, this, &SideWindows::ExportStatistics);
        connect(statistics_, &StatisticsWindow::kindChanged, this,
                [this, &decisive] { LoadStatisticsInto(decisive); });
    }
    LoadStatisticsInto(decisive);
    ShowForward(statistics_);
}

void SideWindows::LoadStatisticsInto(const DecisiveTable &decisive) {
    const Result<std::unique_ptr<HistoryDatabase>> db = history_.OpenReadConnection();
    const Result<HistoryStatistics> figures =
        db.ok() ? LoadStatistics(db.value()->Connection(), decisive, statistics_->Kind())
                : Result<HistoryStatistics>::Failure(db.error());
    HistoryStatistics shown = figures.value_or({});
    QString note = figures.error(); // none, and why
    if (figures.ok()) {
        // The drill's cards beside the figures; the figures stay when they cannot be read.
        if (const Result<std::array<DrillState, kPoemCount>> drill = db.value()->LoadDrill();
            drill.ok()) {
            shown.drill = drill.value();
            shown.drillAt = history_.Now();
        } else {
            note = tr("苦手な歌の練習の予定を履歴から読めません。\n理由: %1").arg(drill.error());
        }
    }
    statistics_->SetStatistics(shown, note, newPerDay_);
    const Result<MatchStatistics> matches =
        db.ok() ? LoadMatchStatistics(db.value()->Connection(), decisive)
                : Result<MatchStatistics>::Failure(db.error());
    statistics_->SetMatchStatistics(matches.value_or({}), matches.error());
}

void SideWindows::ExportStatistics() {
    const std::optional<QString> name =
        choosers_.saveFileDialog ? choosers_.saveFileDialog() : statistics_->AskExportName();
    if (!name) {
        return;
    }
    if (const Result<> written = statistics_->Export(*name); !written.ok()) {
        dialogs_.ShowMessage({tr("%1 に書き出せませんでした。\n%2").arg(*name, written.error()),
                              kProgramTitle, MessageButtons::Ok, MessageIcon::Warning});
    }
}

EntryAnswer SideWindows::AskForRecord(const QString &averageText, const QString &faultsText) {
    // A fresh box for every game end, so the name field always starts empty.
    RecordEntryBox box(averageText, faultsText, BoxParent());
    EntryAnswer answer;
    connect(&box, &RecordEntryBox::registerWanted, this, [&answer](const QString &typed) {
        answer = {EntryAnswer::Kind::Register, typed};
    });
    connect(&box, &RecordEntryBox::declined, this,
            [&answer] { answer.kind = EntryAnswer::Kind::Decline; });
    connect(&box, &RecordEntryBox::poemPictureWanted, this,
            [this] { emit pictureWanted(PictureKind::Poem); });
    connect(&box, &RecordEntryBox::poetPictureWanted, this,
            [this] { emit pictureWanted(PictureKind::Poet); });
    box.exec();
    return answer;
}

PracticeAnswer SideWindows::ShowPracticeEnd(const QString &name, const PracticeFigures &figures) {
    PracticeEndBox box(name, figures, BoxParent());
    connect(&box, &PracticeEndBox::poemPictureWanted, this,
            [this] { emit pictureWanted(PictureKind::Poem); });
    connect(&box, &PracticeEndBox::poetPictureWanted, this,
            [this] { emit pictureWanted(PictureKind::Poet); });
    return box.exec() == QDialog::Accepted ? PracticeAnswer::PlayAgain : PracticeAnswer::End;
}

PictureViewer *SideWindows::Viewer(PictureKind kind) const {
    return kind == PictureKind::Poem ? poemViewer_ : poetViewer_;
}

RecordsWindow *SideWindows::Records() const {
    return records_;
}

PoemListWindow *SideWindows::PoemList() const {
    return poemList_;
}

HelpWindow *SideWindows::Help() const {
    return help_;
}

StatisticsWindow *SideWindows::Statistics() const {
    return statistics_;
}

void SideWindows::ChoosePictureFolder(QString &folder, bool cancelIsFailure) {
    if (!dialogHost_) {
        dialogHost_ = std::make_unique<QWidget>();
        dialogHost_->setObjectName(QStringLiteral("folderDialogHost"));
    }
    const FolderSelection::OpenFile open =
        choosers_.openFileDialog
            ? choosers_.openFileDialog
            : [this](const FileDialogRequest &request) {
                  return FolderSelection::ShowOpenFileDialog(*dialogHost_, request);
              };
    FolderSelection::Select(folder, cancelIsFailure, open, dialogs_);
}

void SideWindows::OpenPicture(PictureKind kind, const QString &folder, Poem poem) {
    const bool boardNormal = !(board_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    PictureViewer::Show(kind == PictureKind::Poem ? poemViewer_ : poetViewer_, kind, folder,
                        poem.number(), boardNormal, dialogs_);
}

void SideWindows::ClosePictures() {
    for (QPointer<PictureViewer> *viewer : {&poemViewer_, &poetViewer_}) {
        if (*viewer) {
            (*viewer)->close();
            *viewer = nullptr;
        }
    }
}

} // namespace nupew

// SPDX-License-Identifier: MIT
// Choosing the picture folder through the shared open-file dialog.
#include "ui/shell/folder_selection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace nupew {

QString FolderSelection::Title() {
    return QCoreApplication::translate(
        "FolderSelection",
        "データファイル（歌または作者）を一つ選択し開くと その場所から歌のデータを読み出します。");
}

QStringList FolderSelection::Filters() {
    // The descriptions keep their double quotes; the patterns in the last
    // parentheses are what the dialog matches, in either case.
    return {QStringLiteral("\"GIF Files (,*.GIF)\" (*.GIF *.gif)"),
            QStringLiteral("\"JPG Files (*.JPG;*.JPEG)\" (*.JPG *.jpg)"),
            QStringLiteral("\"BMP Files (*.BMP)\" (*.BMP *.bmp)"),
            QStringLiteral("\"All Files (*.*)\" (*)")};
}

void FolderSelection::Select(QString &pictureFolder, bool cancelIsFailure, const OpenFile &openFile,
                             Dialogs &dialogs) {
    const QString workingFolder = QDir::currentPath();
    const QString previous = pictureFolder;
    const std::optional<QString> chosen = openFile({Title(), Filters()});
    QString folder;
    if (chosen) {
        folder = QFileInfo(*chosen).absolutePath();
    } else if (cancelIsFailure) {
        return; // once a print has used the shared dialog, Cancel ends the selection
    } else {
        folder = workingFolder;
    }
    // Written as a working directory is: no trailing separator but for the root.
    pictureFolder = folder + u'/';
    const MessageAnswer answer = dialogs.ShowMessage(
        {QCoreApplication::translate("FolderSelection", "歌、作者ファイルを読み出すフォルダを") +
             pictureFolder + QCoreApplication::translate("FolderSelection", "に設定します。"),
         QCoreApplication::translate("FolderSelection", "確認"), MessageButtons::OkCancel});
    if (answer != MessageAnswer::Ok) {
        pictureFolder = previous;
        dialogs.ShowMessage({QCoreApplication::translate(
                                 "FolderSelection", "歌、作者ファイルの設定フォルダを戻します。") +
                                 pictureFolder,
                             QCoreApplication::translate("FolderSelection", "確認")});
    }
    QDir::setCurrent(workingFolder);
}

std::optional<QString> FolderSelection::ShowOpenFileDialog(QWidget &host,
                                                           const FileDialogRequest &request) {
    auto *dialog = host.findChild<QFileDialog *>(QStringLiteral("folderDialog"));
    if (!dialog) {
        dialog = new QFileDialog(&host, request.title);
        dialog->setObjectName(QStringLiteral("folderDialog"));
        dialog->setFileMode(QFileDialog::ExistingFile);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setOption(QFileDialog::HideNameFilterDetails);
        dialog->setNameFilters(request.filters);
        dialog->setDirectory(QDir::currentPath());
    }
    dialog->selectNameFilter(request.filters.value(0));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
}

} // namespace nupew

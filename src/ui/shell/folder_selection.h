// SPDX-License-Identifier: MIT
// Choosing the picture folder through the shared open-file dialog.
#pragma once

#include "core/seams.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace nupew {

struct FileDialogRequest {
    QString title;
    QStringList filters;
};

class FolderSelection final {
public:
    // The open-file dialog: the chosen file, or nothing when cancelled.
    using OpenFile = std::function<std::optional<QString>(const FileDialogRequest &)>;

    static QString Title();
    static QStringList Filters();

    // Runs one selection; `cancelIsFailure` is the shared dialog's setting.
    static void Select(QString &pictureFolder, bool cancelIsFailure, const OpenFile &openFile,
                       Dialogs &dialogs);
    // The real dialog, a child of the hidden host window that keeps it
    // for the run, so that it remembers its last folder.
    static std::optional<QString> ShowOpenFileDialog(QWidget &host,
                                                     const FileDialogRequest &request);
};

} // namespace nupew

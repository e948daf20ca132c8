// SPDX-License-Identifier: MIT
// The help window: Japanese help pages with back and forward.
#pragma once

#include "core/seams.h"

#include <QWidget>

class QTextBrowser;

namespace nupew {

class HelpWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)
public:
    // バージョン情報: the program's name, version and makers.
    static Message VersionMessage();

    explicit HelpWindow(QWidget *parent = nullptr);
    // Shows a page of the help: "index" for the contents, "using" for how to use help.
    void ShowPage(const QString &page);
    QString CurrentPage() const;

private:
    QTextBrowser *browser_ = nullptr;
};

} // namespace nupew

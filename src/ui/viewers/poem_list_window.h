// SPDX-License-Identifier: MIT
// The poem list window: the text of ichirun.txt.
#pragma once

#include <QByteArray>
#include <QWidget>

class QPlainTextEdit;

namespace nupew {

class PoemListWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PoemListWindow)
public:
    explicit PoemListWindow(QWidget *parent = nullptr);
    QString Text() const { return text_; } // the text shown, line ends as read

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Load();

    QPlainTextEdit *textArea_ = nullptr;
    QString text_;
};

} // namespace nupew

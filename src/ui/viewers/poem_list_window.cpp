// SPDX-License-Identifier: MIT
// The poem list window: the text of ichirun.txt.
#include "ui/viewers/poem_list_window.h"

#include "core/file_names.h"
#include "core/safe_files.h"
#include "core/text_files.h"
#include "ui/shell/platform.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace nupew {
namespace {

const QString kListFile = QStringLiteral("ichirun.txt");
// A list of a hundred poems is a few kilobytes; far larger files are shown in part.
constexpr qint64 kMaxListBytes = 8 * 1024 * 1024;

} // namespace

PoemListWindow::PoemListWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("poemListWindow"));
    setWindowTitle(tr("タワユ一覧"));
    setWindowIcon(Picture(QStringLiteral("tool7")));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(TwipsSize(6390, 5160));
    move(Px(45), Px(1380));
    SetColor(this, QPalette::Window, QColor(192, 192, 192));

    textArea_ = new QPlainTextEdit(this);
    textArea_->setObjectName(QStringLiteral("poemText"));
    textArea_->setGeometry(Twips(120, 120, 6135, 4455));
    textArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textArea_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    textArea_->setReadOnly(true); // nothing reads the text back, so typing would be lost
    textArea_->setFont(NamedFont(kMincho, 12));
    QPalette textPalette = textArea_->palette();
    textPalette.setColor(QPalette::Base, QColor(255, 255, 192));
    textArea_->setPalette(textPalette);

    auto *close = new QPushButton(tr("終　了"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setGeometry(Twips(5520, 4680, 735, 375));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    setTabOrder(textArea_, close);
    Load();
}

void PoemListWindow::Load() {
    text_.clear();
    const Result<FileRead> read = ReadRegularFile(FindExisting(kListFile), kMaxListBytes);
    if (!read.ok()) {
        // Something of that name is there but cannot be shown: say what.
        text_ = tr("ichirun.txtがありません。\r\n%1 を読めません: %2")
                    .arg(FindExisting(kListFile), read.error());
    } else if (read.value().missing) {
        text_ = tr("ichirun.txtがありません。");
    } else {
        text_ = PoemListText(read.value().bytes, read.value().truncated);
    }
    QString shown = text_;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    textArea_->setPlainText(shown);
}

void PoemListWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        findChild<QPushButton *>(QStringLiteral("closeButton"))->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace nupew

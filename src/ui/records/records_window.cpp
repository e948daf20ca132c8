// SPDX-License-Identifier: MIT
// The top records window: the ten best results, reset and close.
#include "ui/records/records_window.h"

#include "ui/shell/platform.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>

namespace nupew {
namespace {

struct TableColumn {
    int array;       // 1 name, 2 faults, 3 average time, 4 date, 5 rank
    const char *key; // the cells' object names: key and row (0 the header)
    int left;
    int width;
    const char *header;
    QColor headerText;
    QColor rowGround;
    QColor rowText;
};

} // namespace

RecordsWindow::RecordsWindow(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("recordsWindow"));
    setWindowTitle(tr("成績優秀者"));
    setWindowIcon(Picture(QStringLiteral("leaf")));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(TwipsSize(7335, 3945));
    setAutoFillBackground(true);

    const QColor windowText = palette().color(QPalette::WindowText);
    const QColor white(255, 255, 255);
    const QColor headerGround(192, 255, 192);
    auto popupOn = [this](ClickLabel *label) {
        connect(label, &ClickLabel::rightReleased, this, &RecordsWindow::Popup);
    };
    popupOn(MakeLabel(this, QStringLiteral("titleFrame"),
                      {{}, Twips(120, 120, 7095, 495), QColor(0, 0, 255), {}, font()}));
    popupOn(
        MakeLabel(this, QStringLiteral("title"),
                  {tr("タワユかるたとりゲーム 成績優秀者"), Twips(180, 180, 6975, 375),
                   QColor(192, 255, 255), windowText, NamedFont(kMincho, 18), Qt::AlignCenter}));

    const std::array<TableColumn, 5> columns = {{
        {5, "rank", 120, 375, "", QColor(192, 0, 192), QColor(192, 255, 255), QColor(0, 0, 192)},
        {1, "name", 480, 2055, QT_TRANSLATE_NOOP("nupew::RecordsWindow", "氏　　名"),
         QColor(0, 0, 255), white, windowText},
        {2, "faults", 2520, 1215, QT_TRANSLATE_NOOP("nupew::RecordsWindow", "お手つき数"),
         QColor(192, 0, 192), white, windowText},
        {3, "average", 3720, 1815, QT_TRANSLATE_NOOP("nupew::RecordsWindow", "平均タイム（秒)"),
         QColor(0, 0, 0), white, windowText},
        {4, "date", 5520, 1695, QT_TRANSLATE_NOOP("nupew::RecordsWindow", "日　　付"),
         QColor(0, 0, 0), white, windowText},
    }};
    const QFont cellFont = NamedFont(kMincho, 11.25);
    for (const TableColumn &column : columns) {
        for (int element = 0; element <= 10; ++element) {
            const bool header = element == 0;
            QString text = header ? tr(column.header) : QString();
            if (column.array == 5 && !header) {
                text = element == 10 ? QStringLiteral("10") : QString(QChar(0xFF10 + element));
            }
            Qt::Alignment alignment = Qt::AlignCenter;
            if (header && column.array == 3) {
                alignment = Qt::AlignRight | Qt::AlignVCenter;
            }
            ClickLabel *cell =
                MakeLabel(this, QString::fromLatin1(column.key) + QString::number(element),
                          {text, Twips(column.left, 720 + 240 * element, column.width, 255),
                           header ? headerGround : column.rowGround,
                           header ? column.headerText : column.rowText,
                           (header && column.array == 5) ? NamedFont(kPGothic, 11.25) : cellFont,
                           alignment, true});
            cells_[column.array][element] = cell;
            popupOn(cell);
        }
    }

    const QFont buttonFont = NamedFont(kMincho, 9);
    reset_ = new QPushButton(tr("初期化"), this);
    reset_->setObjectName(QStringLiteral("resetButton"));
    reset_->setGeometry(Twips(120, 3480, 735, 375));
    close_ = new QPushButton(tr("閉じる"), this);
    close_->setObjectName(QStringLiteral("closeButton"));
    close_->setGeometry(Twips(6480, 3480, 735, 375));
    for (QPushButton *button : {reset_, close_}) {
        button->setFont(buttonFont);
        button->setAutoDefault(false);
    }
    connect(close_, &QPushButton::clicked, this, [this] {
        close();
        emit closedForNewGame();
    });
    connect(reset_, &QPushButton::clicked, this, &RecordsWindow::resetWanted);

    // Over the rows when the table cannot be read, so that no one takes the
    // empty rows for an empty table.
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setGeometry(Twips(480, 960, 6735, 2400));
    problem_->setWordWrap(true);
    problem_->setAlignment(Qt::AlignCenter);
    problem_->setAutoFillBackground(true);
    SetColor(problem_, QPalette::Window, QColor(255, 255, 255));
    SetColor(problem_, QPalette::WindowText, QColor(192, 0, 0));
    problem_->hide();

    menu_ = new QMenu(tr("ポップアップ３"), this);
    menu_->setObjectName(QStringLiteral("recordsMenu"));
    menu_->addAction(tr("閉じる(&E)"), close_, &QPushButton::click)
        ->setObjectName(QStringLiteral("recordsMenuClose"));
    menu_->addAction(tr("初期化(&R)"), reset_, &QPushButton::click)
        ->setObjectName(QStringLiteral("recordsMenuReset"));
}

void RecordsWindow::SetProblem(const QString &text) {
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
    problem_->raise();
}

void RecordsWindow::Fill(const QList<RecordRowText> &rows) {
    for (int row = 1; row <= std::min<int>(int(rows.size()), 10); ++row) {
        const RecordRowText &text = rows[row - 1];
        cells_[1][row]->setText(text.name);
        cells_[2][row]->setText(text.faults);
        cells_[3][row]->setText(text.time);
        cells_[4][row]->setText(text.stamp);
    }
}

QString RecordsWindow::Problem() const {
    return problem_->isHidden() ? QString() : problem_->text();
}

QString RecordsWindow::Cell(int column, int row) const {
    return cells_[column][row]->text();
}

void RecordsWindow::SetPrintLook(bool printing) {
    SetColor(this, QPalette::Window, printing ? QColor(255, 255, 255) : QColor(128, 128, 128));
    close_->setVisible(!printing);
    reset_->setVisible(!printing);
}

bool RecordsWindow::Print(QPrinter &printer) {
    SetPrintLook(true);
    QPainter painter;
    bool printed = painter.begin(&printer);
    if (printed) {
        // The window's own size on paper: one screen pixel is one pixel at the screen's density.
        const double scale = double(printer.logicalDpiX()) / double(logicalDpiX());
        painter.scale(scale, scale);
        render(&painter, QPoint(), QRegion(), DrawWindowBackground | DrawChildren);
        printed = painter.end();
    }
    SetPrintLook(false);
    return printed;
}

void RecordsWindow::Popup(const QPoint &at) {
    menu_->popup(at);
}

void RecordsWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        close_->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RecordsWindow::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton && !ReleasedOverControl(this, event)) {
        Popup(event->globalPosition().toPoint());
    }
    event->accept();
}

} // namespace nupew

// SPDX-License-Identifier: MIT
// The top records window: the ten best results, reset and close.
#pragma once

#include "records/record_book.h"

#include <QWidget>
#include <array>

class QLabel;
class QMenu;
class QPrinter;
class QPushButton;

namespace nupew {

class ClickLabel;

class RecordsWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecordsWindow)
public:
    explicit RecordsWindow(QWidget *parent = nullptr);

    // Fills rows 1 to n of the grid; rows after n keep what they show.
    void Fill(const QList<RecordRowText> &rows);
    // Says over the rows why the table cannot be shown; empty, the rows again.
    void SetProblem(const QString &text);
    QString Problem() const;
    // Prints the window as it looks on the screen, on a white ground without
    // the buttons; false when the printer failed.
    bool Print(QPrinter &printer);
    QString Cell(int column, int row) const; // column 1 name, 2 faults, 3 average, 4 date, 5 rank

signals:
    // 閉じる, after the window has closed: a new game follows.
    void closedForNewGame();
    // 初期化.
    void resetWanted();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void SetPrintLook(bool printing);
    void Popup(const QPoint &at);

    std::array<std::array<ClickLabel *, 11>, 6> cells_{}; // [array 1..5][element 0..10]
    QPushButton *close_ = nullptr;
    QPushButton *reset_ = nullptr;
    QMenu *menu_ = nullptr;
    QLabel *problem_ = nullptr;
};

} // namespace nupew

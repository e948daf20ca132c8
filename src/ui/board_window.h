// SPDX-License-Identifier: MIT
// The game board (Form1): eight cards, the verse strip, the poet, the counters.
#pragma once

#include "core/game.h"
#include "ui/grid_label.h"

#include <QWidget>
#include <array>
#include <functional>

class QMenu;
class QPushButton;

namespace nupew {

class BoardWindow final : public QWidget, public BoardDisplay {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BoardWindow)
public:
    explicit BoardWindow(Game &game, QWidget *parent = nullptr);

    void SetCardText(int position, const QString &text) override;
    void SetCardColor(int position, Rgb color) override;
    void SetVerse(const QString &text) override;
    void SetVerseEmphasis(int count) override;
    void SetPoetText(const QString &text) override;
    void SetPoetColor(Rgb color) override;
    void SetPoetGeometry(int topTwips, int heightTwips) override;
    void SetPoetVisible(bool visible) override;
    bool PoetVisible() const override;
    void SetQuestionNumber(const QString &text) override;
    void SetFaultCount(const QString &text) override;
    void SetMessage(const QString &text) override;
    void Beep() override;

    QPushButton *StartButton() const { return startButton_; }
    // The title names a practice mode, so that no one takes it for a table game.
    void SetPracticeName(const QString &name);

signals:
    // A click on the verse or the frame (or the key U), on the poet (or A).
    void poemPictureWanted();
    void poetPictureWanted();
    // The board is closing: the pictures go with it.
    void closing();
    // ゲームリセット in the board's popup: a new game with the board shown.
    void newGameWanted();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void BuildDecoration();
    void BuildCards();
    void BuildControls();
    void BuildMenu();
    ClickLabel *Decoration(const QString &name, const LabelLook &look);

    Game &game_;
    std::array<GridLabel *, kBoardPositions> cards_{};
    GridLabel *verse_ = nullptr;         // Label09
    GridLabel *poet_ = nullptr;          // Label38
    QLabel *question_ = nullptr;         // Label47
    QLabel *faults_ = nullptr;           // Label48
    QLabel *message_ = nullptr;          // Label37
    QPushButton *startButton_ = nullptr; // Command1
    QPushButton *endButton_ = nullptr;   // Command2
    QMenu *menu_ = nullptr;              // menu_1
};

} // namespace nupew

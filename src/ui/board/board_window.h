// SPDX-License-Identifier: MIT
// The game board: eight cards, the verse strip, the poet, the counters.
#pragma once

#include "core/game.h"
#include "ui/board/grid_label.h"

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
    explicit BoardWindow(QWidget *parent = nullptr);

    void SetCardText(int position, const QString &text) override;
    void SetCardColor(int position, Rgb color) override;
    void SetVerse(const QString &text) override;
    void SetVerseEmphasis(int count) override;
    void SetPoetText(const QString &text) override;
    void SetPoetColor(Rgb color) override;
    void SetPoetTall(bool tall) override;
    void SetPoetVisible(bool visible) override;
    bool PoetVisible() const override;
    void SetQuestionNumber(const QString &text) override;
    void SetFaultCount(const QString &text) override;
    void SetMessage(const QString &text) override;
    void Beep() override;

    QPushButton *StartButton() const { return startButton_; }
    // The title names a practice mode, so that no one takes it for a table game.
    void SetPracticeName(const QString &name);
    // A line on how far the voice's preparation is; empty hides it.
    void SetVoiceStatus(const QString &text);

signals:
    // A left click on card k (1-8): a pick, or the start of a waiting question.
    void cardClicked(int card);
    // The number key k: a pick only.
    void cardKeyPressed(int card);
    // 開始, a click on the board's ground or any left press on the window.
    void startWanted();
    // A click on the board's decorations: starts a question that is not running.
    void boardClicked();
    // A click on the verse or the frame (or the key U), on the poet (or A); the
    // pictures open only once the question is decided.
    void poemPictureWanted();
    void poetPictureWanted();
    // The board is closing: the question stops and the pictures go with it.
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

    std::array<GridLabel *, kBoardPositions> cards_{};
    GridLabel *verse_ = nullptr;
    GridLabel *poet_ = nullptr;
    QLabel *question_ = nullptr;
    QLabel *faults_ = nullptr;
    QLabel *message_ = nullptr;
    QLabel *voiceStatus_ = nullptr;
    QPushButton *startButton_ = nullptr;
    QPushButton *endButton_ = nullptr;
    QMenu *menu_ = nullptr;
};

} // namespace nupew

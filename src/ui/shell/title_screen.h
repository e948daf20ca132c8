// SPDX-License-Identifier: MIT
// The title screen: a short star animation, then the main window.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QTimer;

namespace nupew {

class TitleScreen final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TitleScreen)
public:
    explicit TitleScreen(QWidget *parent = nullptr);

    // One tick of the animation clock.
    void Tick();
    qint16 titleTick = 0;
    // Runs on the last tick, after the title screen has closed.
    // The star frame shown now: 0 for none, else the number of star03..star15.
    int ShownFrame() const { return shownFrame_; }
    QTimer *Timer() const { return timer_; }

signals:
    // The 25th tick: the title has closed and the main window comes next.
    void finished();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void ShowFrame(int image);

    QTimer *timer_ = nullptr; // ticks the frames; the 25th closes the title
    QLabel *animation_ = nullptr;
    std::array<QPixmap, 16> frames_;
    int shownFrame_ = 0;
};

} // namespace nupew

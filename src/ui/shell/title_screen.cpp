// SPDX-License-Identifier: MIT
// The title screen: a short star animation, then the main window.
#include "ui/shell/title_screen.h"
#include "version.h"

#include "ui/shell/platform.h"

#include <QIcon>
#include <QPainter>
#include <QTimer>

namespace nupew {

TitleScreen::TitleScreen(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("titleScreen"));
    setWindowTitle(QStringLiteral(" "));
    setWindowIcon(Picture(QStringLiteral("leaf")));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(TwipsSize(6330, 2865));
    SetColor(this, QPalette::Window, QColor(192, 192, 192));

    auto *leaf = new QLabel(this);
    leaf->setObjectName(QStringLiteral("leaf"));
    leaf->setGeometry(Twips(240, 240, 480, 480));
    leaf->setPixmap(Picture(QStringLiteral("leaf")).pixmap(QSize(32, 32), devicePixelRatioF()));

    const QColor windowText = palette().color(QPalette::WindowText);
    MakeLabel(this, QStringLiteral("gameTitle"),
              {tr("タワユかるたとりゲーム"),
               Twips(1200, 360, 4095, 300),
               {},
               QColor(0, 0, 255),
               NamedFont(kMincho, 13.5),
               Qt::AlignCenter});
    MakeLabel(this, QStringLiteral("programName"),
              {QStringLiteral("ぬ ぺ  "),
               Twips(1320, 1080, 2535, 375),
               {},
               windowText,
               NamedFont(kMincho, 20.25),
               Qt::AlignCenter});
    MakeLabel(this, QStringLiteral("version"),
              {QStringLiteral("Ver ") + ShortVersion(),
               Twips(4080, 1200, 1095, 255),
               {},
               windowText,
               NamedFont(kSystemFont, 13.5),
               Qt::AlignCenter});
    MakeLabel(this, QStringLiteral("platformTag"),
              {QStringLiteral("FOR32"),
               Twips(3600, 1440, 495, 255),
               {},
               QColor(255, 128, 128),
               NamedFont(kMincho, 8.25)});
    MakeLabel(this, QStringLiteral("purpose"),
              {tr("小倉百人一首の練習に"),
               Twips(1080, 1800, 4215, 300),
               {},
               windowText,
               NamedFont(kSystemFont, 13.5),
               Qt::AlignCenter});
    MakeLabel(this, QStringLiteral("authors"),
              {tr("Nupew プロジェクト"),
               Twips(1080, 2160, 4215, 300),
               {},
               windowText,
               NamedFont(kSystemFont, 13.5),
               Qt::AlignCenter});

    animation_ = new QLabel(this);
    animation_->setObjectName(QStringLiteral("stars"));
    animation_->setGeometry(Twips(3720, 960, 255, 255));
    for (int image = 3; image <= 15; ++image) {
        frames_[image] = Picture(QStringLiteral("star%1").arg(image, 2, 10, QLatin1Char('0')))
                             .pixmap(QSize(17, 17), devicePixelRatioF());
    }

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("starTimer"));
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(10);
    connect(timer_, &QTimer::timeout, this, &TitleScreen::Tick);
    timer_->start();
}

void TitleScreen::ShowFrame(int image) {
    shownFrame_ = image;
    animation_->setPixmap(frames_[image]);
}

void TitleScreen::Tick() {
    ++titleTick;
    if (titleTick >= 3 && titleTick <= 14) {
        ShowFrame(titleTick);
    } else if (titleTick == 15) {
        ShowFrame(3);
    } else if (titleTick == 16) {
        ShowFrame(15);
    } else if (titleTick == 25) {
        timer_->stop();
        close();
        emit finished();
    }
}

void TitleScreen::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    // The frame with its drop shadow on the right and lower side.
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(Px(6165), Px(210), Px(6165), Px(2685));
    painter.drawLine(Px(210), Px(2685), Px(6150), Px(2685));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(Twips(120, 120, 6015, 2535).adjusted(0, 0, -1, -1));
}

} // namespace nupew

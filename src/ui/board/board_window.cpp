// SPDX-License-Identifier: MIT
// The game board: eight cards, the verse strip, the poet, the counters.
#include "ui/board/board_window.h"
#include "version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>

namespace nupew {
namespace {

const QColor kBoardGrey(192, 192, 192);
const QColor kShadow(128, 128, 128);
const QColor kMat(0, 128, 0);
const QColor kBlue(0, 0, 255);

struct CardPlace {
    int left;
    int top;
    const char *tag;
    int tagLeft;
    int tagTop;
};

// Cards in two rows of four, numbered from the right in columns.
constexpr std::array<CardPlace, kBoardPositions> kCards = {{
    {6180, 900, "１", 7600, 840},
    {6180, 3180, "２", 7600, 3120},
    {4380, 900, "３", 5800, 840},
    {4380, 3180, "４", 5800, 3120},
    {2580, 900, "５", 4000, 840},
    {2580, 3180, "６", 4000, 3120},
    {780, 900, "７", 2200, 840},
    {780, 3180, "８", 2200, 3120},
}};

// The poet label's top and height in twips: the usual one, and the taller one
// that the two longest names need.
constexpr int kPoetTop = 3360;
constexpr int kPoetHeight = 2235;
constexpr int kTallPoetTop = 2360;
constexpr int kTallPoetHeight = 3235;

constexpr int kCardWidth = 1215;
constexpr int kCardHeight = 1695;

} // namespace

BoardWindow::BoardWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("board"));
    setWindowTitle(tr("タワユかるたとりゲーム"));
    setWindowIcon(Picture(QStringLiteral("leaf")));
    setFixedSize(TwipsSize(9555, 5790));
    SetColor(this, QPalette::Window, kBoardGrey);
    setFocusPolicy(Qt::StrongFocus);

    BuildDecoration();
    BuildCards();
    BuildControls();
    BuildMenu();
}

ClickLabel *BoardWindow::Decoration(const QString &name, const LabelLook &look) {
    ClickLabel *label = MakeLabel(this, name, look);
    connect(label, &ClickLabel::clicked, this, [this] { emit boardClicked(); });
    return label;
}

void BoardWindow::BuildDecoration() {
    const QFont small = NamedFont(kMincho, 9);
    // The upper-verse strip: a teal frame, the pale green ground and two shadows.
    Decoration(QStringLiteral("stripShadowRight"),
               {{}, Twips(8520, 240, 135, 5175), kShadow, {}, small});
    Decoration(QStringLiteral("stripShadowBelow"),
               {{}, Twips(8160, 5280, 495, 135), kShadow, {}, small});
    ClickLabel *frame = MakeLabel(this, QStringLiteral("stripFrame"),
                                  {{}, Twips(8040, 90, 495, 5205), QColor(0, 128, 128), {}, small});
    ClickLabel *ground =
        MakeLabel(this, QStringLiteral("stripGround"),
                  {{}, Twips(8100, 150, 375, 5085), QColor(192, 255, 192), {}, small});
    for (ClickLabel *label : {frame, ground}) {
        connect(label, &ClickLabel::clicked, this, [this] { emit poemPictureWanted(); });
    }

    auto *upper = MakeGridLabel(
        this, QStringLiteral("upperVerseTag"),
        {tr("上の句"), Twips(8700, 150, 255, 615), kBoardGrey, QColor(255, 255, 0), small}, 1,
        Px(180));
    connect(upper, &ClickLabel::clicked, this, [this] { emit boardClicked(); });
    Decoration(QStringLiteral("questionBefore"),
               {tr("第"), Twips(9120, 120, 255, 255), kBoardGrey, kBlue, small, Qt::AlignCenter});
    Decoration(QStringLiteral("questionAfter"),
               {tr("問"), Twips(9120, 650, 255, 255), kBoardGrey, kBlue, small, Qt::AlignCenter});
    Decoration(QStringLiteral("faultsBefore"),
               {tr("おてつき"), Twips(7080, 5520, 735, 255), kBoardGrey, QColor(255, 0, 255), small,
                Qt::AlignCenter});
    Decoration(QStringLiteral("faultsAfter"), {tr("回"), Twips(8250, 5520, 255, 255), kBoardGrey,
                                               QColor(255, 0, 255), small, Qt::AlignCenter});

    // The title with its shadows, and the version that ignores clicks.
    const QColor titleGround(0, 192, 192);
    Decoration(QStringLiteral("titleShadowBelow"),
               {{}, Twips(2040, 600, 4815, 135), kShadow, {}, small});
    Decoration(QStringLiteral("titleShadowRight"),
               {{}, Twips(6720, 240, 135, 375), kShadow, {}, small});
    Decoration(QStringLiteral("title"),
               {QStringLiteral("タ　ワ　ユ　"), Twips(1940, 120, 4815, 495), titleGround, Qt::white,
                NamedFont(kMincho, 20.25), Qt::AlignCenter});
    MakeLabel(this, QStringLiteral("version"),
              {QStringLiteral("Ver.") + ShortVersion(), Twips(5880, 360, 855, 255), titleGround,
               Qt::white, NamedFont(kPGothic, 12)});
}

void BoardWindow::BuildCards() {
    const QFont tagFont = NamedFont(kPGothic, 9);
    const QFont cardFont = NamedFont(kMincho, 15.75);
    for (int position = 0; position < kBoardPositions; ++position) {
        const CardPlace &place = kCards[position];
        const int matLeft = place.left - 60;
        const int matTop = place.top - 60;
        // The shadows lie under the mat and show 120 twips beyond its right and lower edges.
        Decoration(QStringLiteral("cardShadowRight%1").arg(position + 1),
                   {{}, Twips(matLeft + 1335 - 15, matTop + 120, 135, 1695), kShadow, {}, tagFont});
        Decoration(QStringLiteral("cardShadowBelow%1").arg(position + 1),
                   {{}, Twips(matLeft + 120, matTop + 1815 - 15, 1335, 135), kShadow, {}, tagFont});
        Decoration(QStringLiteral("cardMat%1").arg(position + 1),
                   {{}, Twips(matLeft, matTop, 1335, 1815), kMat, {}, tagFont});
        const int tagHeight = (position == 4 || position == 5) ? 375 : 255;
        Decoration(QStringLiteral("cardTag%1").arg(position + 1),
                   {QString::fromUtf8(place.tag),
                    Twips(place.tagLeft, place.tagTop, 135, tagHeight), kBoardGrey, kBlue, tagFont,
                    Qt::AlignHCenter | Qt::AlignTop});

        GridLabel *card = MakeGridLabel(
            this, QStringLiteral("card%1").arg(position + 1),
            {{}, Twips(place.left, place.top, kCardWidth, kCardHeight), Qt::white, kBlue, cardFont},
            3, Px(315));
        const int number = position + 1;
        card->setAccessibleDescription(tr("札%1（キー %1）").arg(number));
        connect(card, &ClickLabel::clicked, this, [this, number] { emit cardClicked(number); });
        cards_[position] = card;
    }
}

void BoardWindow::BuildControls() {
    const QFont verseFont = NamedFont(kMincho, 12);
    verse_ = MakeGridLabel(this, QStringLiteral("verseStrip"),
                           {{},
                            Twips(8160, 180, 255, 5055),
                            QColor(192, 255, 192),
                            palette().color(QPalette::WindowText),
                            verseFont},
                           1, Px(240));
    connect(verse_, &ClickLabel::clicked, this, [this] { emit poemPictureWanted(); });

    poet_ = MakeGridLabel(this, QStringLiteral("poetLabel"),
                          {{},
                           Twips(8760, kPoetTop, 360, kPoetHeight),
                           QColor(255, 255, 192),
                           Qt::black,
                           verseFont,
                           Qt::AlignCenter,
                           true},
                          1, Px(240));
    poet_->hide();
    connect(poet_, &ClickLabel::clicked, this, [this] { emit poetPictureWanted(); });

    const QFont gothic = NamedFont(kPGothic, 12);
    question_ = Decoration(QStringLiteral("questionNumber"),
                           {QStringLiteral("1"), Twips(9050, 360, 335, 255), kBoardGrey, kBlue,
                            gothic, Qt::AlignCenter});
    faults_ = Decoration(QStringLiteral("faultCount"), {QStringLiteral("0"),
                                                        Twips(7850, 5460, 400, 255),
                                                        kBoardGrey,
                                                        {},
                                                        gothic,
                                                        Qt::AlignCenter});
    message_ = Decoration(QStringLiteral("message"), {{},
                                                      Twips(1080, 5250, 6015, 255),
                                                      QColor(192, 255, 255),
                                                      {},
                                                      NamedFont(kPGothic, 9.75),
                                                      Qt::AlignCenter,
                                                      true});

    // Shown only while reading aloud is on and its verses are still being made.
    voiceStatus_ = Decoration(QStringLiteral("voiceStatus"), {{},
                                                              Twips(1935, 615, 4800, 210),
                                                              kBoardGrey,
                                                              kBlue,
                                                              NamedFont(kPGothic, 8),
                                                              Qt::AlignLeft | Qt::AlignVCenter});
    voiceStatus_->hide();

    const QFont buttonFont = NamedFont(kPMincho, 9);
    startButton_ = new QPushButton(tr("開始"), this);
    startButton_->setObjectName(QStringLiteral("startButton"));
    startButton_->setAccessibleName(tr("開始"));
    startButton_->setGeometry(Twips(0, 120, 615, 300));
    startButton_->setFont(buttonFont);
    connect(startButton_, &QPushButton::clicked, this, [this] { emit startWanted(); });

    endButton_ = new QPushButton(tr("終了"), this);
    endButton_->setObjectName(QStringLiteral("endButton"));
    endButton_->setGeometry(Twips(0, 5280, 615, 300));
    endButton_->setFont(buttonFont);
    connect(endButton_, &QPushButton::clicked, this, &QWidget::close);
}

void BoardWindow::BuildMenu() {
    menu_ = new QMenu(tr("システム"), this);
    menu_->setObjectName(QStringLiteral("boardMenu"));
    QAction *start = menu_->addAction(tr("開始(&B)"), this, [this] { startButton_->click(); });
    start->setObjectName(QStringLiteral("boardMenuStart"));
    QAction *end = menu_->addAction(tr("終了(&G)"), this, [this] { endButton_->click(); });
    end->setObjectName(QStringLiteral("boardMenuEnd"));
    menu_->addSeparator()->setObjectName(QStringLiteral("boardMenuSeparator"));
    QAction *reset =
        menu_->addAction(tr("ゲームリセット(&R)"), this, [this] { emit newGameWanted(); });
    reset->setObjectName(QStringLiteral("boardMenuNewGame"));
}

void BoardWindow::closeEvent(QCloseEvent *event) {
    // However the board is closed, the question stops and the pictures go with it.
    emit closing();
    event->accept();
}

void BoardWindow::keyPressEvent(QKeyEvent *event) {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        endButton_->click();
    } else if (key >= Qt::Key_1 && key <= Qt::Key_8) {
        emit cardKeyPressed(key - Qt::Key_0);
    } else if (key == Qt::Key_A) {
        emit poetPictureWanted();
    } else if (key == Qt::Key_U) {
        emit poemPictureWanted();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void BoardWindow::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        startButton_->click();
    }
    event->accept();
}

void BoardWindow::mouseDoubleClickEvent(QMouseEvent *event) {
    // Only the first press of a double-click presses 開始; the second is no press.
    event->accept();
}

void BoardWindow::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton) {
        menu_->popup(event->globalPosition().toPoint());
    }
    event->accept();
}

void BoardWindow::SetCardText(int position, const QString &text) {
    if (position >= 0 && position < kBoardPositions) {
        cards_[position]->setText(text);
        // Assistive tools read the verse in its own order, not the card's columns.
        cards_[position]->setAccessibleName(text.isEmpty() ? tr("空き") : Game::ReadingOrder(text));
    }
}

void BoardWindow::SetCardColor(int position, Rgb color) {
    if (position < 0 || position >= kBoardPositions) {
        return;
    }
    SetColor(cards_[position], QPalette::Window, ToColor(color));
}

void BoardWindow::SetPracticeName(const QString &name) {
    const QString title = tr("タワユかるたとりゲーム");
    setWindowTitle(name.isEmpty() ? title : title + tr(" — 練習: ") + name);
}

void BoardWindow::SetVerse(const QString &text) {
    verse_->SetEmphasis(0, {});
    verse_->setText(text);
    verse_->setAccessibleName(text);
}

void BoardWindow::SetVerseEmphasis(int count) {
    // Deep red stands apart from the black verse on the strip's pale green.
    verse_->SetEmphasis(count, QColor(200, 0, 0));
}

void BoardWindow::SetPoetText(const QString &text) {
    poet_->setText(text);
    poet_->setAccessibleName(text.trimmed());
}

void BoardWindow::SetPoetColor(Rgb color) {
    SetColor(poet_, QPalette::WindowText, ToColor(color));
}

void BoardWindow::SetPoetTall(bool tall) {
    poet_->setGeometry(tall ? Twips(8760, kTallPoetTop, 360, kTallPoetHeight)
                            : Twips(8760, kPoetTop, 360, kPoetHeight));
}

void BoardWindow::SetPoetVisible(bool visible) {
    poet_->setVisible(visible);
}

bool BoardWindow::PoetVisible() const {
    return !poet_->isHidden();
}

void BoardWindow::SetQuestionNumber(const QString &text) {
    question_->setText(text);
    question_->setAccessibleName(tr("第%1問").arg(text));
}

void BoardWindow::SetFaultCount(const QString &text) {
    faults_->setText(text);
    faults_->setAccessibleName(tr("お手つき %1回").arg(text));
}

void BoardWindow::SetVoiceStatus(const QString &text) {
    voiceStatus_->setText(text);
    voiceStatus_->setAccessibleName(text);
    voiceStatus_->setVisible(!text.isEmpty());
}

void BoardWindow::SetMessage(const QString &text) {
    // The game's own messages fit the line; a longer one (why the voice
    // stopped) is written smaller, and what still does not fit is in the
    // tooltip.
    QFont font = NamedFont(kPGothic, 9.75);
    const int room = message_->contentsRect().width() - 4;
    while (font.pointSizeF() > 7.0 && QFontMetrics(font).horizontalAdvance(text) > room) {
        font.setPointSizeF(font.pointSizeF() - 0.75);
    }
    message_->setFont(font);
    message_->setToolTip(QFontMetrics(font).horizontalAdvance(text) > room ? text : QString());
    message_->setText(text);
    message_->setAccessibleName(text.trimmed());
}

void BoardWindow::Beep() {
    QApplication::beep();
}

} // namespace nupew

// SPDX-License-Identifier: MIT
#include "ui/match/match_window.h"

#include "voice/reader.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace nupew {

using match::Place;
using match::Side;

namespace {

constexpr QChar kIdeographicSpace(0x3000);
// A torifuda is 5.3 cm wide and 7.3 cm tall.
constexpr double kCardAspect = 53.0 / 73.0;
// Proportions of the mat, in card heights.
constexpr double kRowGap = 0.1;
constexpr double kBetween = 0.45; // three tatami lines between the territories
constexpr double kMargin = 0.2;
constexpr double kCardGap = 0.05; // in card widths

const QColor kMatColor(0xd9, 0xc8, 0x9a);
const QColor kCardColor(0xfb, 0xf7, 0xec);
const QColor kFocusColor(0x1e, 0x5a, 0xc8);
const QColor kChoosingColor(0xc8, 0x00, 0x00);

// The opponent box's item data: the kind times kKindStep, plus a level's row.
constexpr int kKindStep = 100;
int OpponentChoice(match::OpponentKind kind, int level = 0) {
    return int(kind) * kKindStep + (kind == match::OpponentKind::Level ? level : 0);
}

QString SideName(Side side) {
    return side == Side::Player ? MatchWindow::tr("自陣") : MatchWindow::tr("敵陣");
}

QString WhoName(Side side) {
    return side == Side::Player ? MatchWindow::tr("自分") : MatchWindow::tr("相手");
}

} // namespace

QString MatWidget::CardText(const PoemCatalogue &catalogue, Poem poem) {
    QString text = catalogue.Text(poem, kLowerKana).remove(kIdeographicSpace);
    // A torifuda prints no voicing marks: が as か, ぱ as は.
    text = text.normalized(QString::NormalizationForm_D);
    text.remove(QChar(0x3099));
    text.remove(QChar(0x309a));
    return text.normalized(QString::NormalizationForm_C);
}

MatWidget::MatWidget(const PoemCatalogue &catalogue, QWidget *parent)
    : QWidget(parent), catalogue_(catalogue) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(640, 400);
    setAccessibleName(MatchWindow::tr("競技の畳"));
    setAccessibleDescription(MatchWindow::tr("矢印キーで札を選び、Enter で取ります。"));
    handling_.start();
}

double MatWidget::Lateness(const QInputEvent *event) {
    if (!datingInput_ || event->timestamp() == 0) {
        return 0;
    }
    // The events' clock (the window system's milliseconds) has its own
    // origin: the least gap to ours stands for an event handled at once. A
    // gap that grows by more than seconds is a clock that wrapped, not a delay.
    constexpr qint64 kNewOrigin = 10000;
    constexpr double kLatest = 0.5;
    const qint64 gap = handling_.elapsed() - qint64(event->timestamp());
    if (!fewestGap_ || gap < *fewestGap_ || gap - *fewestGap_ > kNewOrigin) {
        fewestGap_ = gap;
    }
    return std::min(kLatest, double(gap - *fewestGap_) / 1000.0);
}

MatWidget::Geometry MatWidget::Layout() const {
    const double rowsHigh = 6 + 4 * kRowGap + kBetween + 2 * kMargin;
    const double cardsWide = match::kRowCapacity * (1 + kCardGap) - kCardGap + 2 * kMargin;
    const double byHeight = height() / rowsHigh;
    const double byWidth = width() / (cardsWide * kCardAspect);
    const double h = std::max(8.0, std::min(byHeight, byWidth));
    Geometry g;
    g.card = QSize(int(h * kCardAspect), int(h));
    g.gap = int(h * kRowGap);
    g.between = int(h * kBetween);
    const int gridWidth =
        int(match::kRowCapacity * (g.card.width() * (1 + kCardGap)) - g.card.width() * kCardGap);
    const int gridHeight = 6 * g.card.height() + 4 * g.gap + g.between;
    g.origin = QPoint((width() - gridWidth) / 2, (height() - gridHeight) / 2);
    return g;
}

QRect MatWidget::SlotRect(Side side, int row, int index, int count) const {
    const Geometry g = Layout();
    const int w = g.card.width();
    const int step = int(w * (1 + kCardGap));
    const int gridWidth = (match::kRowCapacity - 1) * step + w;
    // Half the row from the left end, the rest to the right end, as cards are laid.
    const int left = (count + 1) / 2;
    int x = index < left ? index * step : gridWidth - (count - index) * step + (step - w);
    // Screen rows from the top: the opponent's 上段, 中段, 下段, the gap,
    // the player's 下段, 中段, 上段.
    int screenRow = side == Side::Opponent ? row : 5 - row;
    int y = screenRow * (g.card.height() + g.gap);
    if (side == Side::Player) {
        y += g.between - g.gap;
        // The opponent's left is the player's right.
    } else {
        x = gridWidth - x - w;
    }
    return QRect(g.origin + QPoint(x, y), g.card);
}

QRect MatWidget::CardRect(Poem poem) const {
    if (!match_) {
        return {};
    }
    const std::optional<Place> place = match_->mat().Find(poem);
    if (!place) {
        return {};
    }
    const int count = int(match_->mat().rows(place->side)[size_t(place->row)].size());
    return SlotRect(place->side, int(place->row), place->index, count);
}

Poem MatWidget::CardAt(QPoint point) const {
    if (!match_) {
        return match::kNoPoem;
    }
    for (const Side side : {Side::Player, Side::Opponent}) {
        for (const Poem poem : match_->mat().Cards(side)) {
            if (CardRect(poem).contains(point)) {
                return poem;
            }
        }
    }
    return match::kNoPoem;
}

std::optional<Place> MatWidget::DropPlace(QPoint point) const {
    // A row of the player's territory, and the place among its cards.
    for (int row = 0; row < match::kRows; ++row) {
        const QRect band = SlotRect(Side::Player, row, 0, 1);
        if (point.y() < band.top() || point.y() > band.bottom()) {
            continue;
        }
        const QList<Poem> &cards = match_->mat().rows(Side::Player)[size_t(row)];
        int index = int(cards.size());
        for (int i = 0; i < cards.size(); ++i) {
            if (point.x() < CardRect(cards[i]).center().x()) {
                index = i;
                break;
            }
        }
        return Place{Side::Player, match::Row(row), index};
    }
    return std::nullopt;
}

const QPixmap &MatWidget::Face(Poem poem, QSize size) {
    if (facesSize_ != size) {
        faces_.clear();
        facesSize_ = size;
    }
    auto it = faces_.find(poem.number());
    if (it != faces_.end()) {
        return *it;
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap face(size * ratio);
    face.setDevicePixelRatio(ratio);
    face.fill(Qt::transparent);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x6b, 0x8e, 0x23), std::max(1.0, size.width() / 20.0)));
    p.setBrush(kCardColor);
    p.drawRoundedRect(QRectF(QPointF(0.5, 0.5), QSizeF(size) - QSizeF(1, 1)), 2, 2);
    // The verse in columns of five from the right, top to bottom.
    const QString text = CardText(catalogue_, poem);
    // The lowest sixth is left for the decisive characters.
    const double cell = std::min(size.width() / 3.3, size.height() / 6.4);
    QFont font = this->font();
    font.setPixelSize(std::max(4, int(cell * 0.86)));
    p.setFont(font);
    p.setPen(Qt::black);
    const double top = (size.height() * 5.0 / 6.0 - 5 * cell) / 2 + 1;
    const double right = size.width() - (size.width() - 3 * cell) / 2;
    for (int i = 0; i < text.size(); ++i) {
        const int column = std::min(i / 5, 2);
        const int place = i - column * 5;
        const QRectF box(right - (column + 1) * cell, top + place * cell, cell, cell);
        p.drawText(box, Qt::AlignCenter, QString(text[i]));
    }
    return *faces_.insert(poem.number(), face);
}

void MatWidget::paintEvent(QPaintEvent *) {
    QElapsedTimer timer;
    timer.start();
    QPainter p(this);
    p.fillRect(rect(), kMatColor);
    if (!match_) {
        return;
    }
    const Geometry g = Layout();
    // The line between the territories.
    const QRect opponentLast = SlotRect(Side::Opponent, 2, 0, 1);
    const int middle = opponentLast.bottom() + g.between / 2;
    p.setPen(QPen(QColor(0x8a, 0x7a, 0x50), 1, Qt::DashLine));
    p.drawLine(0, middle, width(), middle);
    QFont small = font();
    small.setPixelSize(std::max(6, g.card.height() / 7));
    for (const Side side : {Side::Player, Side::Opponent}) {
        for (const Poem poem : match_->mat().Cards(side)) {
            QRect r = CardRect(poem);
            if (poem == dragged_) {
                r.moveCenter(dragAt_);
            }
            const QPixmap &face = Face(poem, g.card);
            if (side == Side::Opponent) {
                p.save();
                p.translate(r.center());
                p.rotate(180);
                p.drawPixmap(QPoint(-r.width() / 2, -r.height() / 2), face);
                p.restore();
            } else {
                p.drawPixmap(r.topLeft(), face);
            }
            if (showDecisive_) {
                const QString heard = match_->decisive().Heard(poem);
                small.setPixelSize(std::max(
                    5, std::min(g.card.height() / 7, int(r.width() / (heard.size() + 0.4)))));
                p.setFont(small);
                p.setPen(QColor(0xc8, 0, 0));
                const QRect label = side == Side::Player
                                        ? QRect(r.left(), r.bottom() - g.card.height() / 6,
                                                r.width(), g.card.height() / 6)
                                        : QRect(r.left(), r.top(), r.width(), g.card.height() / 6);
                p.fillRect(label, QColor(255, 255, 255, 200));
                p.drawText(label, Qt::AlignCenter, heard);
            }
            if (choosing_ && side == Side::Player) {
                p.setPen(QPen(kChoosingColor, 2));
                p.setBrush(Qt::NoBrush);
                p.drawRect(r.adjusted(1, 1, -1, -1));
            }
            if (poem == focused_ && hasFocus()) {
                p.setPen(QPen(kFocusColor, 3));
                p.setBrush(Qt::NoBrush);
                p.drawRect(r.adjusted(-2, -2, 2, 2));
            }
        }
    }
    lastPaintMs_ = timer.nsecsElapsed() / 1e6;
}

void MatWidget::resizeEvent(QResizeEvent *) {
    faces_.clear();
}

void MatWidget::mousePressEvent(QMouseEvent *event) {
    pressLate_ = Lateness(event);
    const auto handled = qScopeGuard([this] { pressLate_ = 0; });
    const Poem poem = CardAt(event->position().toPoint());
    if (!poem.valid() || event->button() != Qt::LeftButton) {
        return;
    }
    focused_ = poem;
    if (draggable_) {
        if (match_->mat().Find(poem)->side == Side::Player) {
            dragged_ = poem;
            dragAt_ = event->position().toPoint();
        }
        return;
    }
    emit cardPressed(poem);
}

void MatWidget::mouseMoveEvent(QMouseEvent *event) {
    Lateness(event); // each event tells the events' clock better
    if (dragged_.valid()) {
        dragAt_ = event->position().toPoint();
        update();
    }
}

void MatWidget::mouseReleaseEvent(QMouseEvent *event) {
    if (!dragged_.valid()) {
        return;
    }
    const Poem poem = std::exchange(dragged_, match::kNoPoem);
    if (const std::optional<Place> to = DropPlace(event->position().toPoint())) {
        emit cardMoved(poem, *to);
    }
    update();
}

void MatWidget::MoveFocus(int dx, int dy) {
    if (!match_) {
        return;
    }
    QList<Poem> all = match_->mat().Cards(Side::Opponent) + match_->mat().Cards(Side::Player);
    if (all.isEmpty()) {
        return;
    }
    if (!match_->mat().Contains(focused_)) {
        focused_ = match_->mat().Cards(Side::Player).value(0, all[0]);
        AnnounceFocus();
        return;
    }
    const QPoint from = CardRect(focused_).center();
    // The nearest card in the direction asked, preferring its own line.
    Poem best = focused_;
    double bestScore = 1e18;
    for (const Poem poem : all) {
        const QPoint d = CardRect(poem).center() - from;
        const int along = dx != 0 ? d.x() * dx : d.y() * dy;
        const int across = dx != 0 ? std::abs(d.y()) : std::abs(d.x());
        if (poem == focused_ || along <= 0) {
            continue;
        }
        const double score = along + 20.0 * across;
        if (score < bestScore) {
            bestScore = score;
            best = poem;
        }
    }
    focused_ = best;
    AnnounceFocus();
}

void MatWidget::AnnounceFocus() {
    const std::optional<Place> place = match_ ? match_->mat().Find(focused_) : std::nullopt;
    if (!place) {
        return;
    }
    static const char *const kRowNames[] = {QT_TRANSLATE_NOOP("nupew::MatchWindow", "上段"),
                                            QT_TRANSLATE_NOOP("nupew::MatchWindow", "中段"),
                                            QT_TRANSLATE_NOOP("nupew::MatchWindow", "下段")};
    setAccessibleName(MatchWindow::tr("%1 %2 %3枚目: %4")
                          .arg(SideName(place->side), MatchWindow::tr(kRowNames[int(place->row)]))
                          .arg(place->index + 1)
                          .arg(CardText(catalogue_, focused_)));
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    update();
}

void MatWidget::keyPressEvent(QKeyEvent *event) {
    pressLate_ = Lateness(event);
    const auto handled = qScopeGuard([this] { pressLate_ = 0; });
    switch (event->key()) {
    case Qt::Key_Left:
        MoveFocus(-1, 0);
        return;
    case Qt::Key_Right:
        MoveFocus(1, 0);
        return;
    case Qt::Key_Up:
        MoveFocus(0, -1);
        return;
    case Qt::Key_Down:
        MoveFocus(0, 1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (match_ && match_->mat().Contains(focused_)) {
            emit cardPressed(focused_);
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MatWidget::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    if (match_ && !match_->mat().Contains(focused_)) {
        MoveFocus(0, 0);
    }
}

MatchWindow::MatchWindow(const PoemCatalogue &catalogue, const match::MatchSetup &setup,
                         int revealDelay, std::function<double()> now, QWidget *parent)
    : QWidget(parent), catalogue_(catalogue), setup_(setup), revealDelay_(revealDelay),
      now_(std::move(now)) {
    setWindowTitle(MatchWindow::tr("競技（一人対戦）"));
    setObjectName(QStringLiteral("matchWindow"));
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    connect(&wake_, &QTimer::timeout, this, &MatchWindow::WakeNow);
    countdown_.setInterval(250);
    connect(&countdown_, &QTimer::timeout, this, &MatchWindow::CountDown);

    choices_ = new QWidget(this);
    auto *choices = new QHBoxLayout(choices_);
    choices->setContentsMargins(0, 0, 0, 0);
    opponentBox_ = new QComboBox(choices_);
    opponentBox_->setObjectName(QStringLiteral("opponent"));
    // Each choice's data: its kind, and for a level its row of the table.
    opponentBox_->addItem(MatchWindow::tr("一人取り"), OpponentChoice(match::OpponentKind::Solo));
    opponentBox_->addItem(MatchWindow::tr("一定の相手"),
                          OpponentChoice(match::OpponentKind::Steady));
    for (int level = 0; level < int(match::kLevels.size()); ++level) {
        opponentBox_->addItem(MatchWindow::tr("相手: %1")
                                  .arg(QCoreApplication::translate(
                                      "nupew::match::Match", match::kLevels[size_t(level)].name)),
                              OpponentChoice(match::OpponentKind::Level, level));
    }
    opponentBox_->addItem(MatchWindow::tr("自分と対戦"),
                          OpponentChoice(match::OpponentKind::Ghost));
    opponentBox_->setAccessibleName(MatchWindow::tr("相手"));
    delayBox_ = new QDoubleSpinBox(choices_);
    delayBox_->setObjectName(QStringLiteral("steadyDelay"));
    delayBox_->setRange(match::SteadyOpponent::kFastest, match::SteadyOpponent::kSlowest);
    delayBox_->setSingleStep(0.1);
    delayBox_->setDecimals(1);
    delayBox_->setSuffix(MatchWindow::tr(" 秒"));
    delayBox_->setAccessibleName(MatchWindow::tr("決まり字から相手が取るまで"));
    layoutBox_ = new QComboBox(choices_);
    layoutBox_->setObjectName(QStringLiteral("layout"));
    layoutBox_->addItems(
        {MatchWindow::tr("ランダムに並べる"), MatchWindow::tr("初心者向けに並べる")});
    layoutBox_->setAccessibleName(MatchWindow::tr("並べ方"));
    memoriseBox_ = new QComboBox(choices_);
    memoriseBox_->setObjectName(QStringLiteral("memorise"));
    for (const int minutes : match::kMemorisationMinutes) {
        memoriseBox_->addItem(MatchWindow::tr("暗記 %1 分").arg(minutes), minutes);
    }
    memoriseBox_->setAccessibleName(MatchWindow::tr("暗記時間"));
    decisiveBox_ = new QCheckBox(MatchWindow::tr("決まり字を表示"), choices_);
    decisiveBox_->setObjectName(QStringLiteral("showDecisive"));
    for (QWidget *w : std::initializer_list<QWidget *>{opponentBox_, delayBox_, layoutBox_,
                                                       memoriseBox_, decisiveBox_}) {
        choices->addWidget(w);
    }
    choices->addStretch();
    opponentBox_->setCurrentIndex(
        std::max(0, opponentBox_->findData(OpponentChoice(setup_.opponent, setup_.level))));
    SetOwnReactions({}, MatchWindow::tr("履歴に回答がまだありません"));
    delayBox_->setValue(setup_.steadyDelay);
    delayBox_->setEnabled(setup_.opponent == match::OpponentKind::Steady);
    layoutBox_->setCurrentIndex(int(setup_.layout));
    memoriseBox_->setCurrentIndex(
        int(std::ranges::find(match::kMemorisationMinutes, setup_.memoriseMinutes) -
            match::kMemorisationMinutes.begin()));
    decisiveBox_->setChecked(setup_.showDecisive);

    countdownLabel_ = new QLabel(this);
    countdownLabel_->setObjectName(QStringLiteral("countdown"));
    endMemorising_ = new QPushButton(MatchWindow::tr("暗記終了・読み始める"), this);
    endMemorising_->setObjectName(QStringLiteral("endMemorising"));
    connect(endMemorising_, &QPushButton::clicked, this, &MatchWindow::EndMemorising);
    pause_ = new QPushButton(MatchWindow::tr("一時停止 (Space)"), this);
    pause_->setObjectName(QStringLiteral("pause"));
    pause_->setEnabled(false);
    connect(pause_, &QPushButton::clicked, this, [this] {
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        keyPressEvent(&space);
    });
    auto *quit = new QPushButton(MatchWindow::tr("競技をやめる"), this);
    quit->setObjectName(QStringLiteral("quitMatch"));
    connect(quit, &QPushButton::clicked, this, &QWidget::close);

    strip_ = new QLabel(this);
    strip_->setObjectName(QStringLiteral("strip"));
    QFont big = strip_->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    strip_->setFont(big);
    strip_->setMinimumHeight(QFontMetrics(big).height() + 8);
    strip_->setTextFormat(Qt::RichText);
    strip_->setAccessibleName(MatchWindow::tr("上の句"));
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("counts"));
    lastRead_ = new QLabel(this);
    lastRead_->setObjectName(QStringLiteral("lastRead"));
    lastRead_->setWordWrap(true);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    message_->setAccessibleName(MatchWindow::tr("お知らせ"));
    changes_ = new QListWidget(this);
    changes_->setObjectName(QStringLiteral("changes"));
    changes_->setAccessibleName(MatchWindow::tr("決まり字の変化"));
    changes_->setMinimumWidth(200);

    mat_ = new MatWidget(catalogue_, this);
    mat_->setObjectName(QStringLiteral("mat"));
    connect(mat_, &MatWidget::cardPressed, this, &MatchWindow::CardPressed);
    connect(mat_, &MatWidget::cardMoved, this, [this](Poem poem, Place to) {
        if (flow_->phase() == match::MatchFlow::Phase::Memorising && match_->mat().Move(poem, to)) {
            mat_->update();
        }
    });

    auto *side = new QVBoxLayout;
    side->addWidget(counts_);
    side->addWidget(lastRead_);
    side->addWidget(message_);
    side->addWidget(new QLabel(MatchWindow::tr("決まり字の変化"), this));
    side->addWidget(changes_, 1);
    side->addWidget(pause_);
    side->addWidget(quit);
    auto *top = new QHBoxLayout;
    top->addWidget(choices_, 1);
    top->addWidget(countdownLabel_);
    top->addWidget(endMemorising_);
    auto *middle = new QHBoxLayout;
    middle->addWidget(mat_, 1);
    middle->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(strip_);
    layout->addLayout(middle, 1);

    const auto changed = [this] { SetupFromControls(); };
    connect(opponentBox_, &QComboBox::currentIndexChanged, this, changed);
    connect(delayBox_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(layoutBox_, &QComboBox::currentIndexChanged, this, changed);
    connect(memoriseBox_, &QComboBox::currentIndexChanged, this, changed);
    connect(decisiveBox_, &QCheckBox::toggled, this, changed);
    Deal();
}

MatchWindow::~MatchWindow() = default;

void MatchWindow::SetupFromControls() {
    match::MatchSetup setup;
    const int choice = opponentBox_->currentData().toInt();
    setup.opponent = match::OpponentKind(choice / kKindStep);
    setup.level = setup.opponent == match::OpponentKind::Level ? choice % kKindStep : setup_.level;
    setup.steadyDelay = delayBox_->value();
    setup.layout = match::LayoutRule(layoutBox_->currentIndex());
    setup.memoriseMinutes = memoriseBox_->currentData().toInt();
    setup.showDecisive = decisiveBox_->isChecked();
    if (setup == setup_) {
        return;
    }
    const bool redeal = setup.layout != setup_.layout || setup.opponent != setup_.opponent ||
                        setup.steadyDelay != setup_.steadyDelay || setup.level != setup_.level ||
                        setup.memoriseMinutes != setup_.memoriseMinutes;
    setup_ = setup;
    delayBox_->setEnabled(setup_.opponent == match::OpponentKind::Steady);
    mat_->SetShowDecisive(setup_.showDecisive);
    emit setupChanged(setup_);
    if (redeal && flow_->phase() == match::MatchFlow::Phase::Memorising) {
        Deal();
    }
}

void MatchWindow::Deal() {
    const auto seed = std::uint32_t(QDateTime::currentMSecsSinceEpoch());
    switch (setup_.opponent) {
    case match::OpponentKind::Steady:
        opponent_ = std::make_unique<match::SteadyOpponent>(setup_.steadyDelay);
        break;
    case match::OpponentKind::Level:
        opponent_ = std::make_unique<match::LevelOpponent>(match::LevelAt(setup_.level), seed + 1);
        break;
    case match::OpponentKind::Ghost:
        if (!own_.Empty()) {
            opponent_ = std::make_unique<match::GhostOpponent>(own_, seed + 1);
            break;
        }
        [[fallthrough]]; // no answers yet: nobody across the mat
    case match::OpponentKind::Solo:
        opponent_ = std::make_unique<match::SoloOpponent>();
        break;
    }
    mat_->SetMatch(nullptr);
    flow_.reset();
    match_ = std::make_unique<match::Match>(catalogue_, *opponent_, seed);
    match_->Deal(setup_.layout);
    match::Rhythm rhythm;
    rhythm.step = match::StepForRevealDelay(revealDelay_);
    flow_ = std::make_unique<match::MatchFlow>(*match_, catalogue_, rhythm);
    flow_->SetVoiced(voice_ != nullptr);
    PrepareVoice();
    mat_->SetMatch(match_.get());
    mat_->SetShowDecisive(setup_.showDecisive);
    mat_->SetDraggable(true);
    changes_->clear();
    memoriseEnd_ = now_() + setup_.memoriseMinutes * 60.0;
    message_->setText(
        MatchWindow::tr("札の位置を覚えてください。自陣の札はドラッグで動かせます。"));
    if (setup_.opponent == match::OpponentKind::Ghost && own_.Empty()) {
        message_->setText(
            message_->text() + u'\n' +
            MatchWindow::tr("自分と対戦には履歴の回答が要ります。相手は札に触れません。"));
    }
    Refresh();
    if (setup_.memoriseMinutes == 0) {
        QTimer::singleShot(0, this, &MatchWindow::EndMemorising);
    } else {
        countdown_.start();
        CountDown();
    }
}

void MatchWindow::CountDown() {
    const double left = memoriseEnd_ - now_();
    if (left <= 0) {
        EndMemorising();
        return;
    }
    const int seconds = int(std::ceil(left));
    countdownLabel_->setText(MatchWindow::tr("暗記時間 残り %1:%2")
                                 .arg(seconds / 60)
                                 .arg(seconds % 60, 2, 10, QChar(u'0')));
}

void MatchWindow::EndMemorising() {
    if (flow_->phase() != match::MatchFlow::Phase::Memorising) {
        return;
    }
    countdown_.stop();
    countdownLabel_->clear();
    endMemorising_->hide();
    choices_->setEnabled(false);
    mat_->SetDraggable(false);
    pause_->setEnabled(true);
    flow_->StartReading(now_());
    if (log_) {
        log_->MatchStarted(
            {OpponentKey(), setup_.layout, setup_.memoriseMinutes, flow_->readingVoiced()});
        logging_ = true;
        logged_ = 0;
        voicedReadings_.clear();
    }
    Announce(MatchWindow::tr("暗記時間終了。序歌を読みます。"));
    if (flow_->readingVoiced()) {
        if (!voice_->ReadOpening()) {
            VoiceLost(voice_->Unready());
        }
    }
    Refresh();
    Schedule();
    mat_->setFocus();
}

QString MatchWindow::OpponentKey() const {
    switch (setup_.opponent) {
    case match::OpponentKind::Steady:
        return QStringLiteral("steady:%1").arg(setup_.steadyDelay, 0, 'f', 1);
    case match::OpponentKind::Level:
        return QStringLiteral("level:%1").arg(QLatin1String(match::LevelAt(setup_.level).key));
    case match::OpponentKind::Ghost:
        if (!own_.Empty()) {
            return QStringLiteral("ghost");
        }
        break;
    case match::OpponentKind::Solo:
        break;
    }
    return QStringLiteral("solo");
}

void MatchWindow::LogReadings(bool all) {
    // A reading is kept once it is over: the one under way waits, unless the match is.
    const int done = all ? match_->PoemsRead() : match_->PoemsRead() - 1;
    for (; logging_ && logged_ < done; ++logged_) {
        log_->MatchReading(logged_, match_->readings()[logged_],
                           logged_ < voicedReadings_.size() && voicedReadings_[logged_]);
    }
}

void MatchWindow::LogEnd(bool finished) {
    if (!logging_) {
        return;
    }
    LogReadings(finished);
    log_->MatchEnded(*match_, finished);
    logging_ = false;
}

void MatchWindow::SetOwnReactions(match::OwnReactions own, const QString &why) {
    own_ = std::move(own);
    auto *model = qobject_cast<QStandardItemModel *>(opponentBox_->model());
    QStandardItem *ghost =
        model->item(opponentBox_->findData(OpponentChoice(match::OpponentKind::Ghost)));
    ghost->setEnabled(!own_.Empty());
    ghost->setToolTip(own_.Empty() ? why
                                   : MatchWindow::tr("相手は履歴にあるあなたの反応時間で取ります"));
    if (setup_.opponent == match::OpponentKind::Ghost && flow_ &&
        flow_->phase() == match::MatchFlow::Phase::Memorising) {
        Deal();
    }
}

void MatchWindow::SetVoice(voice::Reader *reader) {
    if (voice_ == reader) {
        return;
    }
    if (voice_) {
        disconnect(voice_, nullptr, this, nullptr);
        voice_->Stop();
        if (flow_ && flow_->readingVoiced()) {
            flow_->VoiceLost(now_());
            Schedule();
        }
    }
    voice_ = reader;
    if (voice_) {
        connect(voice_, &voice::Reader::readToEnd, this, [this] {
            flow_->VoiceEnded(now_());
            WakeNow();
        });
    }
    if (flow_) {
        flow_->SetVoiced(voice_ != nullptr);
        PrepareVoice();
    }
}

void MatchWindow::PrepareVoice() {
    // What is read first is made ready first: the opening poem, the first poem.
    if (voice_ && flow_->phase() == match::MatchFlow::Phase::Memorising) {
        if (!match_->order().isEmpty()) {
            voice_->Prepare(match_->order().front(), kUpperKana);
        }
        voice_->PrepareOpening();
    }
}

void MatchWindow::ReadUpperAloud(Poem poem) {
    const qsizetype next = match_->order().indexOf(poem) + 1;
    const bool reading = voice_->ReadUpper(poem, kUpperKana,
                                           [this](int step, float late) { VoiceStep(step, late); });
    // The next poem's verses are made ready while this one is read.
    if (next > 0 && next < match_->order().size()) {
        voice_->Prepare(match_->order()[next], kUpperKana);
    }
    if (!reading) {
        VoiceLost(voice_->Unready());
    }
}

void MatchWindow::VoiceStep(int step, float late) {
    if (step < 0) {
        VoiceLost(voice_ ? voice_->BrokeOff() : QString());
    } else {
        flow_->VoiceStep(step, now_() - late);
    }
    Handle(flow_->TakeEvents());
    Refresh();
    Schedule();
}

void MatchWindow::VoiceLost(const QString &why) {
    flow_->VoiceLost(now_());
    Announce(why.isEmpty() ? MatchWindow::tr("この歌は文字だけで表示します。")
                           : MatchWindow::tr("この歌は文字だけで表示します（%1）。").arg(why));
    Schedule();
}

void MatchWindow::Schedule() {
    const std::optional<double> next = flow_->NextWake();
    if (!next) {
        wake_.stop();
        return;
    }
    // A millisecond timer wakes up to a millisecond late: it is set short
    // of the moment, and a wake that finds nothing due yet comes again at once.
    wake_.start(std::max(0, int(std::floor((*next - now_()) * 1000))));
}

void MatchWindow::WakeNow() {
    flow_->Wake(now_());
    const QList<match::MatchFlow::Event> events = flow_->TakeEvents();
    // A card taken, touched or sent is painted at once, before the texts,
    // not at the next turn of the event loop: the opponent's touch shows at
    // its moment.
    if (std::ranges::any_of(events, [](const match::MatchFlow::Event &e) {
            using Kind = match::MatchFlow::Event::Kind;
            return e.kind == Kind::Took || e.kind == Kind::Fault || e.kind == Kind::Sent;
        })) {
        mat_->repaint();
    }
    Handle(events);
    Refresh();
    Schedule();
}

void MatchWindow::CardPressed(Poem poem) {
    using Phase = match::MatchFlow::Phase;
    if (flow_->phase() == Phase::Memorising) {
        return;
    }
    // When the hand came down, not when the event was handled: an opponent's
    // touch due in between comes after it.
    const double at = now_() - mat_->pressLate();
    if (match_->PlayerSendingsOwed() > 0) {
        if (!flow_->PlayerSends(poem, at)) {
            Announce(MatchWindow::tr("送る札は自陣から選んでください。"));
        }
    } else {
        flow_->PlayerTouch(poem, at);
    }
    Handle(flow_->TakeEvents());
    Refresh();
    mat_->repaint();
    Schedule();
}

QString MatchWindow::Describe(Poem poem) const {
    return MatchWindow::tr("%1番「%2」")
        .arg(poem.number())
        .arg(MatWidget::CardText(catalogue_, poem));
}

void MatchWindow::Handle(const QList<match::MatchFlow::Event> &events) {
    using Kind = match::MatchFlow::Event::Kind;
    for (const match::MatchFlow::Event &e : events) {
        switch (e.kind) {
        case Kind::ReadingBegun:
            if (flow_->readingVoiced()) {
                ReadUpperAloud(e.card);
            }
            voicedReadings_.append(flow_->readingVoiced());
            LogReadings(false);
            break;
        case Kind::Decisive:
            // Read aloud or shown: as it was up to the decisive sound.
            if (!voicedReadings_.isEmpty()) {
                voicedReadings_.back() = flow_->readingVoiced();
            }
            break;
        case Kind::Took: {
            QString text = MatchWindow::tr("%1が取りました（%2）: %3")
                               .arg(WhoName(e.who), SideName(e.territory), Describe(e.card));
            if (const std::optional<double> reaction =
                    flow_->ReactionAt(match_->current()->take->at)) {
                text += MatchWindow::tr("　%1 秒").arg(*reaction, 0, 'f', 2);
            }
            Announce(text);
            break;
        }
        case Kind::Fault:
            Announce(e.fault == match::FaultKind::EmptyCard
                         ? MatchWindow::tr("お手つき（%1）: 空札で%2に触れました")
                               .arg(WhoName(e.who), SideName(e.territory))
                         : MatchWindow::tr("お手つき（%1）: 出札のない%2に触れました")
                               .arg(WhoName(e.who), SideName(e.territory)));
            break;
        case Kind::SendWanted:
            Announce(MatchWindow::tr(
                         "送る札を自陣から選んでください（%1 秒で決まり字の長い札を送ります）")
                         .arg(flow_->rhythm().sendChoice, 0, 'f', 0));
            break;
        case Kind::Sent:
            Announce(e.who == Side::Player
                         ? MatchWindow::tr("送り札: %1").arg(Describe(e.card))
                         : MatchWindow::tr("相手から送られた札: %1").arg(Describe(e.card)));
            break;
        case Kind::LowerBegun: {
            if (flow_->readingVoiced()) {
                voice_->Decided(e.card);
            }
            const match::Reading &r = *match_->current();
            lastRead_->setText(MatchWindow::tr("読まれた歌: %1 %2%3")
                                   .arg(r.poem.number())
                                   .arg(catalogue_.Text(r.poem, kUpperKana))
                                   .arg(r.place ? QString() : MatchWindow::tr("（空札）")));
            break;
        }
        case Kind::Changed:
            for (const match::UnreadDecisive::Change &c : e.changes) {
                const QString heard = match_->decisive().Heard(c.poem);
                const QString before = match_->decisive().HeardWith(c.poem, c.before);
                changes_->insertItem(
                    0,
                    MatchWindow::tr("%1: %2 → %3")
                        .arg(catalogue_.Text(c.poem, kUpperKana).remove(kIdeographicSpace).left(5),
                             before, heard));
            }
            break;
        case Kind::Over:
            Announce(!e.winner ? MatchWindow::tr("百首を読み終わりました。")
                     : *e.winner == Side::Player ? MatchWindow::tr("あなたの勝ちです。")
                                                 : MatchWindow::tr("相手の勝ちです。"));
            pause_->setEnabled(false);
            LogEnd(true);
            if (voice_) {
                voice_->Stop();
            }
            break;
        }
    }
}

void MatchWindow::Refresh() {
    if (flow_->phase() == match::MatchFlow::Phase::Opening) {
        // The opening poem (序歌), outside the hundred: no card is taken.
        strip_->setText(MatchWindow::tr("序歌　") +
                        QStringLiteral("なにはづに　さくやこのはな　ふゆごもり　いまをはるべと　"
                                       "さくやこのはな"));
        strip_->setAccessibleDescription(strip_->text());
        return;
    }
    const QString verse = flow_->verse().left(flow_->shown());
    const int decisive = flow_->decisiveAt() ? flow_->decisiveStep() : 0;
    strip_->setText(
        QStringLiteral("<span style='color:#c80000'>%1</span>%2")
            .arg(verse.left(decisive).toHtmlEscaped(), verse.mid(decisive).toHtmlEscaped()));
    if (strip_->accessibleDescription() != verse) {
        strip_->setAccessibleDescription(verse);
    }
    counts_->setText(
        MatchWindow::tr("自陣 %1枚　敵陣 %2枚\n読まれた歌 %3／100\nお手つき 自分 %4・相手 %5")
            .arg(match_->mat().Count(Side::Player))
            .arg(match_->mat().Count(Side::Opponent))
            .arg(match_->PoemsRead())
            .arg(match_->Faults(Side::Player))
            .arg(match_->Faults(Side::Opponent)));
    mat_->SetChoosing(match_->PlayerSendingsOwed() > 0);
    mat_->update();
}

void MatchWindow::Announce(const QString &text) {
    message_->setText(text);
    message_->setAccessibleName(text);
    QAccessibleEvent changed(message_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(message_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

QString MatchWindow::lastAnnouncement() const {
    return message_->text();
}

void MatchWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() != Qt::Key_Space || flow_->phase() == match::MatchFlow::Phase::Memorising ||
        flow_->phase() == match::MatchFlow::Phase::Over) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (flow_->paused()) {
        flow_->Resume(now_());
        pause_->setText(MatchWindow::tr("一時停止 (Space)"));
        Announce(MatchWindow::tr("読みを再開しました。"));
    } else {
        if (voice_) {
            // The voice stops where it is; the verse under way goes on as
            // text after the pause, the next is read aloud again.
            voice_->Stop();
            flow_->VoiceLost(now_());
        }
        flow_->Pause(now_());
        pause_->setText(MatchWindow::tr("再開 (Space)"));
        Announce(MatchWindow::tr("読みを止めました。Space で再開します。"));
    }
    Schedule();
}

void MatchWindow::closeEvent(QCloseEvent *event) {
    LogEnd(false); // left before its end: kept as unfinished
    SetVoice(nullptr);
    wake_.stop();
    countdown_.stop();
    emit closing();
    QWidget::closeEvent(event);
}

} // namespace nupew

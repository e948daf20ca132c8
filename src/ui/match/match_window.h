// SPDX-License-Identifier: MIT
// The match's window: the mat with both territories (the opponent's upside
// down across the gap), the strip, the counts, 暗記時間 with its countdown,
// and the choices of the match while the cards are memorised.
#pragma once

#include "core/match.h"
#include "core/match_flow.h"
#include "core/opponents.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QInputEvent;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace nupew {

namespace voice {
class Reader;
}

// The mat: fifty cards in their rows, taken with a click or Enter, moved by
// drag while they are memorised.
class MatWidget final : public QWidget {
    Q_OBJECT
public:
    MatWidget(const PoemCatalogue &catalogue, QWidget *parent = nullptr);
    void SetMatch(const match::Match *match) {
        match_ = match;
        update();
    }
    void SetDraggable(bool on) { draggable_ = on; }
    void SetShowDecisive(bool on) {
        showDecisive_ = on;
        update();
    }
    // The player is to pick one of their cards to send: theirs are marked.
    void SetChoosing(bool on) {
        choosing_ = on;
        update();
    }
    // Dates a press by the event's own timestamp (on a real clock only): how
    // long before it was handled it happened, in seconds.
    void SetDatingInput(bool on) {
        datingInput_ = on;
        setMouseTracking(on);
    }
    double pressLate() const { return pressLate_; }
    // Where a card is drawn, for tests and the window's announcements.
    QRect CardRect(Poem poem) const;
    Poem CardAt(QPoint point) const;
    Poem focused() const { return focused_; }
    // How long the last paint took, in milliseconds.
    double lastPaintMs() const { return lastPaintMs_; }
    // The torifuda's text: the lower verse in kana without voicing marks.
    static QString CardText(const PoemCatalogue &catalogue, Poem poem);

signals:
    void cardPressed(nupew::Poem poem);
    void cardMoved(nupew::Poem poem, nupew::match::Place to);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    struct Geometry {
        QSize card;
        int gap = 0;     // between cards in a row and between rows
        int between = 0; // between the territories
        QPoint origin;
    };
    Geometry Layout() const;
    QRect SlotRect(match::Side side, int row, int index, int count) const;
    std::optional<match::Place> DropPlace(QPoint point) const;
    const QPixmap &Face(Poem poem, QSize size);
    void MoveFocus(int dx, int dy);
    double Lateness(const QInputEvent *event);
    void AnnounceFocus();

    const PoemCatalogue &catalogue_;
    const match::Match *match_ = nullptr;
    bool draggable_ = false;
    bool showDecisive_ = true;
    bool choosing_ = false;
    Poem focused_ = match::kNoPoem;
    Poem dragged_ = match::kNoPoem;
    QPoint dragAt_;
    QHash<int, QPixmap> faces_;
    QSize facesSize_;
    double lastPaintMs_ = 0;
    bool datingInput_ = false;
    QElapsedTimer handling_;
    std::optional<qint64> fewestGap_; // handling less event time, the least seen: no delay
    double pressLate_ = 0;
};

class MatchWindow final : public QWidget {
    Q_OBJECT
public:
    // `now` is the reading's clock in seconds (the tests give their own).
    MatchWindow(const PoemCatalogue &catalogue, const match::MatchSetup &setup, int revealDelay,
                std::function<double()> now, QWidget *parent = nullptr);
    ~MatchWindow() override;

    MatWidget &mat() { return *mat_; }
    match::Match &match() { return *match_; }
    const match::Match &match() const { return *match_; }
    match::MatchFlow &flow() { return *flow_; }
    const match::MatchSetup &setup() const { return setup_; }
    // The text last announced (the strip's and the takings' words).
    QString lastAnnouncement() const;
    // The flow is woken now (the timer's work; tests call it after moving the clock).
    void WakeNow();
    // 暗記時間 is over (its time, or the button).
    void EndMemorising();
    // The player's own reactions for 自分と対戦 (none: greyed, `why` says why).
    void SetOwnReactions(match::OwnReactions own, const QString &why);
    // Where the match is kept (the history); none: nowhere.
    void SetMatchLog(match::MatchLog *log) { log_ = log; }
    // The clock is the real one: a press is dated by its event's time.
    void SetDatingInput(bool on) { mat_->SetDatingInput(on); }
    // Reads the match aloud from its next verse on (none: the text alone).
    // The reader is to be in the competition's style with the lower verse.
    void SetVoice(voice::Reader *reader);

signals:
    // The player changed a choice of the match (to keep in the options).
    void setupChanged(const nupew::match::MatchSetup &setup);
    void closing();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Deal();
    void CountDown();
    void CardPressed(Poem poem);
    void Handle(const QList<match::MatchFlow::Event> &events);
    void Schedule();
    void Refresh();
    void Announce(const QString &text);
    void PrepareVoice();
    void ReadUpperAloud(Poem poem);
    void VoiceStep(int step, float late);
    void VoiceLost(const QString &why);
    QString OpponentKey() const;
    void LogReadings(bool all);
    void LogEnd(bool finished);
    void SetupFromControls();
    QString Describe(Poem poem) const;

    const PoemCatalogue &catalogue_;
    match::MatchSetup setup_;
    int revealDelay_;
    std::function<double()> now_;
    std::unique_ptr<match::Opponent> opponent_;
    match::MatchLog *log_ = nullptr;
    int logged_ = 0;             // readings told to the log
    bool logging_ = false;       // a match told as started and not yet as ended
    QList<bool> voicedReadings_; // whether each reading was read aloud
    match::OwnReactions own_;
    std::unique_ptr<match::Match> match_;
    std::unique_ptr<match::MatchFlow> flow_;
    QPointer<voice::Reader> voice_;
    double memoriseEnd_ = 0;
    QTimer wake_;
    QTimer countdown_;
    MatWidget *mat_ = nullptr;
    QWidget *choices_ = nullptr;
    QComboBox *opponentBox_ = nullptr;
    QDoubleSpinBox *delayBox_ = nullptr;
    QComboBox *layoutBox_ = nullptr;
    QComboBox *memoriseBox_ = nullptr;
    QCheckBox *decisiveBox_ = nullptr;
    QLabel *countdownLabel_ = nullptr;
    QPushButton *endMemorising_ = nullptr;
    QPushButton *pause_ = nullptr;
    QLabel *strip_ = nullptr;
    QLabel *counts_ = nullptr;
    QLabel *lastRead_ = nullptr;
    QLabel *message_ = nullptr;
    QListWidget *changes_ = nullptr;
};

} // namespace nupew

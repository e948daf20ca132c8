// SPDX-License-Identifier: MIT
// One game from reset to result: the state and the procedures that move it on.
#include "core/game.h"
#include "core/fsrs.h"
#include "version.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace nupew {
namespace {

const QString kIdeographicSpace = QStringLiteral("　");
// A card holds five rows of three characters.
constexpr int kCardCharacters = 15;

} // namespace

QString FormatHundredths(float seconds) {
    // Halves go away from zero, as a person rounding to the hundredth would.
    const double value = double(seconds);
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    return QString::number(std::round(value * 100.0) / 100.0, 'f', 2);
}

Game::Game(const Settings &settings, const PoemCatalogue &catalogue, BoardDisplay &board,
           const TimeOfDay &clock, Random &random, RevealTimer &timer)
    : settings_(settings), catalogue_(catalogue), board_(board), clock_(clock), random_(random),
      timer_(timer) {}

void Game::ResetGame() {
    // Each game takes its poems afresh: the drill's order changes with every answer.
    practice_ = practiceSource_ ? practiceSource_->NextGameSet() : PracticeSet{};
    poemUsed_.fill(false);
    questionActive_ = false;
    gameStarted_ = false;
    next_.reset();
    // A reveal still waiting for its next step must never touch the new game's board.
    ++revealGeneration_;
    timer_.Cancel();
    board_.SetVerse(QString());
    board_.SetPoetVisible(false);
    decided_ = false;
    board_.SetQuestionNumber(QStringLiteral("1"));
    board_.SetFaultCount(QStringLiteral("0"));
    questions_.clear();
}

void Game::PrepareFirstGame() {
    questionNumber_ = 1;
    faultCount_ = 0;
    answerOpen_ = false;
    ResetGame();
}

void Game::NewGame(const std::function<void()> &showBoard) {
    LogStop(GameStop::ClosedByPlayer); // a new game over one under way ends that one
    questionNumber_ = 1;
    faultCount_ = 0;
    answerOpen_ = false;
    ResetGame();
    if (showBoard) {
        showBoard();
    }
    DealQuestion();
    if (reader_) {
        reader_->GameBegins();
    }
}

int Game::DrawIndex(int count) {
    // The draw is below 1, but a float product can still round up to count.
    const float r = random_.Draw();
    return std::clamp(int(std::floor(float(count) * r)), 0, count - 1);
}

Game::Deal Game::DrawDeal() {
    const int cardCount = std::clamp<int>(settings_.cardCount, 1, kBoardPositions);
    if (std::all_of(poemUsed_.begin(), poemUsed_.end(), [](bool used) { return used; })) {
        poemUsed_.fill(false); // only a game longer than the anthology could get here
    }
    int p = 0;
    if (!practice_.poems.isEmpty()) {
        p = DrawPoem(practice_.poems).row();
    } else if (questionNumber_ >= kInOrderFromQuestion) {
        p = int(std::find(poemUsed_.begin(), poemUsed_.end(), false) - poemUsed_.begin());
    } else {
        do {
            p = DrawIndex(kPoemCount);
        } while (poemUsed_[size_t(p)]);
    }

    Deal deal;
    Question &q = deal.question;
    q.poem = Poem::FromRow(p);
    q.upperTextMode = settings_.upperTextMode;
    q.lowerTextMode = settings_.lowerTextMode;
    q.cardCount = cardCount;
    deal.upperColumn = settings_.UpperInKana() ? kUpperKana : kUpperKanji;
    const Column lowerColumn = settings_.LowerInKana() ? kLowerKana : kLowerKanji;
    poemUsed_[size_t(p)] = true;
    q.askedVerse = catalogue_.Text(q.poem, deal.upperColumn);

    // The other cards in the order drawn; a draw that repeats the asked poem
    // or a card already dealt is drawn again.
    std::array<bool, kPoemCount> dealt{};
    dealt[size_t(p)] = true;
    QList<QString> lowerVerses{catalogue_.Text(q.poem, lowerColumn)};
    QList<QString> cardVerses{q.askedVerse};
    // A practice set deals its other cards from itself while it has enough poems.
    const bool fromSet = !practice_.poems.isEmpty() && practice_.poems.size() >= cardCount;
    for (int c = 1; c < cardCount; ++c) {
        int d = 0;
        do {
            d = fromSet ? practice_.poems[DrawIndex(int(practice_.poems.size()))]
                        : DrawIndex(kPoemCount);
        } while (dealt[size_t(d)]);
        dealt[size_t(d)] = true;
        lowerVerses.append(catalogue_.Text(Poem::FromRow(d), lowerColumn));
        cardVerses.append(catalogue_.Text(Poem::FromRow(d), deal.upperColumn));
    }
    q.decisiveStep = DecisiveStep(q.askedVerse, cardVerses);
    // The right card at a drawn place, the others after it in turn.
    const int answer = DrawIndex(cardCount);
    for (int c = 0; c < cardCount; ++c) {
        deal.cards[size_t((answer + c) % cardCount)] = lowerVerses[c];
    }
    deal.answerPosition = answer;
    // The voice makes the verse ready meanwhile, never waited for.
    if (reader_) {
        reader_->Prepare(q.poem, deal.upperColumn);
    }
    return deal;
}

void Game::ShowDeal(const Deal &deal) {
    decided_ = false;
    board_.SetPoetVisible(false);
    // The n-th question is the n-th record, whatever was dealt and not asked.
    questions_.resize(size_t(std::max(questionNumber_ - 1, 0)));
    questions_.push_back(deal.question);
    currentPoet_ = catalogue_.PoetOf(deal.question.poem);
    shownColumn_ = deal.upperColumn;
    answerPosition_ = qint16(deal.answerPosition);
    for (int position = 0; position < kBoardPositions; ++position) {
        board_.SetCardColor(position, kWhite);
        board_.SetCardText(position, position < deal.question.cardCount
                                         ? CardOrder(deal.cards[size_t(position)])
                                         : QString());
    }
    board_.SetMessage(QCoreApplication::translate("Game", "開始ボタンを左クリックしてください。"));
}

void Game::DealQuestion() {
    next_.reset();
    ShowDeal(DrawDeal());
}

QString Game::CardOrder(const QString &lowerVerse) {
    static constexpr std::array<int, kCardCharacters> kOrder = {11, 6,  1, 12, 7,  2,  13, 8,
                                                                3,  14, 9, 4,  15, 10, 5};
    const QString padded = lowerVerse.leftJustified(kCardCharacters, kIdeographicSpace[0], true);
    QString card;
    for (const int position : kOrder) {
        card += padded[position - 1];
    }
    return card;
}

QString Game::ReadingOrder(const QString &card) {
    // The inverse of CardOrder: each place of the card back to its place in the verse.
    const QString order = CardOrder(QStringLiteral("ABCDEFGHIJKLMNO"));
    const QString padded = card.leftJustified(kCardCharacters, kIdeographicSpace[0], true);
    QString verse(kCardCharacters, kIdeographicSpace[0]);
    for (int i = 0; i < kCardCharacters; ++i) {
        verse[order[i].unicode() - u'A'] = padded[i];
    }
    while (verse.endsWith(kIdeographicSpace)) {
        verse.chop(1);
    }
    return verse;
}

Rgb PoetColor(PoetKind kind) {
    switch (kind) {
    case PoetKind::Woman:
        return kWomanPoet;
    case PoetKind::Monk:
        return kMonkPoet;
    case PoetKind::Other:
        break;
    }
    return kBlack;
}

void Game::StartQuestion() {
    if (questionActive_) {
        return;
    }
    if (decided_ || questions_.empty()) {
        // Drawn when the question before was answered, so that its verse
        // could be made ready to be read; shown only now.
        if (next_) {
            const Deal deal = *next_;
            next_.reset();
            ShowDeal(deal);
        } else {
            DealQuestion();
        }
    }
    if (!gameStarted_) {
        played_ = settings_;
        gameStarted_ = true;
        if (log_) {
            log_->GameStarted();
            gameLogged_ = true;
        }
    }
    board_.SetQuestionNumber(QString::number(questionNumber_));
    board_.SetFaultCount(QString::number(faultCount_));
    board_.SetMessage(
        QCoreApplication::translate("Game", "上の句に続く下の句をできるだけ早く選んでください。"));
    answerOpen_ = true;
    cardTaken_.fill(false);
    Question &q = Current();
    q.start = clock_.Now();
    faultsAtStart_ = faultCount_;
    q.decisiveShown = false;
    questionActive_ = true;

    const unsigned generation = ++revealGeneration_;
    reading_ = false;
    revealVerse_ = q.askedVerse;
    revealShown_.clear();
    revealStep_ = 0;
    timer_.Cancel(); // each reveal keeps time from its own start
    if (reader_) {
        reading_ = q.voiced =
            reader_->ReadUpper(q.poem, shownColumn_, [this, generation](int step, float late) {
                VoiceStep(generation, step, late);
            });
        if (q.voiced) {
            board_.SetVerse(QString());
            return;
        }
        const QString why = reader_->Unready();
        board_.SetMessage(
            why.isEmpty()
                ? QCoreApplication::translate(
                      "Game", "読み上げの用意が間に合わないため、この問題は文字だけで表示します。")
                : QCoreApplication::translate("Game", "この問題は文字だけで表示します（%1）。")
                      .arg(why));
    }
    if (Rules().revealDelay <= 0) {
        board_.SetVerse(revealVerse_.left(kRevealSteps));
        q.decisiveOffset = 0.0f;
        q.decisiveShown = true;
        return;
    }
    ScheduleReveal(generation);
}

void Game::SetReader(VerseReader *reader) {
    if (reader_ == reader) {
        return;
    }
    // Turned off mid-verse: the text goes on from where the voice was.
    const bool wasReading = reader_ && questionActive_ && reading_;
    if (reader_) {
        reader_->Stop();
    }
    reader_ = reader;
    if (wasReading) {
        VoiceStep(revealGeneration_, -1, 0.0f);
    }
    if (reader_ && next_) {
        reader_->Prepare(next_->question.poem, next_->upperColumn);
    } else if (reader_ && !questions_.empty() && !questionActive_ && !decided_) {
        reader_->Prepare(Current().poem, shownColumn_);
    }
}

void Game::VoiceStep(unsigned generation, int step, float late) {
    if (generation != revealGeneration_ || decided_ || !questionActive_) {
        return;
    }
    Question &q = Current();
    if (step < 0) {
        if (!reading_) {
            return;
        }
        // The sound broke off: the text goes on from where the voice was,
        // and the board says why. The answer counts as read aloud only when
        // the voice brought its decisive sound.
        reading_ = false;
        q.voiced = q.decisiveShown;
        if (reader_ && !reader_->BrokeOff().isEmpty()) {
            board_.SetMessage(reader_->BrokeOff());
        }
        if (Rules().revealDelay <= 0) {
            board_.SetVerse(revealVerse_.left(kRevealSteps));
            if (!q.decisiveShown) {
                q.decisiveOffset = SecondsAfter(q.start, clock_.Now());
                q.decisiveShown = true;
            }
        } else if (revealStep_ < kRevealSteps) {
            ScheduleReveal(generation);
        }
        return;
    }
    revealStep_ = std::min(step, kRevealSteps);
    revealShown_ = revealVerse_.left(revealStep_);
    board_.SetVerse(revealShown_);
    if (revealStep_ >= q.decisiveStep && !q.decisiveShown) {
        // The decisive sound began `late` seconds before this call; never
        // before the question's start, so that the reaction never exceeds
        // the answer time.
        q.decisiveOffset = std::max(0.0f, SecondsAfter(q.start, clock_.Now()) - late);
        q.decisiveShown = true;
    }
}

void Game::ScheduleReveal(unsigned generation) {
    ++revealStep_;
    if (revealStep_ <= revealVerse_.size()) {
        revealShown_ += revealVerse_[revealStep_ - 1];
    }
    timer_.Schedule(Rules().RevealStepMs(), [this, generation] { RevealNext(generation); });
}

void Game::RevealNext(unsigned generation) {
    if (generation != revealGeneration_ || decided_ || !questionActive_) {
        return; // the label keeps what it shows
    }
    board_.SetVerse(revealShown_);
    Question &q = Current();
    if (revealStep_ == q.decisiveStep) {
        q.decisiveOffset = SecondsAfter(q.start, clock_.Now());
        q.decisiveShown = true;
    }
    if (revealStep_ < kRevealSteps) {
        ScheduleReveal(generation);
    }
}

int Game::QuestionCount() const {
    if (practice_.poems.isEmpty()) {
        return Rules().questionCount;
    }
    return std::min<int>(Rules().questionCount, int(practice_.poems.size()));
}

Poem Game::DrawPoem(const QList<int> &pool) {
    QList<int> unused;
    for (const int p : pool) {
        if (!poemUsed_[size_t(p)]) {
            unused.append(p);
        }
    }
    // The game ends before the set runs out; only an overlong game gets here empty.
    if (unused.isEmpty()) {
        return Poem::FromRow(pool.first());
    }
    return Poem::FromRow(practice_.inOrder ? unused.first()
                                           : unused[DrawIndex(int(unused.size()))]);
}

const DecisiveTable &Game::decisive() {
    if (!decisive_) {
        decisive_ = std::make_unique<DecisiveTable>(catalogue_);
    }
    return *decisive_;
}

void Game::MarkDecisive() {
    if (showDecisive_) {
        board_.SetVerseEmphasis(decisive().LengthIn(Current().poem, shownColumn_));
    }
}

float Game::ReactionTime(const Question &q) const {
    // A pick before the decisive step counts from when that step was due
    // (read aloud: by the sound still to come). Both counted from the
    // question's start.
    const float answered = SecondsAfter(q.start, q.answer);
    float decisive = q.decisiveOffset;
    if (!q.decisiveShown && reading_ && reader_) {
        decisive = answered + reader_->SecondsUntil(q.decisiveStep);
    } else if (!q.decisiveShown) {
        decisive = float(q.decisiveStep) * Rules().RevealStepSeconds();
    }
    return answered - decisive;
}

void Game::ShowPoet() {
    board_.SetPoetVisible(true);
    decided_ = true;
    board_.SetPoetText(kIdeographicSpace + currentPoet_.name);
}

MaybeEnd Game::TakeCard(int card) {
    Question &q = Current();
    cardTaken_[size_t(card - 1)] = true;
    if (card == answerPosition_ + 1) {
        q.answer = clock_.Now();
        // Taken while the voice still plays: the time still to come of a
        // decisive sound not yet heard is read before the voice stops.
        q.reaction = ReactionTime(q);
        board_.SetCardColor(card - 1, kRightCard);
        if (reader_) {
            reader_->Decided(q.poem);
        }
        reading_ = false;
        board_.SetVerse(q.askedVerse);
        ShowPoet();
        board_.SetPoetColor(PoetColor(currentPoet_.kind));
        board_.SetPoetTall(currentPoet_.tall);
        board_.Beep();
        board_.SetMessage(
            QCoreApplication::translate("Game", " 正解です。開始ボタンを左クリックしてください。"));
        q.elapsed = SecondsAfter(q.start, q.answer);
        q.faults = faultCount_ - faultsAtStart_;
        MarkDecisive();
        ++questionNumber_;
        answerOpen_ = false;
        questionActive_ = false;
        if (log_) {
            log_->QuestionAnswered(Answered(q));
        }
        if (questionNumber_ > QuestionCount()) {
            return FinishGame();
        }
        next_ = DrawDeal(); // the next verse is made ready while this one is looked at
        return std::nullopt;
    }

    board_.SetCardColor(card - 1, kWrongCard);
    board_.SetMessage(QCoreApplication::translate("Game", "まちがいました。次を選んでください！"));
    ++faultCount_;
    q.faults = faultCount_ - faultsAtStart_;
    board_.SetFaultCount(QString::number(faultCount_));
    if (const std::optional<int> limit = Rules().FaultLimit(); !limit || faultCount_ <= *limit) {
        return std::nullopt;
    }
    board_.SetMessage(
        QCoreApplication::translate("Game", "残念でした。次回はがんばってください！"));
    if (reader_) {
        reader_->Decided(q.poem);
    }
    reading_ = false;
    board_.SetVerse(q.askedVerse);
    MarkDecisive();
    ShowPoet();
    // Lost on faults, only women keep their colour, and the label its size.
    board_.SetPoetColor(currentPoet_.kind == PoetKind::Woman ? kWomanPoet : kBlack);
    board_.SetCardColor(answerPosition_, kMissedCard);
    // Settled before the box: events (reveal steps, clicks) run while it is open.
    questionActive_ = false;
    LogStop(GameStop::FaultLimit);
    return GameEnd{GameEnd::Kind::FaultLimit, {}, {}, {}, QString::number(faultCount_), {}};
}

AnsweredQuestion Game::Answered(const Question &q) const {
    AnsweredQuestion a;
    a.question = int(&q - questions_.data()) + 1;
    a.poem = q.poem;
    a.upperTextMode = q.upperTextMode;
    a.lowerTextMode = q.lowerTextMode;
    a.cardCount = q.cardCount;
    a.revealDelay = Rules().revealDelay;
    a.answerTime = q.elapsed;
    a.decisiveStep = q.decisiveStep;
    a.reactionTime = q.reaction;
    a.faults = q.faults;
    a.voiced = q.voiced;
    return a;
}

void Game::LogStop(GameStop how) {
    if (!log_ || !gameLogged_) {
        return;
    }
    gameLogged_ = false;
    // The question under way counts when it cost faults; one never started does not.
    if (answerOpen_ && faultCount_ > faultsAtStart_ && !questions_.empty()) {
        Question lost = Current();
        lost.elapsed = SecondsAfter(lost.start, clock_.Now());
        lost.reaction = -1.0f;
        AnsweredQuestion answered = Answered(Current());
        answered.answerTime = lost.elapsed;
        answered.reactionTime = lost.reaction;
        answered.lost = true;
        log_->QuestionAnswered(answered);
    }
    log_->GameStopped(questionNumber_ - 1, faultCount_, how);
}

void Game::StopQuestion() {
    if (reader_) {
        reader_->Stop();
    }
    reading_ = false;
    LogStop(GameStop::ClosedByPlayer);
    questionActive_ = false;
}

void Game::BoardClick() {
    if (!questionActive_) {
        StartQuestion(); // what the start button does
    }
}

MaybeEnd Game::PickCard(int card) {
    if (card < 1 || card > kBoardPositions || questions_.empty()) {
        return std::nullopt;
    }
    if (!cardTaken_[size_t(card - 1)] && answerOpen_) {
        return TakeCard(card);
    }
    return std::nullopt;
}

MaybeEnd Game::CardClick(int card) {
    if (questionActive_) {
        return PickCard(card);
    }
    StartQuestion(); // what the start button does
    return std::nullopt;
}

QString Game::FormatAverage(float seconds) {
    QString text = FormatHundredths(seconds);
    while (text.endsWith(u'0')) {
        text.chop(1);
    }
    return text;
}

GameEnd Game::FinishPracticeGame(const GameResult &result) {
    // A practice game never enters the table: its figures, then again or the end.
    float reactions = 0.0f;
    int reactionCount = 0;
    for (const Question &q : questions_) {
        if (!IsGuess(q.reaction)) {
            reactions += q.reaction;
            ++reactionCount;
        }
    }
    const QString reaction = reactionCount > 0 ? FormatHundredths(reactions / float(reactionCount))
                                               : QStringLiteral("—");
    GameEnd end{GameEnd::Kind::Practice,      result, FormatAverage(result.averageTime), reaction,
                QString::number(faultCount_), {}};
    // What to look at again: a fault, or an answer the drill grades hard.
    for (const Question &q : questions_) {
        const QString poem =
            QStringLiteral("%1 %2").arg(q.poem.number()).arg(decisive().Heard(q.poem));
        if (q.faults > 0) {
            end.toReview.append(
                QCoreApplication::translate("Game", "%1 (おてつき %2)").arg(poem).arg(q.faults));
        } else if (!IsGuess(q.reaction) && q.reaction > kHardAboveSeconds) {
            end.toReview.append(QCoreApplication::translate("Game", "%1 (反応 %2 秒)")
                                    .arg(poem, FormatHundredths(q.reaction)));
        }
    }
    // Settled before the box, whose answer starts a new game or closes the board.
    questionNumber_ = 1;
    ClearFinishedGame();
    return end;
}

GameEnd Game::FinishGame() {
    // The questions really answered: the game's own count, whatever the menu says now.
    float sum = 0.0f;
    for (const Question &q : questions_) {
        sum += q.elapsed;
    }
    const int count = std::max<int>(1, int(questions_.size()));
    const GameResult result{sum / float(count), faultCount_, false};
    if (log_ && gameLogged_) {
        log_->GameFinished(count, result.averageTime, result.faults);
    }
    gameLogged_ = false;
    if (!practice_.poems.isEmpty()) {
        return FinishPracticeGame(result);
    }
    questionNumber_ = 1;
    GameEnd end{GameEnd::Kind::Finished,      result, FormatAverage(result.averageTime), {},
                QString::number(faultCount_), {}};
    ClearFinishedGame();
    return end;
}

void Game::ClearFinishedGame() {
    poemUsed_.fill(false);
    questionActive_ = false;
    faultCount_ = 0;
    answerOpen_ = false;
}

} // namespace nupew

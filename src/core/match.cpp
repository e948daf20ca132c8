// SPDX-License-Identifier: MIT
#include "core/match.h"

#include "core/decisive.h"

#include <QCoreApplication>
#include <algorithm>
#include <map>
#include <tuple>

namespace nupew::match {

int SharedStart(const QString &a, const QString &b) {
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < n && a[i] == b[i]) {
        ++i;
    }
    return int(i);
}

namespace {

// Cards laid in each row at a deal (上段, 中段, 下段): a third in each, the
// rest in the 下段 (8, 8, 9).
std::array<int, kRows> PerRow(int cards) {
    return {cards / 3, cards / 3, cards - 2 * (cards / 3)};
}

} // namespace

QString ComparedVerse(const PoemCatalogue &catalogue, Poem poem) {
    return HeardVerse(catalogue, poem).replace(u'を', u'お');
}

UnreadDecisive::UnreadDecisive(const PoemCatalogue &catalogue) {
    for (int p = 0; p < kPoemCount; ++p) {
        heard_[size_t(p)] = HeardVerse(catalogue, Poem::FromRow(p));
        compared_[size_t(p)] = QString(heard_[size_t(p)]).replace(u'を', u'お');
        sorted_[size_t(p)] = p;
    }
    std::sort(sorted_.begin(), sorted_.end(),
              [this](int a, int b) { return compared_[size_t(a)] < compared_[size_t(b)]; });
    for (int i = 0; i < kPoemCount; ++i) {
        position_[size_t(sorted_[size_t(i)])] = i;
        prev_[size_t(i)] = i - 1;
        next_[size_t(i)] = i + 1 < kPoemCount ? i + 1 : -1;
    }
    for (int i = 0; i < kPoemCount; ++i) {
        counts_[size_t(sorted_[size_t(i)])] = CountOf(i);
    }
}

int UnreadDecisive::CountOf(int i) const {
    // The longest beginning shared with an unread poem is shared with a
    // neighbour in the sorted order.
    const QString &verse = compared_[size_t(sorted_[size_t(i)])];
    int shared = 0;
    for (const int j : {prev_[size_t(i)], next_[size_t(i)]}) {
        if (j >= 0) {
            shared = std::max(shared, SharedStart(verse, compared_[size_t(sorted_[size_t(j)])]));
        }
    }
    return std::min(shared + 1, int(verse.size()));
}

QList<UnreadDecisive::Change> UnreadDecisive::MarkRead(Poem poem) {
    QList<Change> changes;
    if (!poem.valid() || read_[size_t(poem.row())]) {
        return changes;
    }
    read_[size_t(poem.row())] = true;
    --unread_;
    const int i = position_[size_t(poem.row())];
    const int before = prev_[size_t(i)];
    const int after = next_[size_t(i)];
    if (before >= 0) {
        next_[size_t(before)] = after;
    }
    if (after >= 0) {
        prev_[size_t(after)] = before;
    }
    for (const int j : {before, after}) {
        if (j < 0) {
            continue;
        }
        const int row = sorted_[size_t(j)];
        const int count = CountOf(j);
        if (count != counts_[size_t(row)]) {
            changes.append({Poem::FromRow(row), counts_[size_t(row)], count});
            counts_[size_t(row)] = count;
        }
    }
    return changes;
}

int Mat::Count(Side side) const {
    int n = 0;
    for (const QList<Poem> &row : rows(side)) {
        n += int(row.size());
    }
    return n;
}

std::optional<Place> Mat::Find(Poem poem) const {
    for (const Side side : {Side::Player, Side::Opponent}) {
        for (int r = 0; r < kRows; ++r) {
            const qsizetype i = rows(side)[size_t(r)].indexOf(poem);
            if (i >= 0) {
                return Place{side, Row(r), int(i)};
            }
        }
    }
    return std::nullopt;
}

bool Mat::Remove(Poem poem) {
    const std::optional<Place> place = Find(poem);
    if (!place) {
        return false;
    }
    rows(place->side)[size_t(place->row)].removeAt(place->index);
    return true;
}

void Mat::Receive(Side side, Poem poem) {
    Rows &r = rows(side);
    // The shortest row, nearest the line on a tie.
    size_t shortest = kRows - 1;
    for (size_t i = kRows; i-- > 0;) {
        if (r[i].size() < r[shortest].size()) {
            shortest = i;
        }
    }
    r[shortest].append(poem);
}

bool Mat::Move(Poem poem, Place to) {
    const std::optional<Place> from = Find(poem);
    if (!from || from->side != to.side) {
        return false;
    }
    QList<Poem> &target = rows(to.side)[size_t(to.row)];
    if (from->row != to.row && target.size() >= kRowCapacity) {
        return false;
    }
    rows(from->side)[size_t(from->row)].removeAt(from->index);
    target.insert(std::clamp<qsizetype>(to.index, 0, target.size()), poem);
    return true;
}

QList<Poem> Mat::Cards(Side side) const {
    QList<Poem> cards;
    for (const QList<Poem> &row : rows(side)) {
        cards.append(row);
    }
    return cards;
}

Poem DefaultSending(const Match &match, Side side) {
    Poem chosen = kNoPoem;
    int longest = 0;
    for (const Poem card : match.mat().Cards(side)) {
        const int count = match.decisive().Count(card);
        if (count > longest) {
            longest = count;
            chosen = card;
        }
    }
    return chosen;
}

Poem SoloOpponent::ChooseSending(const Match &match) {
    return DefaultSending(match, Side::Opponent);
}

QString SoloOpponent::Name() const {
    return QCoreApplication::translate("nupew::match::Match", "一人取り");
}

SteadyOpponent::SteadyOpponent(double delay) : delay_(std::clamp(delay, kFastest, kSlowest)) {}

std::optional<Opponent::Plan> SteadyOpponent::PlanTouch(const Match &match, Poem read) {
    if (!match.mat().Contains(read)) {
        return std::nullopt;
    }
    return Plan{read, delay_};
}

Poem SteadyOpponent::ChooseSending(const Match &match) {
    return DefaultSending(match, Side::Opponent);
}

QString SteadyOpponent::Name() const {
    return QCoreApplication::translate("nupew::match::Match", "一定の相手 (%1 秒)")
        .arg(delay_, 0, 'f', 1);
}

Match::Match(const PoemCatalogue &catalogue, Opponent &opponent, std::uint32_t seed)
    : catalogue_(catalogue), opponent_(opponent), random_(seed), decisive_(catalogue) {}

void Match::Lay(Mat &mat, Side side, const QList<Poem> &cards, LayoutRule rule,
                const UnreadDecisive &decisive, std::mt19937 &random) {
    QList<Poem> order = cards;
    const std::array<int, kRows> perRow = PerRow(int(cards.size()));
    if (rule == LayoutRule::Random) {
        std::shuffle(order.begin(), order.end(), random);
        qsizetype next = 0;
        for (int r = 0; r < kRows; ++r) {
            mat.rows(side)[size_t(r)] = order.mid(next, perRow[size_t(r)]);
            next += perRow[size_t(r)];
        }
        return;
    }
    // Cards sharing a first sound together, the groups of fewest decisive
    // characters first: they fill the 下段 from the right hand, then the
    // 中段 and the 上段.
    std::map<QChar, int> groupCount;
    auto first = [&](Poem p) {
        return decisive.Heard(p).isEmpty() ? QChar() : decisive.Heard(p)[0];
    };
    for (const Poem p : order) {
        auto [it, added] = groupCount.emplace(first(p), decisive.Count(p));
        if (!added) {
            it->second = std::min(it->second, decisive.Count(p));
        }
    }
    std::sort(order.begin(), order.end(), [&](Poem a, Poem b) {
        const auto key = [&](Poem p) {
            return std::tuple(groupCount[first(p)], first(p), decisive.Count(p), p.number());
        };
        return key(a) < key(b);
    });
    qsizetype next = 0;
    for (int r = kRows; r-- > 0;) {
        QList<Poem> row = order.mid(next, perRow[size_t(r)]);
        next += perRow[size_t(r)];
        std::reverse(row.begin(), row.end());
        mat.rows(side)[size_t(r)] = row;
    }
}

void Match::Deal(LayoutRule layout) {
    QList<Poem> all;
    for (int p = 0; p < kPoemCount; ++p) {
        all.append(Poem::FromRow(p));
    }
    std::shuffle(all.begin(), all.end(), random_);
    Mat mat;
    Lay(mat, Side::Player, all.mid(0, kCardsEach), layout, decisive_, random_);
    Lay(mat, Side::Opponent, all.mid(kCardsEach, kCardsEach), LayoutRule::Beginner, decisive_,
        random_);
    std::shuffle(all.begin(), all.end(), random_);
    DealGiven(mat, all);
}

void Match::DealGiven(const Mat &mat, const QList<Poem> &order) {
    mat_ = mat;
    order_ = order;
    readings_.clear();
    faults_ = {};
    decisive_ = UnreadDecisive(catalogue_);
    plan_.reset();
    decisiveAt_.reset();
    opponent_.Dealt(*this);
}

Poem Match::BeginReading() {
    if (Over() || ReadingOpen() || PlayerSendingsOwed() > 0) {
        return kNoPoem;
    }
    if (const Reading *last = current()) {
        decisive_.MarkRead(last->poem);
    }
    Reading reading;
    reading.poem = order_[PoemsRead()];
    reading.decisiveCount = decisive_.Count(reading.poem);
    reading.place = mat_.Find(reading.poem);
    readings_.append(reading);
    touched_ = {};
    decisiveAt_.reset();
    plan_ = opponent_.PlanTouch(*this, reading.poem);
    if (plan_) {
        readings_.back().opponentDrawn = plan_->afterDecisive;
    }
    return reading.poem;
}

void Match::DecisiveSounded(double at) {
    if (ReadingOpen() && !decisiveAt_) {
        decisiveAt_ = at;
        readings_.back().decisiveAt = at;
    }
}

std::optional<double> Match::OpponentDue() const {
    if (!plan_ || !decisiveAt_ || !ReadingOpen()) {
        return std::nullopt;
    }
    return *decisiveAt_ + plan_->afterDecisive;
}

void Match::Advance(double now) {
    const std::optional<double> due = OpponentDue();
    if (due && *due <= now) {
        const Poem card = plan_->card;
        plan_.reset();
        TouchOutcome outcome = TouchOutcome::Ignored;
        MakeTouch(Side::Opponent, card, *due, outcome);
    }
}

TouchOutcome Match::Touch(Side who, Poem card, double at) {
    if (who == Side::Player) {
        Advance(at);
    }
    TouchOutcome outcome = TouchOutcome::Ignored;
    MakeTouch(who, card, at, outcome);
    return outcome;
}

void Match::MakeTouch(Side who, Poem card, double at, TouchOutcome &outcome) {
    outcome = TouchOutcome::Ignored;
    if (!ReadingOpen() || readings_.back().take) {
        return;
    }
    const std::optional<Place> place = mat_.Find(card);
    if (!place) {
        return;
    }
    Reading &reading = readings_.back();
    bool &touchedThere = touched_[size_t(who)][size_t(place->side)];
    if (card == reading.poem) {
        reading.take = Take{who, place->side, place->row, at, true};
        mat_.Remove(card);
        outcome = TouchOutcome::Took;
    } else if (reading.place && reading.place->side == place->side) {
        outcome = TouchOutcome::Nothing;
    } else if (!touchedThere) {
        reading.faults.append(
            {who, reading.place ? FaultKind::WrongTerritory : FaultKind::EmptyCard, place->side});
        ++faults_[size_t(who)];
        outcome = TouchOutcome::Fault;
    } else {
        outcome = TouchOutcome::Nothing;
    }
    touchedThere = true;
    if (who == Side::Opponent) {
        plan_.reset();
    }
}

void Match::Settle(double at) {
    if (!ReadingOpen()) {
        return;
    }
    Advance(at);
    Reading &reading = readings_.back();
    plan_.reset();
    if (!reading.take && reading.place) {
        reading.take =
            Take{reading.place->side, reading.place->side, reading.place->row, at, false};
        mat_.Remove(reading.poem);
    }
    if (reading.take && reading.take->who != reading.take->territory) {
        reading.sendings.append({reading.take->who, Sending::Why::Take});
    }
    for (const Fault &fault : reading.faults) {
        reading.sendings.append({Other(fault.who), Sending::Why::Fault});
    }
    reading.settled = true;
    MakeSendings();
}

void Match::MakeSendings() {
    Reading &reading = readings_.back();
    // Sendings are made in order; the player's wait for a choice.
    while (reading.sent.size() < reading.sendings.size()) {
        const Sending &next = reading.sendings[reading.sent.size()];
        if (mat_.Count(next.from) == 0) {
            // Nothing left to send: that side has won.
            reading.sendings.resize(reading.sent.size());
            return;
        }
        if (next.from == Side::Player) {
            return;
        }
        Poem card = opponent_.ChooseSending(*this);
        if (!mat_.Find(card) || mat_.Find(card)->side != Side::Opponent) {
            card = DefaultSending(*this, Side::Opponent);
        }
        mat_.Remove(card);
        mat_.Receive(Side::Player, card);
        reading.sent.append(card);
    }
}

int Match::PlayerSendingsOwed() const {
    const Reading *reading = current();
    if (!reading || !reading->settled) {
        return 0;
    }
    return int(reading->sendings.size() - reading->sent.size());
}

bool Match::SendFromPlayer(Poem card) {
    if (PlayerSendingsOwed() == 0) {
        return false;
    }
    const std::optional<Place> place = mat_.Find(card);
    if (!place || place->side != Side::Player) {
        return false;
    }
    mat_.Remove(card);
    mat_.Receive(Side::Opponent, card);
    readings_.back().sent.append(card);
    MakeSendings();
    return true;
}

QList<UnreadDecisive::Change> Match::EndReading() {
    const Reading *reading = current();
    if (!reading || !reading->settled || PlayerSendingsOwed() > 0) {
        return {};
    }
    return decisive_.MarkRead(reading->poem);
}

std::optional<Side> Match::Winner() const {
    if (ReadingOpen() || PlayerSendingsOwed() > 0) {
        return std::nullopt;
    }
    for (const Side side : {Side::Player, Side::Opponent}) {
        if (mat_.Count(side) == 0) {
            return side;
        }
    }
    return std::nullopt;
}

} // namespace nupew::match

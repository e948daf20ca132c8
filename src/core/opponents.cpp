// SPDX-License-Identifier: MIT
#include "core/opponents.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace nupew::match {

namespace {

double Uniform(std::mt19937 &random) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random);
}

double LogNormal(std::mt19937 &random, double median, double spread) {
    return std::lognormal_distribution<double>(std::log(median), spread)(random);
}

} // namespace

const Level &LevelAt(int index) {
    return kLevels[size_t(std::clamp(index, 0, int(kLevels.size()) - 1))];
}

Poem Confusable(const Match &match, Poem read, Side side) {
    const QString heard = ComparedVerse(match.catalogue(), read);
    Poem best = kNoPoem;
    int longest = 0;
    for (const Poem card : match.mat().Cards(side)) {
        const int shared =
            card == read ? 0 : SharedStart(heard, ComparedVerse(match.catalogue(), card));
        if (shared > longest) {
            longest = shared;
            best = card;
        }
    }
    return best;
}

LevelOpponent::LevelOpponent(const Level &level, std::uint32_t seed)
    : level_(level), random_(seed) {
    memorised_.fill(true);
}

void LevelOpponent::Dealt(const Match &match) {
    memorised_.fill(true);
    for (const Poem card : match.mat().Cards(Side::Opponent)) {
        memorised_[size_t(card.row())] = Uniform(random_) >= level_.unmemorised;
    }
}

std::optional<Opponent::Plan> LevelOpponent::PlanTouch(const Match &match, Poem read) {
    const std::optional<Place> place = match.mat().Find(read);
    // Every draw is made, used or not, so that one choice does not shift the next.
    const double chance = Uniform(random_);
    const double reaction = LogNormal(random_, level_.median, level_.spread);
    if (!place) {
        // A 空札: only a hand that goes before the sound has told it apart.
        const Side side = Uniform(random_) < 0.5 ? Side::Player : Side::Opponent;
        const Poem near = Confusable(match, read, side);
        if (near.valid() && chance < level_.emptyFaultRate) {
            return Plan{near, reaction * 0.7};
        }
        return std::nullopt;
    }
    if (chance < level_.missRate) {
        return std::nullopt;
    }
    if (chance < level_.missRate + level_.faultRate) {
        const Poem near = Confusable(match, read, Other(place->side));
        const QList<Poem> across = match.mat().Cards(Other(place->side));
        if (near.valid() || !across.isEmpty()) {
            return Plan{near.valid() ? near : across.front(), reaction * 0.7};
        }
    }
    double after = reaction * (place->side == Side::Opponent ? level_.ownFactor : 1.0);
    if (!Memorised(read)) {
        after += level_.unmemorisedDelay;
    }
    return Plan{read, after};
}

Poem LevelOpponent::ChooseSending(const Match &match) {
    return DefaultSending(match, Side::Opponent);
}

QString LevelOpponent::Name() const {
    return QCoreApplication::translate("nupew::match::Match", level_.name);
}

GhostOpponent::GhostOpponent(OwnReactions reactions, std::uint32_t seed)
    : reactions_(std::move(reactions)), random_(seed) {}

double GhostOpponent::Draw(const QList<double> &reactions) {
    // Newest first: the weights fall by kWeight an answer.
    const qsizetype n = std::min<qsizetype>(reactions.size(), kRecent);
    double total = 0;
    for (qsizetype i = 0; i < n; ++i) {
        total += std::pow(kWeight, double(i));
    }
    double pick = Uniform(random_) * total;
    for (qsizetype i = 0; i < n; ++i) {
        pick -= std::pow(kWeight, double(i));
        if (pick <= 0) {
            return reactions[i];
        }
    }
    return reactions[n - 1];
}

std::optional<Opponent::Plan> GhostOpponent::PlanTouch(const Match &match, Poem read) {
    const std::optional<Place> place = match.mat().Find(read);
    if (!place || reactions_.Empty()) {
        return std::nullopt;
    }
    const QList<double> &own = reactions_.byPoem[size_t(read.row())];
    // Too few answers of this poem: any of the player's recent reactions.
    const double reaction = own.size() >= kEnough
                                ? Draw(own)
                                : reactions_.overall[std::uniform_int_distribution<qsizetype>(
                                      0, reactions_.overall.size() - 1)(random_)];
    if (Uniform(random_) < reactions_.faultRate) {
        const Poem near = Confusable(match, read, Other(place->side));
        if (near.valid()) {
            return Plan{near, reaction * 0.7};
        }
    }
    return Plan{read, reaction};
}

Poem GhostOpponent::ChooseSending(const Match &match) {
    return DefaultSending(match, Side::Opponent);
}

QString GhostOpponent::Name() const {
    return QCoreApplication::translate("nupew::match::Match", "自分と対戦");
}

} // namespace nupew::match

// SPDX-License-Identifier: MIT
// Recording and scripted stand-ins for the game's seams.
#pragma once

#include "core/game.h"
#include "core/game_session.h"
#include "core/seams.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <deque>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace nupew::testing {

class FakeBoard final : public BoardDisplay {
public:
    void SetCardText(int position, const QString &text) override { cards[position] = text; }
    void SetCardColor(int position, Rgb color) override { colors[position] = color; }
    void SetVerse(const QString &text) override {
        verse = text;
        emphasis = 0;
    }
    void SetVerseEmphasis(int count) override { emphasis = count; }
    void SetPoetText(const QString &text) override { poet = text; }
    void SetPoetColor(Rgb color) override { poetColor = color; }
    void SetPoetTall(bool tall) override { poetTall = tall; }
    void SetPoetVisible(bool visible) override { poetVisible = visible; }
    bool PoetVisible() const override { return poetVisible; }
    void SetQuestionNumber(const QString &text) override { questionNumber = text; }
    void SetFaultCount(const QString &text) override { faults = text; }
    void SetMessage(const QString &text) override { message = text; }
    void Beep() override { ++beeps; }

    QString message;
    QString cards[8];
    Rgb colors[8];
    QString verse;
    int emphasis = 0;
    QString poet;
    Rgb poetColor;
    bool poetTall = false;
    bool poetVisible = false;
    QString questionNumber;
    QString faults;
    int beeps = 0;
};

class FakeDialogs final : public Dialogs {
public:
    MessageAnswer ShowMessage(const Message &message) override {
        shown.append(message);
        if (answers.empty()) {
            return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
        }
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    EntryAnswer AskForRecord(const QString &average, const QString &faults) override {
        entryBoxes.append({average, faults});
        if (onEntryBox) {
            onEntryBox();
        }
        return {declineEntry ? EntryAnswer::Kind::Decline : EntryAnswer::Kind::Register,
                playerName};
    }
    PracticeAnswer ShowPracticeEnd(const PracticeFigures &figures) override {
        practiceEnds.append({figures.average, figures.reaction, figures.faults});
        practiceReviews.append(figures.toReview);
        return playAgain ? PracticeAnswer::PlayAgain : PracticeAnswer::End;
    }
    void ShowRecords() override { ++recordsShown; }
    void CloseBoard() override { ++boardClosed; }

    QStringList texts() const {
        QStringList out;
        for (const Message &m : shown) {
            out.append(m.text);
        }
        return out;
    }

    QList<Message> shown;
    std::deque<MessageAnswer> answers;
    QList<QPair<QString, QString>> entryBoxes;
    std::function<void()> onEntryBox;
    bool declineEntry = false; // 記録しない; else 記録する under playerName
    QString playerName = QStringLiteral("player");
    int boardClosed = 0;
    int recordsShown = 0;
    QList<QStringList> practiceEnds;
    QList<QStringList> practiceReviews;
    bool playAgain = false;
};

class FakeClock final : public TimeOfDay {
public:
    float Now() const override { return now; }
    float now = 1000.0f;
};

// Returns the scripted draws in turn, then cycles through a fixed pattern.
class FakeRandom final : public Random {
public:
    float Draw() override {
        ++draws;
        if (!script.empty()) {
            const float r = script.front();
            script.pop_front();
            return r;
        }
        fallback = std::fmod(fallback + 0.37f, 1.0f);
        return fallback;
    }
    std::deque<float> script;
    float fallback = 0.0f;
    int draws = 0;
};

class FakeTimer final : public RevealTimer {
public:
    void Schedule(int milliseconds, std::function<void()> step) override {
        delay = milliseconds;
        pending = std::move(step);
        ++scheduled;
    }
    void Cancel() override { pending = nullptr; }
    // Runs the pending step, as the real timer would when its time has come.
    bool Fire() {
        if (!pending) {
            return false;
        }
        auto step = std::move(pending);
        pending = nullptr;
        step();
        return true;
    }
    std::function<void()> pending;
    int delay = 0;
    int scheduled = 0;
};

inline QByteArray ReadAll(const QString &name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool WriteAll(const QString &name, const QByteArray &bytes) {
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Whether a call succeeded; its reason, when it failed, in `why` for the test's message.
template <typename T> bool Succeeded(const Result<T> &result, QString *why) {
    *why = result.error();
    return result.ok();
}
// What a call made (nothing when it failed); its reason in `why`.
template <typename T> T Take(Result<T> result, QString *why) {
    *why = result.error();
    return result.ok() ? std::move(result).value() : T{};
}

// The table of the ten best, keeping what it was asked to register.
class FakeTable final : public ResultTable {
public:
    Registration Register(const GameResult &result, const QString &name) override {
        registered.append({name, result.averageTime});
        return {!result.registered, std::nullopt};
    }
    QList<QPair<QString, float>> registered;
};

// A game and its session wired to the fakes, with the catalogue filled.
struct FakeWorld {
    FakeWorld() { catalogue.Fill(); }
    Settings settings;
    PoemCatalogue catalogue;
    FakeBoard board;
    FakeDialogs dialogs;
    FakeClock clock;
    FakeRandom random;
    FakeTimer timer;
    FakeTable table;
    Game game{settings, catalogue, board, clock, random, timer};
    GameSession session{game, table, dialogs};
    // Picks card k as the board's number key does, the game's end answered by the dialogs.
    void Pick(int card) { session.CardKey(card); }
};

// Runs a test in a fresh temporary working folder, or in `path` when one is given.
// Sets or clears the immutable flag (chattr +i): false where it cannot be
// set (not root, or a file system without it).
inline bool SetImmutable(const QString &path, bool on) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

class InTemporaryFolder {
public:
    explicit InTemporaryFolder(const QString &path = {}) : previous_(QDir::currentPath()) {
        QDir::setCurrent(path.isEmpty() ? dir_.path() : path);
    }
    ~InTemporaryFolder() { QDir::setCurrent(previous_); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

} // namespace nupew::testing

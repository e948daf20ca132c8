// SPDX-License-Identifier: MIT
// The reader's timing without a sound server or a synthesizer: renderings
// put in its cache beforehand, an output whose clock the test moves.
#include "voice/cache.h"
#include "voice/reader.h"
#include "voice/speech.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace nupew;
using namespace nupew::voice;

namespace {

constexpr int kMoraMs = 100; // each mora of the made-up renderings

// An output whose clock, failure and end are the test's.
struct Clock {
    double played = 0.0;
    QString failure;
    bool ended = false;
    int plays = 0;
};

class ScriptedPlayback final : public Playback {
public:
    explicit ScriptedPlayback(Clock &clock) : clock_(clock) {}
    Result<> Play(const QByteArray &) override {
        ++clock_.plays;
        clock_.played = 0.0;
        clock_.ended = false;
        return Ok();
    }
    double PlayedMs() const override { return clock_.played; }
    void Stop() override {}
    bool Ended() const override { return clock_.ended; }
    QString Failure() const override { return clock_.failure; }

private:
    Clock &clock_;
};

// A rendering of `text` with evenly spaced morae, as the cache keeps it.
Rendering MadeUp(const QString &text) {
    Rendering r;
    const qsizetype morae = Morae(text).size();
    for (qsizetype i = 0; i < morae; ++i) {
        r.moraMs.append(double(i * kMoraMs));
    }
    r.pcm = QByteArray(qsizetype(morae * kMoraMs) * kSampleRate / 1000 * 2, '\x01');
    return r;
}

} // namespace

class TestReader : public QObject {
    Q_OBJECT

    PoemCatalogue catalogue_;
    QTemporaryDir cache_;
    Clock clock_;
    std::unique_ptr<Reader> reader_;
    QList<std::pair<int, float>> steps_;

    // A reader with the upper and lower verses of poem 1 in its cache and the
    // scripted output open.
    void MakeReader() {
        reader_ = std::make_unique<Reader>(catalogue_, cache_.path(), VoiceParts{}, [this] {
            return Result<std::unique_ptr<Playback>>(
                std::unique_ptr<Playback>(std::make_unique<ScriptedPlayback>(clock_)));
        });
        reader_->SetOptions({false, true, false, 1.0});
        const RenderingCache cache(cache_.path());
        for (const QString &text :
             {reader_->UpperText(Poem::FromNumber(1)), reader_->LowerText(Poem::FromNumber(1))}) {
            QVERIFY(
                cache.Store(RenderingCache::Key(text, VoiceParts{}.voice, Pace{1.0}), MadeUp(text))
                    .ok());
        }
        QTRY_VERIFY(reader_->HasOutput());
        reader_->Prepare(Poem::FromNumber(1), kUpperKana);
        QTRY_VERIFY(reader_->IsReady(Poem::FromNumber(1)));
    }

    bool Read() {
        steps_.clear();
        return reader_->ReadUpper(Poem::FromNumber(1), kUpperKana, [this](int step, float late) {
            steps_.append({step, late});
        });
    }

private slots:
    void initTestCase() { catalogue_.Fill(); }
    void init() {
        clock_ = Clock{};
        MakeReader();
    }
    void cleanup() { reader_.reset(); }

    // Each character comes when the output's clock reaches its sound, with how
    // late it is; nothing before the first sample is counted; a clock that
    // jumps brings every step it passed at once.
    void stepsFollowTheOutputsClock() {
        QVERIFY(Read());
        QTest::qWait(50);
        QVERIFY(steps_.isEmpty()); // no sample counted yet
        clock_.played = 1.0;
        QTRY_COMPARE(steps_.size(), 1);
        QCOMPARE(steps_[0].first, 1);
        // あきのたの: step k begins at mora k - 1; 5 steps passed by 430 ms.
        clock_.played = 430.0;
        QTRY_COMPARE(steps_.size(), 5);
        QCOMPARE(steps_[4].first, 5);
        QCOMPARE(steps_[1].second, 0.33f); // the second mora began at 100 ms
        // The space and the か after it wait for か's sound, 70 ms to come.
        QCOMPARE(reader_->SecondsUntil(6), float((5 * kMoraMs - 430.0) / 1000.0));
        QCOMPARE(reader_->SecondsUntil(7), reader_->SecondsUntil(6));
        clock_.played = 500.0;
        QTRY_COMPARE(steps_.size(), 7);
        reader_->Stop();
    }

    // A clock that stands still while the verse should play, or an output
    // that fails: the reading breaks off (step -1) within about half a
    // second, says why for the board, tells no box, and the output goes.
    void aStalledOrLostOutputBreaksOff() {
        for (const bool stalled : {true, false}) {
            init();
            QSignalSpy problems(reader_.get(), &Reader::problem);
            QSignalSpy output(reader_.get(), &Reader::outputChanged);
            QVERIFY(Read());
            clock_.played = 150.0;
            QTRY_COMPARE(steps_.size(), 2);
            if (!stalled) {
                clock_.failure = QStringLiteral("Connection terminated");
            }
            QTRY_VERIFY_WITH_TIMEOUT(!steps_.isEmpty() && steps_.back().first == -1, 2000);
            QVERIFY2(reader_->BrokeOff().contains(stalled
                                                      ? QStringLiteral("進みません")
                                                      : QStringLiteral("Connection terminated")),
                     qPrintable(reader_->BrokeOff()));
            QCOMPARE(problems.size(), 0);
            QVERIFY(!reader_->HasOutput());
            QVERIFY(!output.isEmpty() && !output.last()[0].toBool());
            QVERIFY(!reader_->Unready().isEmpty()); // the next question says why it is text
            cleanup();
        }
    }

    // After the verdict the lower verse plays; its end (the server drained
    // it, or its clock reached its last samples) is told once.
    void theLowerVersesEndIsTold() {
        QSignalSpy finished(reader_.get(), &Reader::readToEnd);
        QVERIFY(Read());
        reader_->Decided(Poem::FromNumber(1));
        QCOMPARE(clock_.plays, 2);
        QVERIFY(finished.isEmpty());
        clock_.played = double(reader_->playing().size() / 2) * 1000.0 / kSampleRate;
        QTRY_COMPARE(finished.size(), 1);
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "test_reader.moc"

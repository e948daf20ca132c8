// SPDX-License-Identifier: MIT
// Reading aloud through the real parts: Open JTalk renders, a private
// PulseAudio server plays into a null sink, the sink's monitor is recorded.
#include "ui/ui_fixture.h"
#include "voice/pulse_server.h"

#include "core/decisive.h"
#include "history/history.h"
#include "ui/match/match_window.h"
#include "ui/statistics/statistics_window.h"
#include "voice/alignment.h"
#include "voice/cache.h"
#include "voice/reader.h"
#include "voice/speech.h"

#include <QChart>
#include <QLineSeries>

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <csignal>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

using namespace nupew;
using namespace nupew::testing;

namespace {

bool ChildRun() {
    return qEnvironmentVariableIsSet("NUPEW_NO_SERVER");
}

// The answers of the history: (voice, reaction) of each, in order.
QList<QPair<int, double>> Answers() {
    QList<QPair<int, double>> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v"));
        db.setDatabaseName(kHistoryFile);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT voice, reaction_time FROM answers ORDER BY id"));
            while (q.next()) {
                rows.append({q.value(0).toInt(), q.value(1).toDouble()});
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v"));
    return rows;
}

// A synthesizer gone wrong: a script in place of open_jtalk.
QString Script(const QTemporaryDir &dir, const QString &name, const QByteArray &body) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n" + body + '\n') < 0) {
        return {};
    }
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

long MaxRssKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The synthesizer's folders of this process in the temporary folder.
QStringList OurSynthesizerFolders() {
    return QDir(QDir::tempPath())
        .entryList({QStringLiteral("Nupew-%1-*").arg(QCoreApplication::applicationPid())},
                   QDir::Dirs | QDir::Hidden);
}

// Plays to nowhere, on a clock of its own: for what needs no server.
class SilentPlayback final : public voice::Playback {
public:
    Result<> Play(const QByteArray &) override {
        clock_.start();
        return Ok();
    }
    double PlayedMs() const override {
        return clock_.isValid() ? double(clock_.nsecsElapsed()) / 1e6 : 0.0;
    }
    void Stop() override { clock_.invalidate(); }
    bool Ended() const override { return false; }
    QString Failure() const override { return {}; }

private:
    QElapsedTimer clock_;
};

voice::OpenPlayback Silent() {
    return [] {
        return Result<std::unique_ptr<voice::Playback>>(
            std::unique_ptr<voice::Playback>(std::make_unique<SilentPlayback>()));
    };
}

} // namespace

class TestVoice : public QObject {
    Q_OBJECT

    PulseServer server_;
    PoemCatalogue catalogue_;
    QElapsedTimer clock_;
    std::unique_ptr<SinkRecorder> recorder_;

    void StartServer() {
        QString why;
        QVERIFY2(server_.Start(&why), qPrintable(why));
        recorder_ = std::make_unique<SinkRecorder>(clock_);
        QVERIFY(recorder_->Start());
    }

    // The program with the voice on (and the lower verse when asked), its
    // output found; the cache emptied first, as on the first run after install.
    static void TurnVoiceOn(UiFixture &f, bool lower) {
        QVERIFY(QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
                    .removeRecursively());
        QTRY_VERIFY2_WITH_TIMEOUT(f.program->voiceUnavailable().isEmpty(),
                                  qPrintable(f.program->voiceUnavailable()), 10000);
        f.Item(QStringLiteral("readAloud"))->trigger();
        if (lower) {
            f.Item(QStringLiteral("readLower"))->trigger();
        }
        QVERIFY(f.Item(QStringLiteral("readAloud"))->isChecked());
    }

private slots:
    void initTestCase() {
        if (ChildRun()) {
            return; // the child run of missingVoiceOrServer
        }
        PrepareUiTests();
        QStandardPaths::setTestModeEnabled(true); // renders cached apart from the user's
        catalogue_.Fill();
        QVERIFY2(voice::MissingParts({}).isEmpty(),
                 qPrintable("scripts/setup-debian.sh test installs: " + voice::MissingParts({})));
        clock_.start();
        StartServer();
    }

    void init() {
        if (!ChildRun()) {
            ForgetPreferences();
        }
    }

    // Every verse, said by the real voice, has the sounds of its spoken form:
    // never the old spelling (かりほのいほの said "h o"), a mora for each kana.
    void everyVerseSpellsItsSpokenForm() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        struct Job {
            int poem;
            bool upper;
            bool recited;
        };
        QList<Job> jobs;
        for (int p = 0; p < kPoemCount; ++p) {
            jobs.append({p, true, false});
            jobs.append({p, false, false});
        }
        for (int p = 0; p < kPoemCount; p += 10) { // the recited form, with its held sounds
            jobs.append({p, true, true});
            jobs.append({p, false, true});
        }
        std::mutex lock;
        QStringList wrong;
        QtConcurrent::blockingMap(jobs, [&](const Job &job) {
            const QString text =
                voice::SpeechText(catalogue_, Poem::FromRow(job.poem), job.upper, job.recited);
            const auto r = voice::Render({}, voice::Utter(text), voice::Pace{});
            const QString expected = voice::Utter(text).expected;
            if (!r.ok() || !voice::SaysTheText(r.value().phonemes, expected) ||
                r.value().moraMs.size() != voice::Morae(text).size()) {
                const std::lock_guard guard(lock);
                wrong << QStringLiteral("%1 %2: %3 | %4 | %5")
                             .arg(job.poem + 1)
                             .arg(text, r.error(), r.ok() ? r.value().phonemes : QString(),
                                  expected);
            }
        });
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    // The reader's style takes a reader's time: the upper verse about 6 s,
    // the lower one about 5 s to its last sound, held about 3 s and fading,
    // then a breath of 1 s; the plain style keeps the voice's own pace.
    void recitedInAReadersRhythm() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        for (const int poem : {0, 16, 76}) {
            const voice::Pace upper{voice::kRecitedRate, voice::kUpperVerseMs, 0, 0};
            const auto u = voice::Render(
                {}, voice::UtterVerse(catalogue_, Poem::FromRow(poem), true, true), upper);
            QVERIFY2(u.ok(), qPrintable(u.error()));
            const double upperMs = double(u.value().pcm.size() / 2) / 48.0;
            QVERIFY2(std::abs(upperMs - 6000.0) < 600.0, qPrintable(QString::number(upperMs)));
            const voice::Pace lower{voice::kRecitedRate, voice::kLowerVerseMs, voice::kHeldEndMs,
                                    voice::kBreathMs};
            const QString text = voice::SpeechText(catalogue_, Poem::FromRow(poem), false, true);
            const auto l = voice::Render({}, voice::Utter(text), lower);
            QVERIFY2(l.ok(), qPrintable(l.error()));
            // The last sound's onset: the last mora before the held ones.
            const QStringList morae = voice::Morae(text);
            qsizetype last = morae.size() - 1;
            while (morae[last] == QStringLiteral("ー")) {
                --last;
            }
            const auto *s = reinterpret_cast<const qint16 *>(l.value().pcm.constData());
            qsizetype end = l.value().pcm.size() / 2;
            while (end > 0 && std::abs(s[end - 1]) < 300) {
                --end;
            }
            const double spoken = l.value().moraMs[last];
            const double held = double(end) / 48.0 - spoken;
            const double breath = double(l.value().pcm.size() / 2 - end) / 48.0;
            const QString figures = QStringLiteral("poem %1: %2 / %3 / %4")
                                        .arg(poem + 1)
                                        .arg(spoken)
                                        .arg(held)
                                        .arg(breath);
            QVERIFY2(std::abs(spoken - 5000.0) < 500.0, qPrintable(figures));
            QVERIFY2(std::abs(held - 3000.0) < 300.0, qPrintable(figures));
            QVERIFY2(std::abs(breath - 1000.0) < 150.0, qPrintable(figures));
        }
    }

    // Whole games read aloud from an empty cache, as on the first evening:
    // every question's verse is ready at its 開始 (the next question is drawn
    // at the answer), heard on the sink after it, the strip filled by the
    // voice, and every answer kept as read aloud; then a game with the
    // lower verse heard after each verdict.
    void wholeGamesAreReadAloud() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        for (const bool lower : {false, true}) {
            ForgetPreferences();
            InTemporaryFolder folder;
            UiFixture f;
            TurnVoiceOn(f, lower);
            f.program->settings.questionCount = 20;
            f.program->GameOpen();
            voice::Reader *reader = f.program->VoiceReader();
            SinkRecorder &recorder = *recorder_;
            for (int question = 1; question <= 20; ++question) {
                // A player looks at the answer for a moment; the verse of the
                // next question is made ready meanwhile, ahead of the set.
                const Poem poem = question == 1 ? *f.game().currentPoem() : *f.game().nextPoem();
                QTRY_VERIFY_WITH_TIMEOUT(reader->IsReady(poem), 10000);
                recorder.Reset();
                const double started = double(clock_.nsecsElapsed()) / 1e6;
                f.PressStart();
                QVERIFY2(f.game().voiced(), qPrintable(QStringLiteral("question %1: %2")
                                                           .arg(question)
                                                           .arg(f.BoardText("message"))));
                QTRY_VERIFY_WITH_TIMEOUT(f.BoardText(QStringLiteral("verseStrip")).size() >= 3,
                                         5000);
                QTRY_VERIFY_WITH_TIMEOUT(recorder.LoudSamples() > 12000, 5000);
                // The null sink plays in blocks a little ahead of the wall clock.
                QVERIFY2(recorder.FirstSoundMs() >= started - 30,
                         qPrintable(QStringLiteral("question %1: %2 before the start")
                                        .arg(question)
                                        .arg(started - recorder.FirstSoundMs())));
                QVERIFY(!f.timer.pending); // the text reveal never ran
                f.clock.now += 2.0f;
                if (question == 20) { // the last answer ends in the entry box
                    f.OnModal([](QWidget *box) { box->close(); });
                }
                f.ClickCard(f.RightCard());
                if (lower && question < 20) {
                    recorder.Reset();
                    QTRY_VERIFY_WITH_TIMEOUT(recorder.LoudSamples() > 12000, 10000);
                }
            }
            f.program->AnswerHistory().WaitWritten(5000);
            const QList<QPair<int, double>> answers = Answers();
            QCOMPARE(answers.size(), 20);
            for (const auto &[voiced, reaction] : answers) {
                QCOMPARE(voiced, 1);
                QVERIFY(reaction <= 2.0); // never more than the answer time
            }
            // The statistics draw the game's reaction as read aloud.
            f.Item(QStringLiteral("showStatistics"))->trigger();
            QStringList lines;
            for (QAbstractSeries *series :
                 f.program->Statistics()->GamesChart()->chart()->series()) {
                lines << series->name();
            }
            QVERIFY2(lines.contains(QStringLiteral("平均反応時間（読み上げ）")),
                     qPrintable(lines.join(u',')));
            f.program->Statistics()->close();
        }
    }

    // A short match read aloud through the program: the opening poem, a
    // 空札 with its lower verse, then the player's last card taken at its
    // decisive sound; the game has its own voice back after the match.
    void matchReadAloud() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        InTemporaryFolder folder;
        UiFixture f;
        TurnVoiceOn(f, false);
        f.Item(QStringLiteral("playMatch"))->trigger();
        MatchWindow &w = *f.program->MatchView();
        voice::Reader *reader = f.program->VoiceReader();
        QVERIFY(reader->options().recited && reader->options().lower);
        match::Mat mat;
        mat.rows(match::Side::Player)[2] = {Poem::FromNumber(87)};
        mat.rows(match::Side::Opponent)[2] = {Poem::FromNumber(4)};
        w.match().DealGiven(mat, {Poem::FromNumber(10), Poem::FromNumber(87)});
        reader->Prepare(Poem::FromNumber(87), kUpperKana);
        reader->Prepare(Poem::FromNumber(10), kUpperKana);
        reader->PrepareOpening();
        QTRY_VERIFY_WITH_TIMEOUT(reader->OpeningReady() && reader->IsReady(Poem::FromNumber(10)) &&
                                     reader->IsReady(Poem::FromNumber(87)),
                                 30000);
        recorder_->Reset();
        w.EndMemorising();
        using Phase = match::MatchFlow::Phase;
        QVERIFY2(w.flow().readingVoiced(), qPrintable(w.lastAnnouncement()));
        QTRY_VERIFY_WITH_TIMEOUT(recorder_->LoudSamples() > 12000, 5000);
        // The opening ends with its sound, before the text's time would.
        QTRY_COMPARE_WITH_TIMEOUT(w.flow().phase(), Phase::Upper, 40000);
        QVERIFY(w.flow().readingVoiced());
        QTRY_COMPARE_WITH_TIMEOUT(w.flow().phase(), Phase::Lower, 15000);
        recorder_->Reset();
        const double lowerBegun = double(clock_.nsecsElapsed()) / 1e6;
        QTRY_VERIFY_WITH_TIMEOUT(w.match().current()->poem == Poem::FromNumber(87), 20000);
        const double lowerTook = double(clock_.nsecsElapsed()) / 1e6 - lowerBegun;
        QVERIFY(recorder_->LoudSamples() > 48000); // a second of the lower verse at least
        // Its end came from the voice (lead, 5 s, held 3 s, breath 1 s), not the wait's limit.
        QVERIFY2(lowerTook > 8500 && lowerTook < 13000, qPrintable(QString::number(lowerTook)));
        QTRY_VERIFY_WITH_TIMEOUT(w.flow().decisiveAt(), 10000);
        QVERIFY(w.flow().readingVoiced());
        const QRect card = w.mat().CardRect(Poem::FromNumber(87));
        QTest::mouseClick(&w.mat(), Qt::LeftButton, {}, card.center());
        QVERIFY(w.match().current()->take);
        const double reaction = *w.flow().ReactionAt(w.match().current()->take->at);
        QVERIFY2(reaction >= 0 && reaction < 1.0, qPrintable(QString::number(reaction)));
        QTRY_COMPARE_WITH_TIMEOUT(w.flow().phase(), Phase::Over, 15000);
        QCOMPARE(w.lastAnnouncement(), QStringLiteral("あなたの勝ちです。"));
        w.close();
        QVERIFY(!reader->options().recited && !reader->options().lower);
    }

    // A real question's steps: shown once their sound had begun, and soon
    // after (generous bounds: a frozen strip fails, a slow machine does not).
    void stepsFollowTheSound() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        InTemporaryFolder folder;
        UiFixture f;
        TurnVoiceOn(f, false);
        f.program->GameOpen();
        voice::Reader *reader = f.program->VoiceReader();
        QTRY_VERIFY_WITH_TIMEOUT(reader->IsReady(*f.game().currentPoem()), 20000);
        recorder_->Reset();
        const double started = double(clock_.nsecsElapsed()) / 1e6;
        f.PressStart();
        QTRY_COMPARE_WITH_TIMEOUT(f.BoardText(QStringLiteral("verseStrip")),
                                  f.game().question(1).askedVerse.left(21), 15000);
        const double firstSound = recorder_->FirstSoundMs() - started;
        QVERIFY2(firstSound > -5 && firstSound < 500, qPrintable(QString::number(firstSound)));
        const QList<double> &shown = reader->shownAt();
        const QList<double> &onsets = reader->stepOnsets();
        QCOMPARE(shown.size(), onsets.size());
        for (qsizetype i = 0; i < shown.size(); ++i) {
            QVERIFY2(shown[i] >= onsets[i] && shown[i] - onsets[i] < 200,
                     qPrintable(QStringLiteral("%1: %2 / %3").arg(i).arg(shown[i]).arg(onsets[i])));
        }
        // A speed chosen mid-game waits for the next game, for the voice as
        // for the reveal.
        const double before = reader->options().rate;
        f.Item(QStringLiteral("revealSlow"))->trigger();
        QCOMPARE(reader->options().rate, before);
        f.program->GameOpen();
        QCOMPARE(reader->options().rate, voice::RateForDelay(8));
        QVERIFY(before != voice::RateForDelay(8));
    }

    // A change of speed or style between the deal and 開始 makes the dealt
    // verse again, before the rest of the set.
    void optionsPrepareTheDealtVerseAgain() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        QTemporaryDir cache;
        voice::Reader reader(catalogue_, cache.path(), {}, Silent());
        QSignalSpy rendered(&reader, &voice::Reader::rendered);
        reader.SetOptions({false, false, false, 1.0});
        reader.SetPreparing(true);
        reader.Prepare(Poem::FromRow(41), kUpperKana);
        QTRY_VERIFY_WITH_TIMEOUT(reader.IsReady(Poem::FromRow(41)), 20000);
        QVERIFY(reader.PreparedCount() < reader.SetSize());
        for (const voice::ReaderOptions options : {voice::ReaderOptions{false, false, false, 1.4},
                                                   voice::ReaderOptions{true, false, false, 1.4}}) {
            reader.SetOptions(options);
            QVERIFY(!reader.IsReady(Poem::FromRow(41)));
            QTRY_VERIFY_WITH_TIMEOUT(reader.IsReady(Poem::FromRow(41)), 20000);
            QVERIFY(reader.PreparedCount() <= 2); // the dealt verse came first
        }
        reader.SetPreparing(false);
        QTRY_COMPARE_WITH_TIMEOUT(reader.Pending(), 0, 20000);
    }

    // The cache keeps a whole set packed, trims only its own entries (our
    // names, our header) oldest first, and a rendering on disk is read at once.
    void cacheKeepsToItsOwn() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("voice"));
        const auto made =
            voice::Render({}, voice::UtterVerse(catalogue_, Poem::FromRow(3), true, false), {});
        QVERIFY(made.ok());
        voice::RenderingCache probe(folder);
        QVERIFY(probe.Store(QString(40, u'0'), made.value()).ok());
        const qint64 entry = QFileInfo(probe.PathOf(QString(40, u'0'))).size();
        QVERIFY2(entry < made.value().pcm.size() / 2, "packed to less than half");
        // Room for three entries; foreign files beside ours.
        voice::RenderingCache cache(folder, 3 * entry + entry / 2);
        QVERIFY(WriteAll(folder + QStringLiteral("/notes.txt"), "mine"));
        QVERIFY(WriteAll(folder + u'/' + QString(40, u'f') + QStringLiteral(".voice"), "mine too"));
        QVERIFY(QFile::link(folder + QStringLiteral("/notes.txt"),
                            folder + u'/' + QString(40, u'e') + QStringLiteral(".voice")));
        for (int i = 1; i <= 5; ++i) {
            QVERIFY(cache.Store(QString(40, QChar(u'0' + i)), made.value()).ok());
            QTest::qWait(20); // distinct times
        }
        QCOMPARE(ReadAll(folder + QStringLiteral("/notes.txt")), QByteArray("mine"));
        QCOMPARE(ReadAll(folder + u'/' + QString(40, u'f') + QStringLiteral(".voice")),
                 QByteArray("mine too"));
        QVERIFY(
            QFileInfo(folder + u'/' + QString(40, u'e') + QStringLiteral(".voice")).isSymLink());
        QVERIFY(!cache.Has(QString(40, u'0')) && !cache.Has(QString(40, u'1')));
        QVERIFY(cache.Has(QString(40, u'5')) && cache.Has(QString(40, u'3')));
        const auto loaded = cache.Load(QString(40, u'5'));
        QVERIFY(loaded.ok() && loaded.value());
        QCOMPARE(loaded.value()->pcm, made.value().pcm);
        QCOMPARE(loaded.value()->moraMs, made.value().moraMs);
        // A damaged entry of ours is said to be damaged, never played.
        QByteArray bytes = ReadAll(cache.PathOf(QString(40, u'4')));
        bytes.truncate(bytes.size() / 2);
        QVERIFY(WriteAll(cache.PathOf(QString(40, u'4')), bytes));
        const auto damaged = cache.Load(QString(40, u'4'));
        QVERIFY(!damaged.ok() && damaged.error().contains(QString(40, u'4')));
    }

    // The server goes away mid-verse: the text goes on from where the voice
    // was, the board is told why (no box over the question), and a server
    // that answers again is used from then on.
    void lostOutputLeavesTheText() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        QTemporaryDir cache;
        voice::Reader reader(catalogue_, cache.path());
        QSignalSpy problems(&reader, &voice::Reader::problem);
        QSignalSpy output(&reader, &voice::Reader::outputChanged);
        reader.Prepare(Poem::FromRow(16), kUpperKana);
        QTRY_VERIFY_WITH_TIMEOUT(reader.IsReady(Poem::FromRow(16)) && reader.HasOutput(), 20000);
        QList<int> steps;
        QVERIFY(reader.ReadUpper(Poem::FromRow(16), kUpperKana,
                                 [&](int step, float) { steps.append(step); }));
        QTRY_VERIFY_WITH_TIMEOUT(steps.size() >= 3, 5000);
        recorder_.reset();
        server_.Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!steps.isEmpty() && steps.back() == -1, 10000);
        QVERIFY2(reader.BrokeOff().contains(QStringLiteral("止まりました")),
                 qPrintable(reader.BrokeOff()));
        QCOMPARE(problems.size(), 0);
        StartServer();
        QTRY_VERIFY_WITH_TIMEOUT(reader.HasOutput(), 10000);
        steps.clear();
        QVERIFY(reader.ReadUpper(Poem::FromRow(16), kUpperKana,
                                 [&](int step, float) { steps.append(step); }));
        QTRY_VERIFY_WITH_TIMEOUT(steps.size() >= 3, 5000);
        reader.Stop();
    }

    // A stopped server (SIGSTOP mid-verse) never freezes the game: within
    // about a second the text takes over from the current step, the board
    // says why, no box opens; once it answers again the voice is back.
    void stalledServerHandsOverToTheText() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        InTemporaryFolder folder;
        UiFixture f;
        TurnVoiceOn(f, false);
        f.program->settings.revealDelay = 1; // the text goes on fast once it has the verse
        f.program->GameOpen();
        QTRY_VERIFY_WITH_TIMEOUT(f.program->VoiceReader()->IsReady(*f.game().currentPoem()), 20000);
        f.PressStart();
        QVERIFY(f.game().voiced());
        QTRY_VERIFY_WITH_TIMEOUT(f.BoardText(QStringLiteral("verseStrip")).size() >= 3, 5000);
        const qint64 pid = server_.Pid();
        QVERIFY(pid > 0);
        QVERIFY(::kill(pid_t(pid), SIGSTOP) == 0);
        const auto resume = qScopeGuard([pid] { ::kill(pid_t(pid), SIGCONT); });
        const QString shown = f.BoardText(QStringLiteral("verseStrip"));
        QTRY_VERIFY_WITH_TIMEOUT(f.timer.pending, 3000); // the text reveal has the verse
        QVERIFY2(f.BoardText(QStringLiteral("message")).contains(QStringLiteral("止まりました")),
                 qPrintable(f.BoardText(QStringLiteral("message"))));
        f.timer.Fire();
        QVERIFY(f.BoardText(QStringLiteral("verseStrip")).size() > shown.size());
        QVERIFY(f.dialogs.shown.isEmpty());
        f.clock.now += 3.0f;
        f.ClickCard(f.RightCard());
        ::kill(pid_t(pid), SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(f.program->voiceUnavailable().isEmpty(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(f.program->VoiceReader()->IsReady(*f.game().nextPoem()), 20000);
        f.PressStart();
        QVERIFY(f.game().voiced());
    }

    // A synthesizer gone wrong is bounded: a flood on its output channel
    // costs no memory and is stopped at its time limit, one on its message
    // channel or into its files is stopped at their bounds; every run's
    // folder goes with it, and folders that killed runs left are removed
    // once stale, and only when they hold nothing but ours.
    void boundedSynthesizer() {
        if (ChildRun()) {
            QSKIP("child run");
        }
        QTemporaryDir dir;
        const long before = MaxRssKiB();
        const struct {
            const char *name;
            QByteArray body;
            const char *reason;
        } floods[] = {{"output", "exec yes floodfloodflood", "秒で終わりません"},
                      {"messages", "exec yes floodfloodflood >&2", "MiB"},
                      {"file", "exec yes floodfloodflood > \"$8\"", "MiB"}};
        for (const auto &flood : floods) {
            voice::VoiceParts parts;
            parts.program = Script(dir, QString::fromLatin1(flood.name), flood.body);
            parts.runLimitMs = 2000;
            QElapsedTimer took;
            took.start();
            const auto r = voice::Render(parts, voice::Utter(QStringLiteral("あき")), {});
            QVERIFY(!r.ok());
            QVERIFY2(r.error().contains(QString::fromUtf8(flood.reason)),
                     qPrintable(QString::fromLatin1(flood.name) + ": " + r.error()));
            QVERIFY(took.elapsed() < 10000);
            QVERIFY(OurSynthesizerFolders().isEmpty());
        }
        QVERIFY2(MaxRssKiB() - before < 64 * 1024,
                 qPrintable(QString::number(MaxRssKiB() - before)));

        QTemporaryDir temporary;
        const auto folderOf = [&temporary](const QString &name, const QStringList &files,
                                           qint64 age) {
            const QString path = temporary.filePath(name);
            QDir().mkpath(path);
            for (const QString &file : files) {
                WriteAll(path + u'/' + file, "x");
            }
            const utimbuf times{::time(nullptr) - age, ::time(nullptr) - age};
            ::utime(QFile::encodeName(path).constData(), &times);
            return path;
        };
        QProcess ended;
        ended.start(QStringLiteral("true"));
        ended.waitForFinished();
        const QString gone = QString::number(ended.processId());
        folderOf("Nupew-" + gone + "-abcdef", {"in.txt", "out.wav", "out.trace"}, 7200);
        folderOf("Nupew-Xy12Zq", {"out.wav"}, 7200); // an older version's name
        folderOf("Nupew-" + gone + "-young1", {"out.wav"}, 60);
        folderOf("Nupew-" + gone + "-theirs", {"out.wav", "photo.jpg"}, 7200);
        folderOf("Nupew-" + QString::number(QCoreApplication::applicationPid()) + "-alive1",
                 {"out.wav"}, 7200);
        QVERIFY(QFile::link(dir.path(), temporary.filePath("Nupew-" + gone + "-linked")));
        QCOMPARE(voice::RemoveStaleSynthesizerFolders(temporary.path()), 2);
        QCOMPARE(QDir(temporary.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
                 4);
        QVERIFY(QFileInfo::exists(dir.filePath("output")));
    }

    // Without the voice package or without a sound server the options are
    // off, say what is missing, and the game is the text game.
    void missingVoiceOrServer() {
        if (ChildRun()) {
            InTemporaryFolder folder;
            PrepareUiTests();
            UiFixture f;
            QAction *read = f.Item(QStringLiteral("readAloud"));
            QTRY_VERIFY2_WITH_TIMEOUT(read->toolTip().contains(QStringLiteral("PulseAudio")),
                                      qPrintable(read->toolTip()), 10000);
            QVERIFY(!read->isEnabled() && !read->isChecked());
            read->trigger();
            QVERIFY(!read->isChecked());
            f.PressStart();
            QVERIFY(!f.game().voiced());
            return;
        }
        voice::VoiceParts parts;
        parts.voice = QStringLiteral("/nonexistent/voice.htsvoice");
        QVERIFY(voice::Reader::Available(parts).error().contains(
            QStringLiteral("hts-voice-nitech-jp-atr503-m001")));
        const auto failed =
            voice::Render(parts, voice::Utter(QStringLiteral("あき")), voice::Pace{});
        QVERIFY(!failed.ok());
        QVERIFY2(!failed.error().isEmpty(), "the synthesizer's own reason");
        // No server: this test again in a process that finds none.
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NUPEW_NO_SERVER"), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir::tempPath() + "/nupew-no-server");
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("missingVoiceOrServer")});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
    }
};

QTEST_MAIN(TestVoice)
#include "test_voice.moc"

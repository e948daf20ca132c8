// SPDX-License-Identifier: MIT
// Reading aloud through the real parts: Open JTalk renders, a private
// PulseAudio server plays into a null sink, the sink's monitor is recorded.
#include "ui/ui_fixture.h"
#include "voice/pulse_server.h"

#include "core/decisive.h"
#include "history/history.h"
#include "voice/reader.h"
#include "voice/speech.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <mutex>

using namespace nupew;
using namespace nupew::testing;

class TestVoice : public QObject {
    Q_OBJECT

    PulseServer server_;
    PoemCatalogue catalogue_;
    QElapsedTimer clock_;
    std::unique_ptr<SinkRecorder> recorder_;

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet("NUPEW_NO_SERVER")) {
            return; // the child run of missingServer
        }
        PrepareUiTests();
        QStandardPaths::setTestModeEnabled(true); // renders cached apart from the user's
        catalogue_.Fill();
        QVERIFY2(voice::MissingParts({}).isEmpty(),
                 qPrintable("scripts/setup-debian.sh test installs: " + voice::MissingParts({})));
        QString why;
        QVERIFY2(server_.Start(&why), qPrintable(why));
        clock_.start();
        recorder_ = std::make_unique<SinkRecorder>(clock_);
        QVERIFY(recorder_->Start());
    }

    // Every verse, said by the real voice, has the sounds of its spoken form:
    // never the old spelling (かりほのいほの said "h o"), a mora for each kana.
    void everyVerseSpellsItsSpokenForm() {
        if (qEnvironmentVariableIsSet("NUPEW_NO_SERVER")) {
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
            const QString text = voice::SpeechText(catalogue_, job.poem, job.upper, job.recited);
            const auto r = voice::Render({}, text, 1.0);
            const QString expected = voice::ExpectedPhonemes(text);
            if (!r.ok || !voice::SaysTheText(r.value.phonemes, expected) ||
                r.value.moraMs.size() != voice::Morae(text).size()) {
                const std::lock_guard guard(lock);
                wrong << QStringLiteral("%1 %2: %3 | %4 | %5")
                             .arg(job.poem + 1)
                             .arg(text, r.errorString, r.value.phonemes, expected);
            }
        });
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    // Each shown character comes with the sound it stands for: kana by their
    // spoken mora (ほ of いほ with お), kanji by their reading (庵 with い).
    void charactersAreTiedToTheirSounds() {
        if (qEnvironmentVariableIsSet("NUPEW_NO_SERVER")) {
            QSKIP("child run");
        }
        const QString speech = voice::SpeechText(catalogue_, 0, true, false);
        const QList<int> kana = voice::ShownMorae(catalogue_.Text(0, kUpperKana),
                                                  catalogue_.Text(0, kUpperKana), speech);
        // あきのたの　かりほのいほの: the space comes with か, ほ with お, い with い.
        QCOMPARE(kana.mid(0, 14), (QList<int>{0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 10, 11, 12}));
        const QString kanji = catalogue_.Text(0, kUpperKanji);
        const QList<int> byKanji =
            voice::ShownMorae(kanji, catalogue_.Text(0, kUpperKana), speech);
        QCOMPARE(byKanji[kanji.indexOf(u'庵')], 9);
        QCOMPARE(byKanji[kanji.indexOf(u'苫')], 12);
        // All hundred, both texts: in order, inside the verse, and the
        // recited form (held sounds between) ties the same characters later.
        for (int p = 0; p < kPoemCount; ++p) {
            for (const bool recited : {false, true}) {
                const QString text = voice::SpeechText(catalogue_, p, true, recited);
                for (const int column : {kUpperKana, kUpperKanji}) {
                    const QList<int> m = voice::ShownMorae(catalogue_.Text(p, column),
                                                           catalogue_.Text(p, kUpperKana), text);
                    QVERIFY2(!m.isEmpty() && std::is_sorted(m.begin(), m.end()) &&
                                 m.back() < voice::Morae(text).size(),
                             qPrintable(QStringLiteral("%1 %2").arg(p + 1).arg(column)));
                }
            }
        }
    }

    // A real question with the voice on: heard on the sink soon after 開始,
    // the strip filled by the voice (the text timer never runs), the lower
    // verse heard after the answer, the answer kept in the history as read
    // aloud, its reaction from the decisive sound.
    void aQuestionIsHeardOnTheSink() {
        if (qEnvironmentVariableIsSet("NUPEW_NO_SERVER")) {
            QSKIP("child run");
        }
        SinkRecorder &recorder = *recorder_;
        InTemporaryFolder folder;
        UiFixture f;
        QVERIFY2(f.program->voiceUnavailable().isEmpty(),
                 qPrintable(f.program->voiceUnavailable()));
        f.Item(QStringLiteral("readAloud"))->trigger();
        f.Item(QStringLiteral("readLower"))->trigger(); // heard after the verdict
        QVERIFY(f.Item(QStringLiteral("readAloud"))->isChecked());
        f.program->GameOpen();
        voice::Reader *reader = f.program->Reader();
        QTRY_VERIFY_WITH_TIMEOUT(reader->Pending() == 0, 20000);
        QTest::qWait(300); // the silent opening of the output has passed
        recorder.Reset();
        const double started = double(clock_.nsecsElapsed()) / 1e6;
        f.PressStart();
        QVERIFY(f.game().voiced());
        const QString verse = f.game().askedVerses()[1];
        QTRY_COMPARE_WITH_TIMEOUT(f.BoardText(QStringLiteral("verseStrip")), verse.left(21), 15000);
        QVERIFY(!f.timer.pending); // the text reveal never ran
        const double firstSound = recorder.FirstSoundMs() - started;
        QVERIFY2(firstSound > -5 && firstSound < 150, qPrintable(QString::number(firstSound)));
        QVERIFY(recorder.LoudSamples() > 48000); // more than a second of voice
        // Each step was shown once its sound had begun, and not long after.
        const QList<double> &shown = reader->shownAt();
        const QList<double> &onsets = reader->stepOnsets();
        QCOMPARE(shown.size(), onsets.size());
        for (qsizetype i = 0; i < shown.size(); ++i) {
            QVERIFY2(shown[i] >= onsets[i] && shown[i] - onsets[i] < 40,
                     qPrintable(QStringLiteral("%1: %2 / %3").arg(i).arg(shown[i]).arg(onsets[i])));
        }
        f.clock.now += 3.0f;
        f.ClickCard(f.RightCard());
        recorder.Reset();
        QTRY_VERIFY_WITH_TIMEOUT(recorder.LoudSamples() > 24000, 10000); // the lower verse
        f.program->AnswerHistory().WaitWritten(5000);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v"));
        db.setDatabaseName(kHistoryFile);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral(
            "SELECT answers.voice, games.voice, reaction_time FROM answers JOIN games "
            "ON games.id = answers.game")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toInt(), 1);
        // The fake clock stood still: the decisive sound began `late` before
        // its step was shown, never more than a few tens of milliseconds.
        QVERIFY2(q.value(2).toDouble() >= 3.0 && q.value(2).toDouble() < 3.05,
                 qPrintable(q.value(2).toString()));
        q.finish();
        db.close();
        db = {};
        QSqlDatabase::removeDatabase(QStringLiteral("v"));
    }

    // The server goes away mid-verse: the player is told once and the text
    // goes on by itself from where the voice was.
    void lostOutputLeavesTheText() {
        if (qEnvironmentVariableIsSet("NUPEW_NO_SERVER")) {
            QSKIP("child run");
        }
        voice::Reader reader(catalogue_, QStandardPaths::writableLocation(
                                             QStandardPaths::CacheLocation));
        QSignalSpy problems(&reader, &voice::Reader::problem);
        reader.Prepare(16, kUpperKana);
        QTRY_VERIFY_WITH_TIMEOUT(reader.Pending() == 0, 20000);
        QTest::qWait(200);
        QList<int> steps;
        QVERIFY(reader.ReadUpper(16, kUpperKana, [&](int step, float) { steps.append(step); }));
        QTRY_VERIFY_WITH_TIMEOUT(steps.size() >= 3, 5000);
        recorder_.reset();
        server_.Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!steps.isEmpty() && steps.back() == -1, 10000);
        QCOMPARE(problems.size(), 1);
        QTest::qWait(300);
        QCOMPARE(problems.size(), 1);
        QString why;
        QVERIFY2(server_.Start(&why), qPrintable(why));
        recorder_ = std::make_unique<SinkRecorder>(clock_);
        QVERIFY(recorder_->Start());
    }

    // Without the voice package or without a sound server the options are
    // off, say what is missing, and the game is the text game.
    void missingVoiceOrServer() {
        if (qEnvironmentVariableIsSet("NUPEW_NO_SERVER")) {
            InTemporaryFolder folder;
            PrepareUiTests();
            UiFixture f;
            QAction *read = f.Item(QStringLiteral("readAloud"));
            QVERIFY(!read->isEnabled() && !read->isChecked());
            QVERIFY2(read->toolTip().contains(QStringLiteral("PulseAudio")),
                     qPrintable(read->toolTip()));
            read->trigger();
            QVERIFY(!read->isChecked());
            f.PressStart();
            QVERIFY(!f.game().voiced());
            return;
        }
        voice::VoiceParts parts;
        parts.voice = QStringLiteral("/nonexistent/voice.htsvoice");
        QVERIFY(voice::Reader::Unavailable(parts).contains(
            QStringLiteral("hts-voice-nitech-jp-atr503-m001")));
        const auto failed = voice::Render(parts, QStringLiteral("あき"), 1.0);
        QVERIFY(!failed.ok);
        QVERIFY2(!failed.errorString.isEmpty(), "the synthesizer's own reason");
        // No server: this test again in a process that finds none.
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NUPEW_NO_SERVER"), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir::tempPath() + "/nupew-no-server");
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:/nonexistent"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("missingVoiceOrServer")});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
    }
};

QTEST_MAIN(TestVoice)
#include "test_voice.moc"

// SPDX-License-Identifier: MIT
// The program's files on real disks: a full one, special files where ours
// should be, symlinks, two copies of the program at once, two spellings of a
// name, and writers killed in the middle of a write.
#include "core/file_names.h"
#include "core/safe_files.h"
#include "fakes.h"
#include "history/history.h"
#include "records/record_book.h"
#include "records/score_record.h"
#include "ui/records/records_window.h"
#include "ui/viewers/picture_viewer.h"
#include "ui/viewers/poem_list_window.h"
#include "ui_fixture.h"
#include "voice/reader.h"
#include "voice/speech.h"

#include <QLineEdit>

#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace nupew;
using namespace nupew::testing;

namespace {

const QByteArray kOptionsRecord = "10,8,1,2\r\n";
const QByteArray kDisplay = "2,2\r\n";

QByteArray FiveRows() {
    QList<ScoreRecord> rows;
    for (int i = 0; i < 5; ++i) {
        rows.append({EncodeName(QStringLiteral("名%1").arg(i)), 10.0f + float(i), qint16(i),
                     QByteArray("-2001.01:01")});
    }
    return SerializeRecordFile({rows, {}});
}

// A tmpfs of 64 KiB mounted on a temporary folder; only root can have one.
class SmallDisk {
public:
    SmallDisk() : mounted_(Mount(0)) {}
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    // Writes a filler until the disk says it is full.
    void Fill() {
        QFile filler(dir_.path() + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    bool Mount(unsigned long flags) {
        return ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", flags,
                       "size=64k") == 0;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

mode_t TypeOf(const QString &name) {
    struct stat st {};
    return ::lstat(QFile::encodeName(name).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// Plausible bytes for a regular file at one of our names.
QByteArray Contents(const QString &path) {
    const QString name = QFileInfo(path).fileName();
    if (name == "NUPEKI1.DAT") {
        return "5,8,8,4\r\n"; // five questions: the whole game the run plays
    }
    if (name == "NUPEKI2.DAT") {
        return kDisplay;
    }
    if (name == "NUPEKI3.DAT") {
        return FiveRows();
    }
    if (name.endsWith(".conf")) {
        return "[General]\n";
    }
    return name.endsWith(".lock") || name.contains("sqlite") ? QByteArray() : "not a picture";
}

// Puts a thing of `kind` at `path`; false when this kind cannot be made here.
bool MakeHostile(const QString &kind, const QString &path, const QString &outside) {
    const QByteArray native = QFile::encodeName(path);
    if (kind == "fifo") {
        return ::mkfifo(native.constData(), 0666) == 0;
    }
    if (kind == "folder") {
        return QDir().mkdir(path);
    }
    if (kind == "device") { // a null device: reads end at once, writes vanish
        return ::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    }
    if (kind == "socket") {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray absolute = QFile::encodeName(QFileInfo(path).absoluteFilePath());
        if (fd < 0 || size_t(absolute.size()) >= sizeof address.sun_path) {
            return false;
        }
        std::memcpy(address.sun_path, absolute.constData(), size_t(absolute.size()));
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    }
    if (kind == "dangling link") {
        return ::symlink("no/such/file", native.constData()) == 0;
    }
    if (kind == "outward link") {
        return QFile::link(outside, path);
    }
    if (!WriteAll(path, Contents(path))) {
        return false;
    }
    if (kind == "unreadable") {
        return QFile::setPermissions(path, {});
    }
    return SetImmutable(path, true);
}

void RemoveHostile(const QString &path) {
    SetImmutable(path, false);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (TypeOf(path) == S_IFDIR) {
        QDir(path).removeRecursively();
    } else {
        QFile::remove(path);
    }
}

// What a name holds: its type, a link's target, a file's bytes.
QString Describe(const QString &path) {
    const QFileInfo info(path);
    QString text = QString::number(TypeOf(path), 8);
    if (info.isSymLink()) {
        text += u' ' + info.symLinkTarget();
    } else if (TypeOf(path) == S_IFREG) {
        QFile file(path);
        text += file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().toHex())
                                               : QStringLiteral("unreadable");
    }
    return text;
}

// A whole run of the real program in the working folder; everything the
// player was told: boxes, the records window, the poem list, a picture viewer.
QStringList RunEverything() {
    QStringList told;
    {
        UiFixture f;
        f.PlayGame([](QWidget *box) {
            box->findChild<QLineEdit *>("nameField")->insert("x");
            box->findChild<QPushButton *>("registerButton")->click();
        });
        f.program->SaveSettings();
        f.program->ToggleDecisive();
        f.program->ViewRecords();
        told.append(f.program->RecordsView()->Problem());
        f.program->ResetRecords();
        told.append(f.program->RecordsView()->Problem());
        f.program->ShowPoemList();
        told.append(f.program->PoemList()->Text());
        PictureViewer viewer(PictureKind::Poem);
        viewer.Open(QString(), 1, true, f.dialogs);
        told.append(viewer.Problem());
        f.program->AnswerHistory().WaitWritten(5000);
        QTest::qWait(50); // the history's news arrive through the event loop
        told += f.dialogs.texts();
    }
    return told;
}

// Start-up must read the 10 questions of kOptionsRecord; then 20 questions are saved.
void StartThenSaveTwentyQuestions(FakeWorld &world) {
    SettingsStore store(world.settings, world.dialogs);
    store.LoadAtStartUp();
    QCOMPARE(world.settings.questionCount, qint16(10));
    world.settings.questionCount = 20;
    store.SaveSettings();
}

// Starts the writer, lets it run a few milliseconds and kills it outright.
void KillMidWrite(const QString &mode, QRandomGenerator &random) {
    QProcess writer;
    writer.start(QStringLiteral(CRASH_WRITER), {mode});
    QVERIFY(writer.waitForStarted());
    QVERIFY(writer.waitForReadyRead(10000)); // "ready": the first write is done
    QThread::usleep(random.bounded(500, 20000));
    writer.kill(); // SIGKILL: no chance to finish or tidy up
    QVERIFY(writer.waitForFinished());
}

bool IsWarning(const FakeDialogs &dialogs) {
    return dialogs.shown.size() == 1 && dialogs.shown[0].icon == MessageIcon::Warning;
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    // Every writer on a full disk: the old bytes stay, a warning is shown, and
    // nothing is reported as saved or registered.
    void fullDisk_data() {
        QTest::addColumn<bool>("realDisk");
        QTest::newRow("full tmpfs") << true;
        QTest::newRow("injected ENOSPC") << false;
    }
    void fullDisk() {
        QFETCH(bool, realDisk);
        SmallDisk disk;
        if (realDisk && !disk.mounted()) {
            QSKIP("mounting a tmpfs needs root");
        }
        InTemporaryFolder folder(realDisk ? disk.path() : QString());
        QVERIFY(WriteAll("NUPEKI1.DAT", kOptionsRecord));
        QVERIFY(WriteAll("NUPEKI2.DAT", kDisplay));
        QVERIFY(WriteAll("NUPEKI3.DAT", FiveRows()));
        if (realDisk) {
            disk.Fill();
        } else {
            InjectWriteFailure(ENOSPC);
        }
        const auto restore = qScopeGuard([] { InjectWriteFailure(0); });

        FakeWorld world;
        SettingsStore store(world.settings, world.dialogs);
        world.settings.questionCount = 20;
        store.SaveSettings();
        QVERIFY(IsWarning(world.dialogs));
        QCOMPARE(ReadAll("NUPEKI1.DAT"), kOptionsRecord);
        QCOMPARE(ReadAll("NUPEKI2.DAT"), kDisplay);

        world.dialogs.shown.clear();
        RecordBook book;
        const Registration registration = book.Register({1.0f, 0, false}, QString());
        QVERIFY(registration.tell && registration.tell->icon == MessageIcon::Warning &&
                !registration.entered);
        QCOMPARE(ReadAll("NUPEKI3.DAT"), FiveRows());
        if (!realDisk) {
            QVERIFY(registration.tell->text.contains(QString::fromLocal8Bit(strerror(ENOSPC))));
        }
        // No half-written file is left behind.
        QVERIFY(QDir(".").entryList({".*"}, QDir::Hidden | QDir::Files).isEmpty());
    }

    // Every name the program touches, with something hostile at it: never
    // opened blindly (nothing hangs), never followed out of the folder, never
    // deleted or replaced; the program goes on, and the player is told which
    // file is wrong. Each case is a whole run of the real program: start-up, a
    // game registered, the settings saved, an option kept, the table shown
    // and reset, the poem list and a picture.
    void hostileFiles() {
        const bool root = ::geteuid() == 0;
        QStringList kinds = {"fifo",          "folder",       "device",   "socket",
                             "dangling link", "outward link", "immutable"};
        if (!root) {
            kinds.append("unreadable"); // root reads it all the same
        }
        const QStringList names = {"NUPEKI1.DAT",         "NUPEKI2.DAT",
                                   "NUPEKI3.DAT",         "NUPEKI1.DAT.lock",
                                   "NUPEKI2.DAT.lock",    "NUPEKI3.DAT.lock",
                                   "ichirun.txt",         "U1.JPG",
                                   kHistoryFile,          kHistoryFile + "-wal",
                                   kHistoryFile + "-shm", kHistoryFile + "-journal",
                                   "@nupew/nupew.conf",   "@TEMP11/MyToolbar1.conf"};
        // Names a run writes: an immutable one is a failure to tell.
        const QStringList written = {"NUPEKI1.DAT",         "NUPEKI2.DAT",
                                     "NUPEKI3.DAT",         "NUPEKI1.DAT.lock",
                                     "NUPEKI2.DAT.lock",    "NUPEKI3.DAT.lock",
                                     kHistoryFile,          kHistoryFile + "-wal",
                                     kHistoryFile + "-shm", kHistoryFile + "-journal",
                                     "@nupew/nupew.conf"};
        QTemporaryDir outside;
        int tried = 0;
        for (const QString &name : names) {
            for (const QString &kind : kinds) {
                InTemporaryFolder folder;
                const bool perUser = name.startsWith(u'@');
                const QString path = perUser ? SettingsFolder() + u'/' + name.mid(1) : name;
                QDir().mkpath(QFileInfo(path).absolutePath());
                const QString target = outside.filePath(QStringLiteral("target"));
                QVERIFY(WriteAll(target, "outside the folder"));
                if (!MakeHostile(kind, path, target)) {
                    continue; // this kind cannot be made here (mknod and chattr need root)
                }
                const auto cleanup = qScopeGuard([&path] { RemoveHostile(path); });
                const QString before = Describe(path);
                qInfo("case: %s at %s", qPrintable(kind), qPrintable(name));
                ::alarm(30); // a call that blocks fails the test instead of hanging it
                const QStringList told = RunEverything();
                ::alarm(0);
                const QString context = kind + u' ' + name;
                QCOMPARE(Describe(path), before);
                QCOMPARE(ReadAll(target), QByteArray("outside the folder"));
                const QString base = QFileInfo(path).fileName();
                if (kind != "immutable" || written.contains(name)) {
                    QVERIFY2(told.join(u'\n').contains(base),
                             qPrintable(context + ": " + told.join(" | ")));
                }
                ++tried;
            }
        }
        QVERIFY(tried >= names.size() * 4);
    }
    // The voice's cache, its folder and an entry, under the same rule: a
    // rendering that cannot be kept is said once, naming the file, and the
    // verse is still read from memory.
    void hostileVoiceCache() {
        if (!voice::MissingParts({}).isEmpty()) {
            QSKIP("the voice is not installed (scripts/setup-debian.sh test)");
        }
        PoemCatalogue catalogue;
        catalogue.Fill();
        const QString key = voice::RenderingCache::Key(
            voice::SpeechText(catalogue, Poem::FromRow(0), true, false), voice::VoiceParts().voice,
            voice::Pace{voice::RateForDelay(4)});
        // "folder link": the cache folder a link to a folder of the player's
        // own files, some named as ours would be; the first found faults
        // were a write there and a trim that deleted them.
        const QStringList kinds = {"fifo",          "folder",       "device",    "socket",
                                   "dangling link", "outward link", "immutable", "folder link"};
        QTemporaryDir outside;
        const QString target = outside.filePath(QStringLiteral("target"));
        const QString theirs = outside.filePath(QStringLiteral("theirs"));
        QVERIFY(QDir().mkpath(theirs));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(WriteAll(theirs + QStringLiteral("/precious%1.voice").arg(i),
                             QByteArray(1 << 20, char('a' + i))));
        }
        QVERIFY(WriteAll(theirs + u'/' + voice::RenderingCache::FileName(key), "mine"));
        const auto listing = [&theirs] {
            QString all;
            for (const QFileInfo &f : QDir(theirs).entryInfoList(QDir::Files | QDir::Hidden)) {
                all += f.fileName() + u' ' + Describe(f.filePath()) + u'\n';
            }
            return all;
        };
        const QString theirsBefore = listing();
        for (const QString &name :
             {voice::RenderingCache::FileName(key), QStringLiteral("voice")}) {
            for (const QString &kind : kinds) {
                InTemporaryFolder folder;
                const QString cacheFolder = QDir::currentPath() + QStringLiteral("/voice");
                QDir().mkpath(name == u"voice" ? QDir::currentPath() : cacheFolder);
                const QString path = name == u"voice" ? cacheFolder : cacheFolder + u'/' + name;
                QVERIFY(WriteAll(target, "outside the folder"));
                const bool made = kind == u"folder link" ? QFile::link(theirs, path)
                                                         : MakeHostile(kind, path, target);
                if ((name == u"voice" && kind == u"folder") || !made) {
                    continue; // a folder is what the cache folder should be
                }
                const auto cleanup = qScopeGuard([&path] { RemoveHostile(path); });
                const QString before = Describe(path);
                const QString context = kind + u' ' + name;
                voice::Reader reader(catalogue, cacheFolder);
                QSignalSpy problems(&reader, &voice::Reader::problem);
                ::alarm(60);
                // Three verses: each stored (or kept in memory) and trimmed.
                for (const int poem : {0, 1, 2}) {
                    reader.Prepare(Poem::FromRow(poem), kUpperKana);
                    QTRY_VERIFY2_WITH_TIMEOUT(reader.IsReady(Poem::FromRow(poem)) &&
                                                  reader.Pending() == 0,
                                              qPrintable(context), 20000);
                }
                ::alarm(0);
                QCOMPARE(Describe(path), before);
                QCOMPARE(ReadAll(target), QByteArray("outside the folder"));
                QCOMPARE(listing(), theirsBefore);
                // Still read aloud, from memory.
                QVERIFY2(reader.IsReady(Poem::FromRow(0)), qPrintable(context));
                QString told;
                for (const QList<QVariant> &problem : problems) {
                    told += problem[0].toString() + u'\n';
                }
                QVERIFY2(told.contains(QFileInfo(path).fileName()),
                         qPrintable(context + ": " + told));
                QVERIFY2(problems.size() <= 2, qPrintable(context + ": " + told));
            }
        }
    }

    // A symlink to a regular file works as the file: it is read, and a save
    // replaces the target in the target's folder while the link stays a link.
    void symlinksAreFollowed() {
        InTemporaryFolder folder;
        QDir().mkdir("store");
        QVERIFY(WriteAll("store/options", kOptionsRecord));
        QVERIFY(WriteAll("store/table", FiveRows()));
        QVERIFY(WriteAll("store/list", "\x82\xa0\r\n"));
        QVERIFY(QFile::link("store/options", "NUPEKI1.DAT"));
        QVERIFY(QFile::link("store/table", "NUPEKI3.DAT"));
        QVERIFY(QFile::link("store/list", "ichirun.txt"));
        FakeWorld world;
        StartThenSaveTwentyQuestions(world);
        QCOMPARE(ReadAll("store/options"), QByteArray("20,8,1,2\r\n"));
        QCOMPARE(TypeOf("NUPEKI1.DAT"), mode_t(S_IFLNK));

        RecordBook book;
        QCOMPARE(book.ReadRows().value().size(), 5);
        QVERIFY(book.Register({1.0f, 0, false}, QString()).entered);
        QCOMPARE(ReadAll("store/table").size(), 6 * recordLength);
        QCOMPARE(TypeOf("NUPEKI3.DAT"), mode_t(S_IFLNK));
        QCOMPARE(PoemListWindow().Text(), QStringLiteral("あ\r\n"));
    }

    // With NUPEKI1.DAT and nupeki1.dat side by side, start-up and saving use
    // the same one; a file of another spelling alone is read and written in place.
    void oneFilePerName() {
        InTemporaryFolder folder;
        QVERIFY(WriteAll("nupeki1.dat", "50,8,8,4\r\n"));
        QVERIFY(WriteAll("NUPEKI1.DAT", kOptionsRecord));
        FakeWorld world;
        StartThenSaveTwentyQuestions(world);
        QCOMPARE(ReadAll("NUPEKI1.DAT"), QByteArray("20,8,1,2\r\n"));
        QCOMPARE(ReadAll("nupeki1.dat"), QByteArray("50,8,8,4\r\n"));
        QVERIFY(QFile::remove("NUPEKI1.DAT") && QFile::remove("nupeki1.dat"));
        QVERIFY(WriteAll("Nupeki1.dat", kOptionsRecord) &&
                QFile::rename("NUPEKI2.DAT", "nupeki2.DAT"));
        QCOMPARE(ResolveName("NUPEKI1.DAT"), QStringLiteral("Nupeki1.dat"));
        StartThenSaveTwentyQuestions(world);
        QCOMPARE(ReadAll("Nupeki1.dat"), QByteArray("20,8,1,2\r\n"));
        QCOMPARE(QDir(".").entryList(QDir::Files).size(), 2); // nothing created beside them
    }

    // Two copies of the program registering at the same moment both get in.
    void twoCopiesRegisterAtOnce() {
        InTemporaryFolder folder;
        for (int round = 0; round < 5; ++round) { // five pairs fill the table
            std::array<QProcess, 2> copies;
            for (QProcess &copy : copies) {
                copy.start(QStringLiteral(CRASH_WRITER),
                           {QStringLiteral("register-once"), QString::number(round)});
                QVERIFY(copy.waitForStarted());
            }
            for (QProcess &copy : copies) {
                copy.write("go\n");
            }
            for (QProcess &copy : copies) {
                QVERIFY(copy.waitForFinished(10000) && copy.exitCode() == 0);
            }
            QCOMPARE(ReadAll(kRecordFile).size(), 2 * (round + 1) * recordLength);
        }
    }

    // A copy that cannot get the lock says which of the three it is (held by
    // a running copy, not a regular file, left and undeletable) and
    // registers nothing.
    void lockHeldElsewhere() {
        InTemporaryFolder folder;
        QVERIFY(WriteAll("NUPEKI3.DAT", FiveRows()));
        const QString pid = QString::number(QCoreApplication::applicationPid());
        QList<QPair<QString, QString>> cases = {{"held", pid}, {"folder", "フォルダー"}};
        if (::geteuid() == 0) {
            cases.append(qMakePair(QStringLiteral("immutable"), QStringLiteral("削除できません")));
        }
        for (const auto &[kind, reason] : cases) {
            QLockFile other(QStringLiteral("NUPEKI3.DAT.lock"));
            if (kind == "held") {
                QVERIFY(other.tryLock(0));
            } else if (kind == "folder") {
                QVERIFY(QDir().mkdir("NUPEKI3.DAT.lock"));
            } else {
                QVERIFY(WriteAll("NUPEKI3.DAT.lock", "garbage"));
                QVERIFY(SetImmutable("NUPEKI3.DAT.lock", true));
            }
            RecordBook book;
            const Registration registration = book.Register({}, QString());
            QVERIFY(registration.tell && registration.tell->icon == MessageIcon::Warning &&
                    !registration.entered);
            QVERIFY2(registration.tell->text.contains(reason), qPrintable(registration.tell->text));
            QCOMPARE(ReadAll("NUPEKI3.DAT"), FiveRows());
            other.unlock();
            RemoveHostile("NUPEKI3.DAT.lock");
        }
    }

    // Both option files or neither: with NUPEKI2.DAT immutable, NUPEKI1.DAT
    // keeps its old bytes too, and the box says both are as they were.
    void bothOptionFilesOrNeither() {
        InTemporaryFolder folder;
        QVERIFY(WriteAll("NUPEKI1.DAT", kOptionsRecord) && WriteAll("NUPEKI2.DAT", kDisplay));
        if (!SetImmutable("NUPEKI2.DAT", true)) {
            QSKIP("making a file immutable needs root");
        }
        const auto cleanup = qScopeGuard([] { SetImmutable("NUPEKI2.DAT", false); });
        FakeWorld world;
        SettingsStore store(world.settings, world.dialogs);
        world.settings.questionCount = 20;
        store.SaveSettings();
        QVERIFY(IsWarning(world.dialogs));
        QVERIFY2(world.dialogs.shown[0].text.contains("NUPEKI2.DAT") &&
                     world.dialogs.shown[0].text.contains("元のまま"),
                 qPrintable(world.dialogs.shown[0].text));
        QCOMPARE(ReadAll("NUPEKI1.DAT"), kOptionsRecord);
        QCOMPARE(ReadAll("NUPEKI2.DAT"), kDisplay);
        QCOMPARE(QDir(".").entryList({".*"}, QDir::Hidden | QDir::Files), QStringList());
    }

    // What killed saves left behind goes at start-up: only our own
    // temporaries, older than a minute, whose file no running copy is writing.
    void staleTemporariesAreRemoved() {
        InTemporaryFolder folder;
        const QStringList stale = {".NUPEKI1.DAT.1x9z", ".NUPEKI3.DAT.k2"};
        const QStringList kept = {".NUPEKI2.DAT.fresh1", ".NUPEKI3.DAT.keep-me", ".other.1x9z"};
        for (const QString &name : stale + kept) {
            QVERIFY(WriteAll(name, "half"));
            if (name != ".NUPEKI2.DAT.fresh1") {
                QFile file(name);
                QVERIFY(file.open(QIODevice::ReadWrite) &&
                        file.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                         QFileDevice::FileModificationTime));
            }
        }
        QVERIFY(WriteAll(".NUPEKI2.DAT.o1d", "being written"));
        QFile old(".NUPEKI2.DAT.o1d");
        QVERIFY(old.open(QIODevice::ReadWrite) &&
                old.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                QFileDevice::FileModificationTime));
        QLockFile writing(QStringLiteral("NUPEKI2.DAT.lock")); // another copy saving it
        QVERIFY(writing.tryLock(0));
        { UiFixture f; }
        QStringList left = QDir(".").entryList(QDir::Hidden | QDir::Files);
        for (const QString &name : stale) {
            QVERIFY2(!left.contains(name), qPrintable(name));
        }
        for (const QString &name : kept + QStringList{".NUPEKI2.DAT.o1d"}) {
            QVERIFY2(left.contains(name), qPrintable(name));
        }
    }

    // Whole rows only, in order, each one written by the writer.
    void recordFile() {
        InTemporaryFolder folder;
        QRandomGenerator random(11);
        for (int round = 0; round < 40; ++round) {
            KillMidWrite(QStringLiteral("records"), random);
            const QByteArray bytes = ReadAll(kRecordFile);
            const RecordFileContents table = ParseRecordFile(bytes);
            QVERIFY(bytes.size() % recordLength == 0 && table.rest.isEmpty());
            QVERIFY(!table.rows.isEmpty() && table.rows.size() <= tableSize);
            for (qsizetype i = 1; i < table.rows.size(); ++i) {
                const ScoreRecord &a = table.rows[i - 1];
                const ScoreRecord &b = table.rows[i];
                QVERIFY(a.faults < b.faults ||
                        (a.faults == b.faults && !TimeBefore(b.time, a.time)));
            }
            for (const ScoreRecord &row : table.rows) {
                QVERIFY(DecodeShiftJis(row.name).startsWith(QStringLiteral("名前")));
            }
        }
    }

    // Every answer the history holds after a kill is whole: its row and its
    // poem's sums went in together.
    void historyFile() {
        InTemporaryFolder folder;
        QRandomGenerator random(13);
        for (int round = 0; round < 20; ++round) {
            KillMidWrite(QStringLiteral("history"), random);
            QString why;
            const std::unique_ptr<HistoryDatabase> db =
                Take(HistoryDatabase::Open(kHistoryFile), &why);
            QVERIFY2(db, qPrintable(why));
            QSqlQuery query(db->Connection());
            QVERIFY(query.exec(QStringLiteral("SELECT (SELECT COUNT(*) FROM answers), "
                                              "(SELECT SUM(answers) FROM poem_sums)")) &&
                    query.next());
            QVERIFY(query.value(0).toInt() > 0);
            QCOMPARE(query.value(0).toInt(), query.value(1).toInt());
        }
    }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"

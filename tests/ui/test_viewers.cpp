// SPDX-License-Identifier: MIT
// Beside the game: poem and poet pictures, the poem list, the picture folder.
#include "core/text_files.h"
#include "ui/shell/folder_selection.h"
#include "ui/viewers/picture_viewer.h"
#include "ui/viewers/poem_list_window.h"
#include "ui/viewers/viewer_geometry.h"
#include "ui_fixture.h"

#include <QImage>
#include <QPlainTextEdit>
#include <QProcess>
#include <QtEndian>

using namespace nupew;
using namespace nupew::testing;

namespace {

void SavePicture(const QString &name, int width, int height, QColor color, const char *format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QVERIFY(image.save(name, format));
}

// Answers the running question of a fresh game on `poem`, so that the poet is shown.
void AnswerPoem(UiFixture &f, int poem) {
    f.random.script = {(float(poem - 1) + 0.5f) / 100.0f};
    f.program->GameOpen();
    f.PressStart();
    f.ClickCard(f.RightCard());
    QCOMPARE(f.game().currentPoem()->number(), poem);
}

QColor CentrePixel(QWidget *viewer) {
    const QImage shot = viewer->grab().toImage();
    return shot.pixel(shot.width() / 2, shot.height() / 2);
}

// A bitmap header claiming 100000 x 100000 pixels and nothing behind it.
QByteArray PictureBomb() {
    QByteArray header(54, '\0');
    header[0] = 'B';
    header[1] = 'M';
    header[14] = 40;
    qToLittleEndian<qint32>(100000, header.data() + 18);
    qToLittleEndian<qint32>(100000, header.data() + 22);
    header[26] = 1;
    header[28] = 24;
    return header;
}

// Bytes this process has read so far, by any read call ("rchar").
qint64 BytesRead() {
    QFile io("/proc/self/io");
    const QByteArray text = io.open(QIODevice::ReadOnly) ? io.readAll() : QByteArray();
    const qsizetype at = text.indexOf("rchar:");
    return at < 0 ? 0 : text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().toLongLong();
}

} // namespace

class TestViewers : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    // A picture without width never divides by zero.
    void sizingWithoutAPicture() {
        ViewerGeometry g;
        g.pictureHeight = 100.0f;
        g.SetOuterWidth(500.0f);
        QCOMPARE(g.pictureHeight, 100.0f);
    }

    // Names in any case, BMP before JPEG, open only once the answer is decided;
    // the player's pictures win, ours fill the gaps, and the message comes only
    // when neither has one.
    void whichPictureIsShown() {
        InTemporaryFolder folder;
        QDir().mkdir("ours");
        QDir().mkdir("chosen");
        SavePicture("ours/U5.JPG", 48, 64, Qt::green, "JPG");
        PictureViewer::SetSharedFolders({QDir::current().absoluteFilePath("ours") + u'/'});
        const auto restore = qScopeGuard([] { PictureViewer::SetSharedFolders({}); });
        SavePicture("A5.JPG", 40, 30, Qt::red, "JPG");
        SavePicture("a5.bmp", 40, 30, Qt::blue, "BMP");
        UiFixture f;
        f.random.script = {4.5f / 100.0f};
        f.program->GameOpen();
        f.PressStart();
        QTest::keyClick(&f.Board(), Qt::Key_U); // not decided yet: nothing opens
        QVERIFY(!f.program->Viewer(PictureKind::Poem));
        f.ClickCard(f.RightCard());
        QTest::keyClick(&f.Board(), Qt::Key_A);
        PictureViewer *poet = f.program->Viewer(PictureKind::Poet);
        QCOMPARE(poet->LoadedFile(), QStringLiteral("a5.bmp"));
        QCOMPARE(CentrePixel(poet), QColor(Qt::blue));
        QTest::keyClick(&f.Board(), Qt::Key_U);
        PictureViewer *poem = f.program->Viewer(PictureKind::Poem);
        QVERIFY(poem->LoadedFile().endsWith("ours/U5.JPG"));
        QVERIFY(poet->isVisible() && poem->isVisible()); // both open at once
        const auto shown = [&f] {
            f.Click(f.BoardLabel("verseStrip"));
            return f.program->Viewer(PictureKind::Poem)->LoadedFile();
        };
        SavePicture("u5.jpeg", 30, 40, Qt::yellow, "JPG");
        QCOMPARE(shown(), QStringLiteral("u5.jpeg"));
        // A chosen folder replaces the working folder; ours still fill its gaps.
        f.program->pictureFolder = QDir::current().absoluteFilePath("chosen") + u'/';
        QVERIFY(shown().endsWith("ours/U5.JPG"));
        SavePicture("chosen/u5.jpeg", 60, 40, Qt::blue, "JPG");
        QVERIFY(shown().endsWith("chosen/u5.jpeg"));
        QVERIFY(f.dialogs.shown.isEmpty());
        f.Click(f.BoardLabel("poetLabel"));
        QCOMPARE(f.dialogs.texts(), QStringList{"作者ファイルがありません"});
        f.Board().close(); // closes both
        QVERIFY(!f.program->Viewer(PictureKind::Poet) && !f.program->Viewer(PictureKind::Poem));
    }

    void firstOpeningAndReopening() {
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 30);
        SavePicture("U30.BMP", 400, 300, Qt::darkGreen, "BMP");
        f.Click(f.BoardLabel("verseStrip"));
        PictureViewer *viewer = f.program->Viewer(PictureKind::Poem);
        QCOMPARE(viewer->findChild<QLabel *>("picture")->geometry(), QRect(0, 0, 400, 300));
        QCOMPARE(viewer->size(), QSize(400, 300));
        // The player makes it wider: the picture follows, the height springs back.
        viewer->resize(600, 123);
        QCOMPARE(viewer->size(), QSize(600, 450));
        // A taller picture in the open viewer keeps the width, drawn smaller
        // where the window would be taller than the screen.
        SavePicture("U30.BMP", 200, 400, Qt::darkBlue, "BMP");
        f.Click(f.BoardLabel("stripFrame"));
        QCOMPARE(viewer->Geometry().pictureWidth, 600.0f * float(kTwipsPerPixel));
        QVERIFY(viewer->screen()->availableGeometry().contains(viewer->frameGeometry()));
        QCOMPARE(viewer->height(), viewer->width() * 2);
        // Esc closes it, and so does its popup item.
        QPointer<PictureViewer> closed = viewer;
        QTest::keyClick(viewer, Qt::Key_Escape);
        QVERIFY(!closed || !closed->isVisible());
        f.Click(f.BoardLabel("verseStrip"));
        closed = f.program->Viewer(PictureKind::Poem);
        closed->findChild<QAction *>("poemViewerMenuClose")->trigger();
        QVERIFY(!closed || !closed->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void missingAndBadPictures() {
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 5);
        f.Click(f.BoardLabel("poetLabel"));
        QCOMPARE(f.dialogs.texts(), QStringList{"作者ファイルがありません"});
        PictureViewer *poet = f.program->Viewer(PictureKind::Poet);
        QVERIFY(poet && !poet->isVisible()); // created, but stays hidden
        // A new viewer without a picture takes its control's design size.
        WriteAll("A5.JPG", "not a picture");
        f.Click(f.BoardLabel("poetLabel"));
        QVERIFY(poet->isVisible() && !poet->HasPicture());
        QCOMPARE(poet->Geometry().pictureWidth, 9495.0f);
        // Not a picture, a truncated one and a bomb: the viewer says why, without a box.
        for (const QByteArray &bytes : {QByteArray("not a picture at all"),
                                        QByteArray("\xff\xd8\xff\xe0", 4), PictureBomb()}) {
            WriteAll("U5.BMP", bytes);
            f.dialogs.shown.clear();
            f.Click(f.BoardLabel("verseStrip"));
            QVERIFY(f.dialogs.shown.isEmpty());
            PictureViewer *viewer = f.program->Viewer(PictureKind::Poem);
            QVERIFY(!viewer->HasPicture());
            QVERIFY2(viewer->Problem().startsWith("U5.BMP は") &&
                         (viewer->Problem().contains("壊れて") ||
                          viewer->Problem().contains("画素が多すぎ")),
                     qPrintable(viewer->Problem()));
        }
        // A 1 GiB file is refused from its size: not a byte of it is read.
        {
            QFile huge("U5.BMP");
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30));
        }
        const qint64 readBefore = BytesRead();
        f.Click(f.BoardLabel("verseStrip"));
        QVERIFY(BytesRead() - readBefore < 1024 * 1024);
        QVERIFY(f.program->Viewer(PictureKind::Poem)->Problem().contains("大きすぎ"));
        // A good picture, then one missing: the old picture stays and the message comes.
        SavePicture("U5.BMP", 60, 40, Qt::yellow, "BMP");
        f.Click(f.BoardLabel("verseStrip"));
        QFile::remove("U5.BMP");
        f.Click(f.BoardLabel("verseStrip"));
        QCOMPARE(f.dialogs.texts(), QStringList{"歌ファイルがありません"});
        QCOMPARE(CentrePixel(f.program->Viewer(PictureKind::Poem)), QColor(Qt::yellow));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A viewer whose place or size would run off the screen opens inside it
    // (the offscreen screen is 800×800): the poet's, at its old place, and a
    // poem picture taller than the screen.
    void viewersFitTheScreen() {
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 75);
        SavePicture("A75.JPG", 480, 640, Qt::blue, "JPG");
        SavePicture("U75.JPG", 700, 1200, Qt::blue, "JPG");
        const QRect area = f.Board().screen()->availableGeometry();
        for (const char *label : {"poetLabel", "verseStrip"}) {
            f.Click(f.BoardLabel(label));
        }
        for (const PictureKind kind : {PictureKind::Poet, PictureKind::Poem}) {
            const QRect frame = f.program->Viewer(kind)->frameGeometry();
            QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("%1,%2 %3×%4")
                                                          .arg(frame.x())
                                                          .arg(frame.y())
                                                          .arg(frame.width())
                                                          .arg(frame.height())));
        }
    }

    // The build draws all two hundred pictures from the poem table.
    void generatedPictures() {
        QTemporaryDir out;
        QCOMPARE(QProcess::execute(QStringLiteral(MAKE_PICTURES), {out.path()}), 0);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 200);
        for (int number = 1; number <= 100; ++number) {
            for (const char *prefix : {"U", "A"}) {
                const QImage image(
                    QStringLiteral("%1/%2%3.JPG").arg(out.path(), prefix).arg(number));
                QVERIFY2(image.size() == QSize(480, 640), qPrintable(QString::number(number)));
            }
        }
    }

    void poemListLines() {
        QCOMPARE(PoemListText("ab\r\ncd"), QStringLiteral("ab\r\ncd\r\n")); // a last line end added
        QCOMPARE(PoemListText("ab\ncd\r\n"), QStringLiteral("ab\ncd\r\n")); // lone LF stays inside
        QCOMPARE(PoemListText("ab\rcd"), QStringLiteral("ab\r\ncd\r\n"));   // lone CR ends a line
        QCOMPARE(PoemListText("\r\n\r\nx"), QStringLiteral("\r\n\r\nx\r\n")); // empty lines kept
        QCOMPARE(PoemListText(QByteArray("a\x81\r\n", 4)), QStringLiteral("a\uFFFD\r\n"));
    }

    void poemListWindow() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("showPoemList")->trigger();
        PoemListWindow *list = f.program->PoemList();
        QCOMPARE(list->Text(), QStringLiteral("ichirun.txtがありません。"));
        QTest::keyClick(list, Qt::Key_Escape); // closed, and gone
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.program->PoemList());

        WriteAll("ICHIRUN.TXT", QByteArray::fromHex("8f4882cc9363") + "\r\n2\r\n");
        f.Item("showPoemList")->trigger();
        list = f.program->PoemList();
        QCOMPARE(list->findChild<QPlainTextEdit *>("poemText")->toPlainText(),
                 QStringLiteral("秋の田\n2\n"));
        // Opened again while open: the file is not read again.
        WriteAll("ICHIRUN.TXT", "changed\r\n");
        f.Item("showPoemList")->trigger();
        QCOMPARE(list->Text(), QStringLiteral("秋の田\r\n2\r\n"));
        list->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // A huge list is cut at a line, with a note, never inside a character.
        QByteArray big;
        const QByteArray line = QByteArray::fromHex("8f4882cc9363") + "0123456789\r\n";
        while (big.size() < 9 * 1024 * 1024) {
            big += line;
        }
        WriteAll("ICHIRUN.TXT", big);
        f.program->ShowPoemList();
        const QString text = f.program->PoemList()->Text();
        QVERIFY(text.endsWith(QStringLiteral("表示していません。）\r\n")));
        QVERIFY(!text.contains(QChar(0xFFFD)) && text.size() < 9 * 1024 * 1024);
    }

    // The folder of a chosen picture, a confirmation, or the old folder kept;
    // after a print a cancelled dialog changes nothing and asks nothing.
    void folderSelection() {
        const struct {
            bool printed;
            const char *chosen; // empty: the file dialog is cancelled
            bool confirm;
            const char *previous;
            const char *folder;
        } rows[] = {{false, "/pics/U1.BMP", true, "", "/pics/"},
                    {false, "/new/x.gif", false, "/old/", "/old/"},
                    {false, "/U1.BMP", true, "", "//"},
                    {true, "", true, "/old/", "/old/"}};
        InTemporaryFolder work;
        UiFixture f;
        const QString before = QDir::currentPath();
        for (const auto &row : rows) {
            f.program->pictureFolder = QString::fromLatin1(row.previous);
            f.program->dialogCancelIsFailure = row.printed;
            const QString chosen = QString::fromLatin1(row.chosen);
            f.openFileDialog = [&](const FileDialogRequest &) -> std::optional<QString> {
                QDir::setCurrent("/"); // as a platform dialog may
                return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
            };
            f.dialogs.shown.clear();
            f.dialogs.answers = {row.confirm ? MessageAnswer::Ok : MessageAnswer::Cancel};
            f.Item("choosePictureFolder")->trigger();
            QCOMPARE(f.dialogs.shown.size(), row.printed ? 0 : row.confirm ? 1 : 2);
            QCOMPARE(f.program->pictureFolder, QString::fromLatin1(row.folder));
            QVERIFY(row.printed || QDir::currentPath() == before);
            QDir::setCurrent(before);
        }
        // A cancelled dialog offers the working folder, where pictures are then found.
        f.program->dialogCancelIsFailure = false;
        f.openFileDialog = [](const FileDialogRequest &) { return std::optional<QString>(); };
        f.dialogs.answers = {MessageAnswer::Ok};
        f.Item("choosePictureFolder")->trigger();
        QCOMPARE(f.program->pictureFolder, before + u'/');
        SavePicture("U3.JPG", 30, 20, Qt::red, "JPG");
        AnswerPoem(f, 3);
        f.Click(f.BoardLabel("verseStrip"));
        QVERIFY(f.program->Viewer(PictureKind::Poem)->HasPicture());
    }
};

QTEST_MAIN(TestViewers)
#include "test_viewers.moc"

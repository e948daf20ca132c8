// SPDX-License-Identifier: MIT
// Beside the game: poem and poet pictures, the poem list, the picture folder.
#include "core/text_files.h"
#include "ui/folder_selection.h"
#include "ui/picture_viewer.h"
#include "ui/poem_list_window.h"
#include "ui/viewer_geometry.h"
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
    QCOMPARE(int(f.game().currentPoem()), poem);
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

} // namespace

class TestViewers : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    // A minimized viewer keeps its height; a picture without width never divides by zero.
    void sizingEdges() {
        ViewerGeometry minimized;
        minimized.Open(10252.0f, 6000.0f, 4500.0f, false, true);
        minimized.normal = false;
        minimized.SetOuterWidth(3127.0f);
        QCOMPARE(minimized.pictureHeight, 2250.0f);
        QCOMPARE(minimized.outerHeight, 4921.0f);
        ViewerGeometry empty;
        empty.pictureHeight = 100.0f;
        empty.SetOuterWidth(500.0f);
        QCOMPARE(empty.pictureHeight, 100.0f);
    }

    void searchOrderCaseAndDecision() {
        QCOMPARE(PictureViewer::Candidates(QString(), PictureKind::Poem, 7),
                 (QStringList{"U7.BMP", "U7.GIF", "U7.JPG", "U7.JPEG"}));
        InTemporaryFolder folder;
        UiFixture f;
        SavePicture("A12.JPG", 40, 30, Qt::red, "JPG");
        SavePicture("a12.bmp", 40, 30, Qt::blue, "BMP");
        SavePicture("u12.jpeg", 30, 40, Qt::green, "JPG");
        f.random.script = {11.5f / 100.0f};
        f.program->GameOpen();
        f.PressStart();
        QTest::keyClick(&f.Board(), Qt::Key_U); // not decided yet: nothing opens
        QVERIFY(!f.program->Viewer(PictureKind::Poem));
        f.ClickCard(f.RightCard());
        QTest::keyClick(&f.Board(), Qt::Key_A);
        PictureViewer *poet = f.program->Viewer(PictureKind::Poet);
        QCOMPARE(QFileInfo(poet->LoadedFile()).fileName(), QStringLiteral("a12.bmp"));
        QCOMPARE(CentrePixel(poet), QColor(Qt::blue));
        QTest::keyClick(&f.Board(), Qt::Key_U);
        PictureViewer *poem = f.program->Viewer(PictureKind::Poem);
        QCOMPARE(QFileInfo(poem->LoadedFile()).fileName(), QStringLiteral("u12.jpeg"));
        QVERIFY(f.dialogs.shown.isEmpty());
        // Both open at once; closing the board closes both.
        QVERIFY(poet->isVisible() && poem->isVisible());
        f.Board().close();
        QVERIFY(!f.program->Viewer(PictureKind::Poet) && !f.program->Viewer(PictureKind::Poem));
    }

    void firstOpeningAndReopening() {
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 30);
        SavePicture("U30.BMP", 400, 300, Qt::darkGreen, "BMP");
        f.Click(f.BoardLabel("Label09"));
        PictureViewer *viewer = f.program->Viewer(PictureKind::Poem);
        QCOMPARE(viewer->size(), QSize(400, 300));
        QCOMPARE(viewer->findChild<QLabel *>("Image1")->geometry(), QRect(0, 0, 400, 300));
        // The player makes it wider: the picture follows, the height springs back.
        viewer->resize(600, 123);
        QCOMPARE(viewer->size(), QSize(600, 450));
        // A taller picture in the open viewer keeps the width.
        SavePicture("U30.BMP", 200, 400, Qt::darkBlue, "BMP");
        f.Click(f.BoardLabel("Label28"));
        QCOMPARE(viewer->size(), QSize(600, 1200));
        // Esc closes it, and so does its popup item.
        QPointer<PictureViewer> closed = viewer;
        QTest::keyClick(viewer, Qt::Key_Escape);
        QVERIFY(!closed || !closed->isVisible());
        f.Click(f.BoardLabel("Label09"));
        closed = f.program->Viewer(PictureKind::Poem);
        closed->findChild<QAction *>("MENU_51")->trigger();
        QVERIFY(!closed || !closed->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void missingAndBadPictures() {
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 5);
        f.Click(f.BoardLabel("Label38"));
        QCOMPARE(f.dialogs.texts(), QStringList{"作者ファイルがありません"});
        PictureViewer *poet = f.program->Viewer(PictureKind::Poet);
        QVERIFY(poet && !poet->isVisible()); // created, but stays hidden
        // A new viewer without a picture takes its control's design size.
        WriteAll("A5.JPG", "not a picture");
        f.Click(f.BoardLabel("Label38"));
        QVERIFY(poet->isVisible() && !poet->HasPicture());
        QCOMPARE(poet->Geometry().pictureWidth, 9495.0f);
        // Not a picture, a truncated one and a bomb: passed over without a message.
        for (const QByteArray &bytes : {QByteArray("not a picture at all"),
                                        QByteArray("\xff\xd8\xff\xe0", 4), PictureBomb()}) {
            WriteAll("U5.BMP", bytes);
            f.dialogs.shown.clear();
            f.Click(f.BoardLabel("Label09"));
            QVERIFY(f.dialogs.shown.isEmpty());
            QVERIFY(!f.program->Viewer(PictureKind::Poem)->HasPicture());
        }
        // A good picture, then one missing: the old picture stays and the message comes.
        SavePicture("U5.BMP", 60, 40, Qt::yellow, "BMP");
        f.Click(f.BoardLabel("Label09"));
        QFile::remove("U5.BMP");
        f.Click(f.BoardLabel("Label09"));
        QCOMPARE(f.dialogs.texts(), QStringList{"歌ファイルがありません"});
        QCOMPARE(CentrePixel(f.program->Viewer(PictureKind::Poem)), QColor(Qt::yellow));
        QVERIFY(!QGuiApplication::overrideCursor());
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

    // The player's pictures win, ours fill the gaps, and the message comes
    // only when neither has one.
    void ourPicturesFillTheGaps() {
        InTemporaryFolder folder;
        QDir().mkdir("ours");
        QDir().mkdir("chosen");
        SavePicture("ours/U5.JPG", 48, 64, Qt::green, "JPG");
        PictureViewer::SetSharedFolders({QDir::current().absoluteFilePath("ours") + u'/'});
        const auto restore = qScopeGuard([] { PictureViewer::SetSharedFolders({}); });
        UiFixture f;
        AnswerPoem(f, 5);
        const auto shown = [&f] {
            f.Click(f.BoardLabel("Label09"));
            return f.program->Viewer(PictureKind::Poem)->LoadedFile();
        };
        QVERIFY(shown().endsWith("ours/U5.JPG"));
        SavePicture("U5.BMP", 60, 40, Qt::yellow, "BMP");
        QCOMPARE(shown(), QStringLiteral("U5.BMP"));
        // A chosen folder replaces the working folder; ours still fill its gaps.
        f.program->pictureFolder = QDir::current().absoluteFilePath("chosen") + u'/';
        QVERIFY(shown().endsWith("ours/U5.JPG"));
        SavePicture("chosen/u5.jpeg", 60, 40, Qt::blue, "JPG");
        QVERIFY(shown().endsWith("chosen/u5.jpeg"));
        QVERIFY(f.dialogs.shown.isEmpty());
        f.Click(f.BoardLabel("Label38"));
        QCOMPARE(f.dialogs.texts(), QStringList{"作者ファイルがありません"});
    }

    void poemListLines_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("no line end at the end") << QByteArray("ab\r\ncd") << "ab\r\ncd\r\n";
        QTest::newRow("lone LF stays inside") << QByteArray("ab\ncd\r\n") << "ab\ncd\r\n";
        QTest::newRow("lone CR ends a line") << QByteArray("ab\rcd") << "ab\r\ncd\r\n";
        QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx") << "\r\n\r\nx\r\n";
        QTest::newRow("invalid bytes") << QByteArray("a\x81\r\n", 4) << "a\uFFFD\r\n";
    }

    void poemListLines() {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QCOMPARE(PoemListText(file), text);
    }

    void poemListWindow() {
        InTemporaryFolder folder;
        UiFixture f;
        f.Item("mnusum")->trigger();
        PoemListWindow *list = f.program->PoemList();
        QCOMPARE(list->Text(), QStringLiteral("ichirun.txtがありません。"));
        QTest::keyClick(list, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.program->PoemList());

        WriteAll("ICHIRUN.TXT", QByteArray::fromHex("8f4882cc9363") + "\r\n2\r\n");
        f.Item("mnusum")->trigger();
        list = f.program->PoemList();
        QCOMPARE(list->findChild<QPlainTextEdit *>("Text1")->toPlainText(),
                 QStringLiteral("秋の田\n2\n"));
        // Opened again while open: the file is not read again.
        WriteAll("ICHIRUN.TXT", "changed\r\n");
        f.Item("mnusum")->trigger();
        QCOMPARE(f.program->PoemList(), list);
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

    void folderSelection_data() {
        QTest::addColumn<bool>("printed");
        QTest::addColumn<QString>("chosen"); // empty: the file dialog is cancelled
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("folder");
        QTest::newRow("ok") << false << "/pics/U1.BMP" << true << ""
                            << "/pics/";
        QTest::newRow("cancel, one before") << false << "/new/x.gif" << false << "/old/"
                                            << "/old/";
        QTest::newRow("root folder") << false << "/U1.BMP" << true << ""
                                     << "//";
        QTest::newRow("dialog cancelled after a print") << true << "" << true << "/old/"
                                                        << "/old/";
    }

    void folderSelection() {
        QFETCH(bool, printed);
        QFETCH(QString, chosen);
        QFETCH(bool, confirm);
        QFETCH(QString, previous);
        QFETCH(QString, folder);
        InTemporaryFolder work;
        UiFixture f;
        const QString before = QDir::currentPath();
        f.program->pictureFolder = previous;
        f.program->dialogCancelIsFailure = printed;
        f.openFileDialog = [&](const FileDialogRequest &) -> std::optional<QString> {
            QDir::setCurrent("/"); // as a platform dialog may
            return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
        };
        f.dialogs.answers = {confirm ? MessageAnswer::Ok : MessageAnswer::Cancel};
        f.Item("mnuData")->trigger();
        QCOMPARE(f.dialogs.shown.size(), printed ? 0 : confirm ? 1 : 2);
        QCOMPARE(f.program->pictureFolder, folder);
        if (!printed) {
            QCOMPARE(QDir::currentPath(), before);
        }
    }

    void cancelledDialogOffersTheWorkingFolder() {
        InTemporaryFolder work;
        UiFixture f;
        f.dialogs.answers = {MessageAnswer::Ok};
        f.Item("mnuData")->trigger();
        QCOMPARE(f.program->pictureFolder, QDir::currentPath() + u'/');
        // Pictures are then found in that folder.
        SavePicture("U3.JPG", 30, 20, Qt::red, "JPG");
        AnswerPoem(f, 3);
        f.Click(f.BoardLabel("Label09"));
        QVERIFY(f.program->Viewer(PictureKind::Poem)->HasPicture());
    }
};

QTEST_MAIN(TestViewers)
#include "test_viewers.moc"

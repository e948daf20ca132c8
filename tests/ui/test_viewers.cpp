// SPDX-License-Identifier: MIT
// Beside the game: poem and poet pictures, the poem list, the picture folder.
#include "core/text_files.h"
#include "ui/folder_selection.h"
#include "ui/picture_viewer.h"
#include "ui/poem_list_window.h"
#include "ui/viewer_geometry.h"
#include "ui_fixture.h"

#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSettings>
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

QRgb CentrePixel(QWidget *viewer) {
    const QImage shot = viewer->grab().toImage();
    return shot.pixel(shot.width() / 2, shot.height() / 2);
}

} // namespace

class TestViewers : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareUiTests(); }

    void sizingArithmetic() {
        ViewerGeometry first;
        first.Open(10252.0f, 6000.0f, 4500.0f, false, true);
        QCOMPARE(first.outerWidth, 6127.0f);
        QCOMPARE(first.outerHeight, 4921.0f);
        QCOMPARE(first.pictureWidth, 6000.0f);
        QCOMPARE(first.pictureHeight, 4500.0f);

        ViewerGeometry open = first;
        open.SetOuterWidth(9000.0f);
        open.Open(9000.0f, 3000.0f, 6000.0f, true, true);
        QCOMPARE(open.outerWidth, 9000.0f);
        QCOMPARE(open.pictureWidth, 8873.0f);
        QCOMPARE(open.pictureHeight, 17746.0f);
        QCOMPARE(open.outerHeight, 18167.0f);

        // A drag of the border: the width leads, the height springs back.
        ViewerGeometry dragged = first;
        dragged.outerHeight = 9999.0f;
        dragged.SetOuterWidth(3127.0f);
        QCOMPARE(dragged.pictureWidth, 3000.0f);
        QCOMPARE(dragged.pictureHeight, 2250.0f);
        QCOMPARE(dragged.outerHeight, 2671.0f);

        ViewerGeometry minimized = first;
        minimized.normal = false;
        minimized.SetOuterWidth(3127.0f);
        QCOMPARE(minimized.pictureHeight, 2250.0f);
        QCOMPARE(minimized.outerHeight, 4921.0f);

        ViewerGeometry empty; // a picture without width never divides by zero
        empty.pictureHeight = 100.0f;
        empty.SetOuterWidth(500.0f);
        QCOMPARE(empty.pictureHeight, 100.0f);
    }

    void searchOrderAndCase() {
        QCOMPARE(PictureViewer::Candidates(QString(), PictureKind::Poem, 7),
                 (QStringList{"U7.BMP", "U7.GIF", "U7.JPG", "U7.JPEG"}));
        QCOMPARE(PictureViewer::Candidates(QStringLiteral("/p/"), PictureKind::Poet, 100).first(),
                 QStringLiteral("/p/A100.BMP"));
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 12);
        SavePicture("A12.JPG", 40, 30, Qt::red, "JPG");
        SavePicture("a12.bmp", 40, 30, Qt::blue, "BMP");
        SavePicture("u12.jpeg", 30, 40, Qt::green, "JPG");
        QTest::keyClick(&f.Board(), Qt::Key_A);
        PictureViewer *poet = f.program->Viewer(PictureKind::Poet);
        QVERIFY(poet && poet->isVisible());
        QCOMPARE(QFileInfo(poet->LoadedFile()).fileName(), QStringLiteral("a12.bmp"));
        QCOMPARE(QColor(CentrePixel(poet)), QColor(Qt::blue));
        QTest::keyClick(&f.Board(), Qt::Key_U);
        PictureViewer *poem = f.program->Viewer(PictureKind::Poem);
        QCOMPARE(QFileInfo(poem->LoadedFile()).fileName(), QStringLiteral("u12.jpeg"));
        QVERIFY(f.dialogs.shown.isEmpty());
        // Both open at once; closing the board closes both.
        QVERIFY(poet->isVisible() && poem->isVisible());
        f.Board().close();
        QVERIFY(!f.program->Viewer(PictureKind::Poet));
        QVERIFY(!f.program->Viewer(PictureKind::Poem));
    }

    void poemPictureOnlyOnceDecided() {
        InTemporaryFolder folder;
        UiFixture f;
        SavePicture("U1.GIF", 10, 10, Qt::red, "PNG");
        f.program->GameOpen();
        f.PressStart();
        f.Click(f.BoardLabel("Label09"));
        QTest::keyClick(&f.Board(), Qt::Key_U);
        QVERIFY(!f.program->Viewer(PictureKind::Poem));
        QVERIFY(f.dialogs.shown.isEmpty());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void firstOpeningAndReopening() {
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 30);
        SavePicture("U30.BMP", 400, 300, Qt::darkGreen, "BMP");
        f.Click(f.BoardLabel("Label09"));
        PictureViewer *viewer = f.program->Viewer(PictureKind::Poem);
        QCOMPARE(viewer->Geometry().outerWidth, 6127.0f);
        QCOMPARE(viewer->Geometry().outerHeight, 4921.0f);
        QCOMPARE(viewer->size(), QSize(400, 300));
        QCOMPARE(viewer->findChild<QLabel *>("Image1")->geometry(), QRect(0, 0, 400, 300));
        QCOMPARE(viewer->windowTitle(), QStringLiteral("歌について"));

        // The player makes it wider: the picture follows, the height springs back.
        viewer->resize(600, 123);
        QCOMPARE(viewer->size(), QSize(600, 450));
        // A taller picture in the open viewer keeps the width.
        SavePicture("U30.BMP", 200, 400, Qt::darkBlue, "BMP");
        f.Click(f.BoardLabel("Label28"));
        QCOMPARE(viewer->size(), QSize(600, 1200));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void missingAndBadPictures() {
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 5);
        f.Click(f.BoardLabel("Label38"));
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].text, QStringLiteral("作者ファイルがありません"));
        QCOMPARE(f.dialogs.shown[0].title, QStringLiteral("A画像"));
        PictureViewer *poet = f.program->Viewer(PictureKind::Poet);
        QVERIFY(poet && !poet->isVisible()); // created, but stays hidden

        // Not a picture, a truncated one and one claiming 100000 x 100000 pixels:
        // passed over without a message, the viewer shown without a picture.
        QByteArray bomb("BM");
        bomb += QByteArray(12, '\0');
        QByteArray header(40, '\0');
        header[0] = 40;
        qToLittleEndian<qint32>(100000, header.data() + 4);
        qToLittleEndian<qint32>(100000, header.data() + 8);
        header[12] = 1;
        header[14] = 24;
        bomb += header;
        // A new viewer without a picture takes its control's design size.
        WriteAll("A5.JPG", "not a picture");
        f.Click(f.BoardLabel("Label38"));
        QVERIFY(poet->isVisible() && !poet->HasPicture());
        QCOMPARE(poet->Geometry().pictureWidth, 9495.0f);
        QCOMPARE(poet->Geometry().outerWidth, 9495.0f + 127.0f);
        for (const QByteArray &bytes :
             {QByteArray("not a picture at all"), QByteArray("\xff\xd8\xff\xe0", 4), bomb}) {
            WriteAll("U5.BMP", bytes);
            f.dialogs.shown.clear();
            f.Click(f.BoardLabel("Label09"));
            QVERIFY(f.dialogs.shown.isEmpty());
            PictureViewer *poem = f.program->Viewer(PictureKind::Poem);
            QVERIFY(poem->isVisible());
            QVERIFY(!poem->HasPicture());
        }
        // A good picture, then one missing: the old picture stays and the message comes.
        SavePicture("U5.BMP", 60, 40, Qt::yellow, "BMP");
        f.Click(f.BoardLabel("Label09"));
        PictureViewer *poem = f.program->Viewer(PictureKind::Poem);
        QVERIFY(poem->HasPicture());
        QFile::remove("U5.BMP");
        f.dialogs.shown.clear();
        f.Click(f.BoardLabel("Label09"));
        QCOMPARE(f.dialogs.texts(), QStringList{"歌ファイルがありません"});
        QVERIFY(poem->HasPicture());
        QCOMPARE(QColor(CentrePixel(poem)), QColor(Qt::yellow));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // The build draws all two hundred pictures from the poem table.
    void generatedPictures() {
        QTemporaryDir out;
        QCOMPARE(QProcess::execute(QStringLiteral(MAKE_PICTURES), {out.path()}), 0);
        const QStringList files = QDir(out.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 200);
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
        SavePicture("ours/A5.JPG", 48, 64, Qt::green, "JPG");
        PictureViewer::SetSharedFolders({QDir::current().absoluteFilePath("ours") + u'/'});
        const auto restore = qScopeGuard([] { PictureViewer::SetSharedFolders({}); });
        UiFixture f;
        AnswerPoem(f, 5);
        f.Click(f.BoardLabel("Label09"));
        PictureViewer *poem = f.program->Viewer(PictureKind::Poem);
        QVERIFY(poem->LoadedFile().endsWith("ours/U5.JPG"));
        SavePicture("U5.BMP", 60, 40, Qt::yellow, "BMP");
        f.Click(f.BoardLabel("Label09"));
        QCOMPARE(poem->LoadedFile(), QStringLiteral("U5.BMP"));
        // A chosen folder replaces the working folder; ours still fill its gaps.
        f.program->pictureFolder = QDir::current().absoluteFilePath("chosen") + u'/';
        f.Click(f.BoardLabel("Label09"));
        QVERIFY(poem->LoadedFile().endsWith("ours/U5.JPG"));
        SavePicture("chosen/u5.jpeg", 60, 40, Qt::blue, "JPG");
        f.Click(f.BoardLabel("Label09"));
        QVERIFY(poem->LoadedFile().endsWith("chosen/u5.jpeg"));
        QVERIFY(f.dialogs.shown.isEmpty());
        QFile::remove("ours/A5.JPG");
        f.Click(f.BoardLabel("Label38"));
        QCOMPARE(f.dialogs.texts(), QStringList{"作者ファイルがありません"});
    }

    void closingAViewer() {
        InTemporaryFolder folder;
        UiFixture f;
        AnswerPoem(f, 9);
        SavePicture("A9.GIF", 20, 20, Qt::gray, "PNG");
        for (const int key : {int(Qt::Key_Return), int(Qt::Key_Escape)}) {
            f.Click(f.BoardLabel("Label38"));
            QPointer<PictureViewer> viewer = f.program->Viewer(PictureKind::Poet);
            QVERIFY(viewer->isVisible());
            QTest::keyClick(viewer, Qt::Key(key));
            QVERIFY(!viewer || !viewer->isVisible());
        }
        f.Click(f.BoardLabel("Label38"));
        PictureViewer *viewer = f.program->Viewer(PictureKind::Poet);
        auto *menu = viewer->findChild<QMenu *>("MENU_4");
        QCOMPARE(menu->title(), QStringLiteral("ボップアップメニュー"));
        viewer->findChild<QAction *>("MENU_41")->trigger();
        QVERIFY(!viewer->isVisible());
    }

    void poemListLines_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("two lines") << QByteArray("ab\r\ncd\r\n") << "ab\r\ncd\r\n";
        QTest::newRow("no line end at the end") << QByteArray("ab\r\ncd") << "ab\r\ncd\r\n";
        QTest::newRow("lone LF stays inside") << QByteArray("ab\ncd\r\n") << "ab\ncd\r\n";
        QTest::newRow("lone CR ends a line") << QByteArray("ab\rcd") << "ab\r\ncd\r\n";
        QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx") << "\r\n\r\nx\r\n";
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("Shift-JIS") << QByteArray::fromHex("8f4882cc9363") << "秋の田\r\n";
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
        QVERIFY(!list->isVisible());
        QCoreApplication::sendPostedEvents(nullptr,
                                           QEvent::DeferredDelete); // as the event loop would
        QVERIFY(!f.program->PoemList());

        WriteAll("ICHIRUN.TXT", QByteArray::fromHex("8f4882cc9363") + "\r\n2\r\n");
        f.Item("mnusum")->trigger();
        list = f.program->PoemList();
        QCOMPARE(list->Text(), QStringLiteral("秋の田\r\n2\r\n"));
        QCOMPARE(list->findChild<QPlainTextEdit *>("Text1")->toPlainText(),
                 QStringLiteral("秋の田\n2\n"));
        // Opened again while open: the file is not read again.
        WriteAll("ICHIRUN.TXT", "changed\r\n");
        f.Item("mnusum")->trigger();
        QCOMPARE(f.program->PoemList(), list);
        QCOMPARE(list->Text(), QStringLiteral("秋の田\r\n2\r\n"));
    }

    void hugePoemList() {
        InTemporaryFolder folder;
        QByteArray big;
        const QByteArray line = QByteArray::fromHex("8f4882cc9363") + "0123456789\r\n";
        while (big.size() < 9 * 1024 * 1024) {
            big += line;
        }
        WriteAll("ichirun.txt", big);
        UiFixture f;
        f.program->ShowPoemList();
        const QString text = f.program->PoemList()->Text();
        QVERIFY(text.endsWith(QStringLiteral("表示していません。）\r\n")));
        QVERIFY(!text.contains(QChar(0xFFFD)));
        QVERIFY(text.size() < 9 * 1024 * 1024);
    }

    void folderSelection_data() {
        QTest::addColumn<bool>("printed");
        QTest::addColumn<QString>("chosen"); // empty: the file dialog is cancelled
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("folder");
        QTest::newRow("ok")
            << false << "/pics/U1.BMP" << true << ""
            << QStringList{"歌、作者ファイルを読み出すフォルダを/pics/に設定します。"} << "/pics/";
        QTest::newRow("cancel, none before")
            << false << "/pics/U1.BMP" << false << ""
            << QStringList{"歌、作者ファイルを読み出すフォルダを/pics/に設定します。",
                           "歌、作者ファイルの設定フォルダを戻します。"}
            << "";
        QTest::newRow("cancel, one before")
            << false << "/new/x.gif" << false << "/old/"
            << QStringList{"歌、作者ファイルを読み出すフォルダを/new/に設定します。",
                           "歌、作者ファイルの設定フォルダを戻します。/old/"}
            << "/old/";
        QTest::newRow("root folder")
            << false << "/U1.BMP" << true << ""
            << QStringList{"歌、作者ファイルを読み出すフォルダを//に設定します。"} << "//";
        QTest::newRow("dialog cancelled after a print")
            << true << "" << true << "/old/" << QStringList{} << "/old/";
    }

    void folderSelection() {
        QFETCH(bool, printed);
        QFETCH(QString, chosen);
        QFETCH(bool, confirm);
        QFETCH(QString, previous);
        QFETCH(QStringList, messages);
        QFETCH(QString, folder);
        InTemporaryFolder work;
        UiFixture f;
        const QString before = QDir::currentPath();
        f.program->pictureFolder = previous;
        f.program->dialogCancelIsFailure = printed;
        FileDialogRequest asked;
        f.openFileDialog = [&](const FileDialogRequest &request) -> std::optional<QString> {
            asked = request;
            QDir::setCurrent("/"); // as a platform dialog may
            return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
        };
        f.dialogs.answers = {confirm ? MessageAnswer::Ok : MessageAnswer::Cancel};
        f.Item("mnuData")->trigger();
        QCOMPARE(asked.title.size(), 44);
        QCOMPARE(asked.title, FolderSelection::kTitle);
        QCOMPARE(f.dialogs.texts(), messages);
        for (const Message &m : f.dialogs.shown) {
            QCOMPARE(m.title, QStringLiteral("確認"));
        }
        QCOMPARE(f.program->pictureFolder, folder);
        if (!printed) {
            QCOMPARE(QDir::currentPath(), before);
        }
    }

    void cancelledDialogOffersTheWorkingFolder() {
        InTemporaryFolder work;
        UiFixture f;
        f.openFileDialog = [](const FileDialogRequest &) { return std::optional<QString>(); };
        f.dialogs.answers = {MessageAnswer::Ok};
        f.Item("mnuData")->trigger();
        QCOMPARE(f.program->pictureFolder, QDir::currentPath() + u'/');
        QVERIFY(f.dialogs.shown[0].buttons == MessageButtons::OkCancel);
        QStringList descriptions;
        for (const QString &filter : FolderSelection::Filters()) {
            descriptions.append(filter.section(u'"', 1, 1));
        }
        QCOMPARE(descriptions, (QStringList{"GIF Files (,*.GIF)", "JPG Files (*.JPG;*.JPEG)",
                                            "BMP Files (*.BMP)", "All Files (*.*)"}));
        // Pictures are then found in that folder.
        QDir().mkdir("pics");
        SavePicture("pics/U3.JPG", 30, 20, Qt::red, "JPG");
        f.program->pictureFolder = QDir::current().absoluteFilePath("pics") + u'/';
        AnswerPoem(f, 3);
        f.Click(f.BoardLabel("Label09"));
        QVERIFY(f.program->Viewer(PictureKind::Poem)->HasPicture());
    }
};

QTEST_MAIN(TestViewers)
#include "test_viewers.moc"

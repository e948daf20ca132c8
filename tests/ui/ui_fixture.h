// SPDX-License-Identifier: MIT
// The real program with fake time, timer and random source, and scripted boxes.
#pragma once

#include "fakes.h"
#include "ui/board/board_window.h"
#include "ui/shell/main_window.h"
#include "ui/shell/platform.h"
#include "ui/shell/program.h"
#include "ui/viewers/picture_viewer.h"

#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace nupew::testing {

// The folder of the window tests' own per-user settings.
inline QString SettingsFolder() {
    static QTemporaryDir settingsDir;
    return settingsDir.path();
}

// Gives the window tests a settings store of their own and the substituted fonts.
inline void PrepareUiTests() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, SettingsFolder());
    InstallFontSubstitutions();
    PictureViewer::SetSharedFolders({}); // the tests bring their own pictures
}

// Forgets the player's own options (出題範囲, 決まり字, 読み上げ): each test
// that changes them starts from the defaults without restoring by hand.
inline void ForgetPreferences() {
    QSettings store(QStringLiteral("nupew"), QStringLiteral("nupew"));
    store.clear();
    store.sync();
}

// How many pixels of `image` inside `area` pass `test`.
inline int Pixels(const QImage &image, QRect area, bool (*test)(QColor)) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += test(image.pixelColor(x, y));
        }
    }
    return count;
}

inline bool IsDark(QColor c) {
    return qGray(c.rgb()) < 100;
}

struct UiFixture {
    UiFixture() {
        seams.clock = &clock;
        seams.random = &random;
        seams.timer = &timer;
        seams.dateTime = [this] { return wallClock; };
        seams.messageHandler = [this](const Message &message) {
            return dialogs.ShowMessage(message);
        };
        seams.endApplication = [this] { ++ended; };
        seams.printerSetup = [this](QPrinter &printer) { return printerSetup(printer); };
        seams.openFileDialog = [this](const FileDialogRequest &request) {
            return openFileDialog(request);
        };
        seams.saveFileDialog = [this] { return saveFileDialog(); };
        program = std::make_unique<Program>(seams);
        program->Main();
        TitleScreen *title = program->Title();
        title->Timer()->stop();
        for (int tick = 0; tick < 25; ++tick) {
            title->Tick();
        }
    }
    ~UiFixture() {
        // Close what the test left open before the program goes away.
        for (QWidget *window : QApplication::topLevelWidgets()) {
            window->hide();
        }
    }

    BoardWindow &Board() { return program->Board(); }
    Game &game() { return program->GameState(); }
    template <typename T = QWidget> T *Child(QWidget &window, const QString &name) {
        T *child = window.findChild<T *>(name);
        if (!child) {
            qWarning("no child %s", qPrintable(name));
        }
        return child;
    }
    QWidget *BoardLabel(const QString &name) { return Child(Board(), name); }
    QString BoardText(const QString &name) { return Child<QLabel>(Board(), name)->text(); }
    void Click(QWidget *widget, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(widget, button, {}, widget->rect().center());
    }
    // A double-click as the window system sends it: press, release, press,
    // release, turned into a double-click by Qt itself.
    static void DoubleClick(QWidget *widget, QPoint pos = {}) {
        QWindow *window = widget->window()->windowHandle();
        QVERIFY(window);
        pos = pos.isNull() ? widget->rect().center() : pos;
        QTest::mouseDClick(window, Qt::LeftButton, {},
                           window->mapFromGlobal(widget->mapToGlobal(pos)));
    }
    void ClickCard(int card) { Click(BoardLabel(QStringLiteral("card%1").arg(card))); }
    void PressStart() { Click(Child<QPushButton>(Board(), QStringLiteral("startButton"))); }
    int RightCard() { return game().answerPosition() + 1; }
    int WrongCard() { return RightCard() % program->settings.cardCount + 1; }
    QColor CardColor(int card) {
        return BoardLabel(QStringLiteral("card%1").arg(card))->palette().color(QPalette::Window);
    }
    QAction *Item(const QString &name) { return program->Frame()->Item(name); }
    // Starts the next question and answers it three seconds later, after a wrong pick if asked.
    void Answer(bool wrongFirst = false) {
        PressStart();
        if (wrongFirst) {
            ClickCard(WrongCard());
        }
        clock.now += 3.0f;
        ClickCard(RightCard());
    }
    // Plays the five questions of a game with the reveal at its fastest, the
    // first `faults` with a wrong pick; `atEnd` runs on the box that ends it.
    void PlayGame(const std::function<void(QWidget *)> &atEnd, int faults = 0) {
        program->settings.revealDelay = 0;
        for (int question = 1; question <= 5; ++question) {
            if (question == 5) {
                OnModal(atEnd);
            }
            Answer(question <= faults);
        }
    }

    // Runs `action` on the next modal window that opens.
    static void OnModal(std::function<void(QWidget *)> action) {
        QTimer::singleShot(0, [action] {
            QWidget *modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            action(modal);
            if (QTest::currentTestFailed()) {
                modal->close(); // never leave a failed test waiting on a modal box
            }
        });
    }

    FakeClock clock;
    FakeRandom random;
    FakeTimer timer;
    FakeDialogs dialogs;
    // The date and time the program reads (answers, the drill's schedule).
    QDateTime wallClock{QDate(2026, 12, 6), QTime(20, 15, 0)};
    ProgramSeams seams;
    std::unique_ptr<Program> program;
    int ended = 0;
    // What the printer setup and the open-file dialog answer; both cancel unless set.
    std::function<bool(QPrinter &)> printerSetup = [](QPrinter &) { return false; };
    FolderSelection::OpenFile openFileDialog = [](const FileDialogRequest &) {
        return std::optional<QString>();
    };
    std::function<std::optional<QString>()> saveFileDialog = [] { return std::nullopt; };
};

} // namespace nupew::testing

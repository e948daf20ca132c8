// SPDX-License-Identifier: MIT
// Measures the start of the real program: process start to the title's first
// frame and to the main window, the title's own ticks apart, and the peak
// memory after a whole game with every window opened once.
#include "ui/board/board_window.h"
#include "ui/records/record_entry_box.h"
#include "ui/shell/main_window.h"
#include "ui/shell/platform.h"
#include "ui/shell/program.h"
#include "ui/shell/toolbar_dialog.h"
#include "ui/viewers/help_window.h"
#include "ui/viewers/poem_list_window.h"

#include "peak_memory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <unistd.h>

using namespace nupew;

namespace {

// Milliseconds since the process started, from the kernel's record of its start.
double SinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1.0;
    }
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// Notes the time of the first paint of a window.
class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget *window, const QElapsedTimer &clock, double offset)
        : clock_(clock), offset_(offset) {
        window->installEventFilter(this);
    }
    double at = -1.0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint && at < 0.0) {
            at = offset_ + double(clock_.nsecsElapsed()) / 1e6;
        }
        return false;
    }

private:
    const QElapsedTimer &clock_;
    double offset_;
};

void CpuModel() {
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : info.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                std::printf("machine: %s, %ld cores\n", line.mid(line.indexOf(':') + 2).constData(),
                            sysconf(_SC_NPROCESSORS_ONLN));
                return;
            }
        }
    }
}

} // namespace

int main(int argc, char *argv[]) {
    const double atMain = SinceProcessStart();
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    InstallTranslations(&app, QLocale(QLocale::Japanese));
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    ProgramSeams seams;
    seams.messageHandler = [](const Message &) { return MessageAnswer::Ok; };
    Program program(seams);
    program.Main();
    FirstPaint title(program.Title(), clock, atMain);
    FirstPaint main(program.Frame(), clock, atMain);
    double firstTick = -1.0;
    double lastTick = -1.0;
    QObject::connect(program.Title()->Timer(), &QTimer::timeout, [&] {
        const double now = atMain + double(clock.nsecsElapsed()) / 1e6;
        if (firstTick < 0.0) {
            firstTick = now;
        }
        lastTick = now;
    });
    const double titleShown = atMain + double(clock.nsecsElapsed()) / 1e6;
    while (main.at < 0.0 && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    CpuModel();
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("process start to main(): %.1f ms (kernel clock ticks of %ld ms)\n", atMain,
                1000 / sysconf(_SC_CLK_TCK));
    std::printf("process start to title screen's first frame: %.1f ms\n", title.at);
    std::printf("title's 25 ticks: %.1f ms from its start (nominal 250 ms, off by %.1f ms); "
                "first tick %.1f ms after the title was shown\n",
                lastTick - titleShown, lastTick - titleShown - 250.0, firstTick - titleShown);
    std::printf(
        "process start to main window's first frame: %.1f ms; after the 25th tick: %.1f ms\n",
        main.at, main.at - lastTick);

    // A whole game with every window opened once.
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    program.settings.revealDelay = 0;
    program.GameOpen();
    Game &game = program.GameState();
    for (int q = 1; q <= program.settings.questionCount; ++q) {
        game.StartQuestion();
        if (q == 1) {
            picture.save(QStringLiteral("U%1.JPG").arg(game.currentPoem()->number()));
            picture.save(QStringLiteral("A%1.BMP").arg(game.currentPoem()->number()));
        }
        emit program.Board().cardKeyPressed((game.answerPosition() + 1) % 8 + 1);
        if (q == program.settings.questionCount) {
            QTimer::singleShot(0, [] {
                QWidget *box = QApplication::activeModalWidget();
                box->findChild<QLineEdit *>(QStringLiteral("nameField"))
                    ->setText(QStringLiteral("計測"));
                box->findChild<QPushButton *>(QStringLiteral("registerButton"))->click();
            });
        }
        emit program.Board().cardKeyPressed(game.answerPosition() + 1);
        if (q == 1) {
            program.OpenPicture(PictureKind::Poem);
            program.OpenPicture(PictureKind::Poet);
        }
    }
    program.ShowPoemList();
    program.HelpContents();
    {
        ToolbarDialog dialog(*program.Frame());
        dialog.show();
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    std::printf("peak RSS after a whole game with every window opened: %.1f MiB\n",
                double(PeakRssKiB()) / 1024.0);
    return 0;
}

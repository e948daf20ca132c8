// SPDX-License-Identifier: MIT
// Warnings that answer no command of the player's (the history's, the
// per-user files', the voice's): each shown once, after the main window is
// up, never over another box.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace nupew {

class Notices final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Notices)
public:
    // `ready`: whether a warning may be shown now (the main window is up);
    // `show`: shows one, as a modal box.
    Notices(std::function<bool()> ready, std::function<void(const QString &)> show);

    // Shows the text once, now or as soon as it may be shown.
    void Tell(const QString &text);
    // Shows what waited, when it may be shown.
    void ShowWaiting();
    // Nothing more is shown: the program is ending.
    void Stop() { stopped_ = true; }

    // Counts our boxes open while it lives; a warning that waited is shown
    // as soon as the last one has closed.
    class BoxOpen final {
    public:
        explicit BoxOpen(Notices &notices);
        ~BoxOpen();
        BoxOpen(const BoxOpen &) = delete;
        BoxOpen &operator=(const BoxOpen &) = delete;

    private:
        Notices &notices_;
    };

private:
    std::function<bool()> ready_;
    std::function<void(const QString &)> show_;
    QStringList waiting_;
    QTimer retry_;
    int boxesOpen_ = 0;
    bool stopped_ = false;
};

} // namespace nupew

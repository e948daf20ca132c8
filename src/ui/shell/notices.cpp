// SPDX-License-Identifier: MIT
// Warnings shown once, when no other box is open.
#include "ui/shell/notices.h"

#include <QApplication>

namespace nupew {

Notices::Notices(std::function<bool()> ready, std::function<void(const QString &)> show)
    : ready_(std::move(ready)), show_(std::move(show)) {
    retry_.setSingleShot(true);
    retry_.setInterval(200);
    connect(&retry_, &QTimer::timeout, this, &Notices::ShowWaiting);
}

void Notices::Tell(const QString &text) {
    if (!waiting_.contains(text)) {
        waiting_.append(text);
    }
    ShowWaiting();
}

void Notices::ShowWaiting() {
    // Never over another box: the player finishes with that one first.
    if (waiting_.isEmpty() || stopped_) {
        return;
    }
    if (!ready_() || boxesOpen_ > 0 || QApplication::activeModalWidget()) {
        retry_.start();
        return;
    }
    show_(waiting_.takeFirst());
    if (!waiting_.isEmpty()) {
        retry_.start();
    }
}

Notices::BoxOpen::BoxOpen(Notices &notices) : notices_(notices) {
    ++notices_.boxesOpen_;
}

Notices::BoxOpen::~BoxOpen() {
    if (--notices_.boxesOpen_ == 0 && !notices_.waiting_.isEmpty()) {
        QTimer::singleShot(0, &notices_, &Notices::ShowWaiting);
    }
}

} // namespace nupew

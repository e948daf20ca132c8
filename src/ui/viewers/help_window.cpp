// SPDX-License-Identifier: MIT
// The help window: Japanese help pages with back and forward.
#include "ui/viewers/help_window.h"

#include "ui/shell/platform.h"
#include "version.h"

#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace nupew {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("タワユ ヘルプ"));
    setWindowIcon(Picture(QStringLiteral("tool8")));
    resize(560, 480);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setSearchPaths({QStringLiteral(":/help")});
    browser_->setFont(NamedFont(kPGothic, 11));

    auto *bar = new QToolBar(this);
    QAction *back = bar->addAction(tr("← 戻る"), browser_, &QTextBrowser::backward);
    back->setObjectName(QStringLiteral("helpBack"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    QAction *forward = bar->addAction(tr("進む →"), browser_, &QTextBrowser::forward);
    forward->setObjectName(QStringLiteral("helpForward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    bar->addAction(tr("目次"), this, [this] { ShowPage(QStringLiteral("index")); })
        ->setObjectName(QStringLiteral("helpContents"));
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        // The contents page is titled with the help's own name; say that once.
        const QString page = browser_->documentTitle();
        const QString help = tr("タワユ ヘルプ");
        setWindowTitle(page.startsWith(help) ? page : help + QStringLiteral(" - ") + page);
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_);
}

void HelpWindow::ShowPage(const QString &page) {
    browser_->setSource(QUrl(QStringLiteral("qrc:/help/%1.html").arg(page)));
}

QString HelpWindow::CurrentPage() const {
    return browser_->source().fileName().section(u'.', 0, 0);
}

Message HelpWindow::VersionMessage() {
    return {tr("      タワユかるたとりゲーム\n"
               "              「　ぬ　ぺ　」\n"
               "                 Ver. %1\n"
               "      作: Nupew プロジェクト (MIT ライセンス)")
                .arg(LongVersion()),
            tr(" バージョン情報"), MessageButtons::Ok, MessageIcon::None, true};
}

} // namespace nupew

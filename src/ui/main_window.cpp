// SPDX-License-Identifier: MIT
// The main window (MDIForm1): the menu bar and the toolbar.
#include "ui/main_window.h"

#include "ui/platform.h"
#include "ui/program.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QSettings>
#include <QToolBar>

namespace nupew {
namespace {

struct ToolButton {
    const char *key;
    int picture; // 0 for a separator
    const char *tip;
    const char *item;
};

constexpr std::array<ToolButton, 9> kToolButtons = {{
    {"toku01", 1, "ゲーム開始", "gameOpen"},
    {"toku02", 2, "ゲーム終了", "gameClose"},
    {"toku03", 0, "", ""},
    {"toku04", 4, "成績表示", "mnumil"},
    {"toku05", 5, "成績初期化", "mnushoki"},
    {"toku06", 0, "", ""},
    {"toku07", 7, "タワユ一覧", "mnusum"},
    {"toku08", 8, "ヘルプ", "mnuhelp0"},
    {"toku09", 0, "", ""},
}};

QMenu *SubMenu(QWidget *parent, QMenu *owner, const QString &name, const QString &caption) {
    auto *menu = new QMenu(caption, parent);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    if (owner) {
        owner->addMenu(menu);
    }
    return menu;
}

void Separator(QMenu *menu, const QString &name) {
    menu->addSeparator()->setObjectName(name);
}

} // namespace

MainWindow::MainWindow(Program &program) : program_(program) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("タワユ"));
    setWindowIcon(Picture(QStringLiteral("leaf")));
    auto *client = new QWidget(this);
    SetColor(client, QPalette::Window, QColor(128, 128, 128));
    setCentralWidget(client);
    BuildMenus();
    BuildToolbar();
    resize(Px(9525), Px(kFrameHeightWithToolbar));
}

QAction *MainWindow::Add(QMenu *menu, const QString &name, const QString &caption,
                         void (Program::*slot)()) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, &program_, slot);
    return action;
}

QAction *MainWindow::AddSetting(QMenu *menu, const QString &name, const QString &caption,
                                qint16 *setting, qint16 value) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this,
            [this, setting, value] { program_.ChangeSetting(*setting, value); });
    return action;
}

void MainWindow::BuildMenus() {
    Settings &s = program_.settings;
    QMenuBar *bar = menuBar();

    QMenu *game = SubMenu(this, nullptr, QStringLiteral("game"), QStringLiteral("ゲーム(&S)"));
    bar->addMenu(game);
    Add(game, QStringLiteral("gameOpen"), QStringLiteral("ゲーム開始(&B)"), &Program::GameOpen);
    Add(game, QStringLiteral("gameClose"), QStringLiteral("ゲーム終了(&E)"), &Program::GameClose);
    Separator(game, QStringLiteral("mnuaa11"));
    QAction *close =
        Add(game, QStringLiteral("close"), QStringLiteral("終了(&Q)"), &Program::CloseProgram);
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu *display =
        SubMenu(this, nullptr, QStringLiteral("hyoSettei"), QStringLiteral("表示設定(&V)"));
    bar->addMenu(display);
    QMenu *upper = SubMenu(this, display, QStringLiteral("kami"), QStringLiteral("上の句(&U)"));
    AddSetting(upper, QStringLiteral("kamiKanji"), QStringLiteral("漢字(&K)"), &s.upperTextMode, 0);
    AddSetting(upper, QStringLiteral("kamikana"), QStringLiteral("かな(&H)"), &s.upperTextMode, 2);
    Separator(display, QStringLiteral("mnuaa12"));
    QMenu *lower = SubMenu(this, display, QStringLiteral("shimo"), QStringLiteral("下の句(&D)"));
    AddSetting(lower, QStringLiteral("shimoKanji"), QStringLiteral("漢字(&K)"), &s.lowerTextMode,
               0);
    AddSetting(lower, QStringLiteral("shimoKana"), QStringLiteral("かな(&H)"), &s.lowerTextMode, 2);

    QMenu *special =
        SubMenu(this, nullptr, QStringLiteral("tokuSettei"), QStringLiteral("特別設定(&T)"));
    bar->addMenu(special);
    QMenu *count = SubMenu(this, special, QStringLiteral("monSuu"), QStringLiteral("問題数(&M)"));
    AddSetting(count, QStringLiteral("mon5"), QStringLiteral("　 ５(&A)"), &s.questionCount, 5);
    AddSetting(count, QStringLiteral("mon10"), QStringLiteral("　１０(&B)"), &s.questionCount, 10);
    AddSetting(count, QStringLiteral("mon20"), QStringLiteral("　２０(&C)"), &s.questionCount, 20);
    AddSetting(count, QStringLiteral("mon50"), QStringLiteral("　５０(&D)"), &s.questionCount, 50);
    AddSetting(count, QStringLiteral("mon100"), QStringLiteral("１００(&E)"), &s.questionCount,
               100);
    QMenu *speed =
        SubMenu(this, special, QStringLiteral("soku"), QStringLiteral("上の句表示速度(&S)"));
    AddSetting(speed, QStringLiteral("soku1"), QStringLiteral("速い(&A)"), &s.revealDelay, 0);
    AddSetting(speed, QStringLiteral("soku2"), QStringLiteral("やや速い(&B)"), &s.revealDelay, 2);
    AddSetting(speed, QStringLiteral("soku3"), QStringLiteral("普通(&C)"), &s.revealDelay, 4);
    AddSetting(speed, QStringLiteral("soku4"), QStringLiteral("ややゆっくり(&D)"), &s.revealDelay,
               6);
    AddSetting(speed, QStringLiteral("soku5"), QStringLiteral("ゆっくり(&E)"), &s.revealDelay, 8);
    QMenu *faults =
        SubMenu(this, special, QStringLiteral("oteSuu"), QStringLiteral("おてつき限度数(&O)"));
    AddSetting(faults, QStringLiteral("ote1"), QStringLiteral("　１(&A)"), &s.faultLimit, 1);
    AddSetting(faults, QStringLiteral("ote5"), QStringLiteral("　５(&B)"), &s.faultLimit, 5);
    AddSetting(faults, QStringLiteral("ote10"), QStringLiteral("１０(&C)"), &s.faultLimit, 10);
    AddSetting(faults, QStringLiteral("ote20"), QStringLiteral("２０(&D)"), &s.faultLimit, 20);
    AddSetting(faults, QStringLiteral("oteNo"), QStringLiteral("なし(&E)"), &s.faultLimit, 999);
    Separator(special, QStringLiteral("mna13a"));
    Add(special, QStringLiteral("mnuseki"), QStringLiteral("設定の保存(&k)"),
        &Program::SaveSettings);
    Add(special, QStringLiteral("mnushokise"), QStringLiteral("初期設定に戻す(&R)"),
        &Program::RestoreDefaultSettings);

    QMenu *records = SubMenu(this, nullptr, QStringLiteral("mnuki"), QStringLiteral("記録(&D)"));
    bar->addMenu(records);
    Add(records, QStringLiteral("mnumil"), QStringLiteral("記録を見る(&V)"), &Program::ViewRecords);
    Add(records, QStringLiteral("mnushoki"), QStringLiteral("初期化(&R)"), &Program::ResetRecords);
    Separator(records, QStringLiteral("mna13"));
    Add(records, QStringLiteral("mnuKiroku"), QStringLiteral("記録印刷"),
        &Program::PrintRecordsMenu);

    QMenu *options =
        SubMenu(this, nullptr, QStringLiteral("mnuop"), QStringLiteral("オプション(&O)"));
    bar->addMenu(options);
    Add(options, QStringLiteral("mnuData"), QStringLiteral("ﾃﾞｰﾀ（歌）読み出しﾌｫﾙﾀﾞの設定(&F)"),
        &Program::SelectPictureFolder);
    Separator(options, QStringLiteral("mna141"));
    QAction *toggle = options->addAction(QStringLiteral("ツールバーの表示(&V)"));
    toggle->setObjectName(QStringLiteral("mnutov"));
    toggle->setCheckable(true);
    toggle->setChecked(true);
    // The check mark follows the toolbar; only ToggleToolbar changes it.
    connect(toggle, &QAction::triggered, this, [this, toggle] {
        toggle->setChecked(!toggle->isChecked());
        ToggleToolbar();
    });
    Add(options, QStringLiteral("mnutoc"), QStringLiteral("ツールバーの変更(&T)"),
        &Program::CustomiseToolbar);
    Separator(options, QStringLiteral("mna14"));
    Add(options, QStringLiteral("mnusum"), QStringLiteral("タワユ一覧(&S)"),
        &Program::ShowPoemList);

    QMenu *help = SubMenu(this, nullptr, QStringLiteral("mnuhelp"), QStringLiteral("ヘルプ(&H)"));
    bar->addMenu(help);
    Add(help, QStringLiteral("mnuhelp0"), QStringLiteral("目次(&C)"), &Program::HelpContents);
    Add(help, QStringLiteral("mnuhelp1"), QStringLiteral("ヘルプの使い方(&H)"),
        &Program::HelpOnHelp);
    Separator(help, QStringLiteral("mnua"));
    Add(help, QStringLiteral("mnuver"), QStringLiteral("バージョン情報(&V)"),
        &Program::ShowVersion);
}

void MainWindow::BuildToolbar() {
    toolbar_ = new QToolBar(QStringLiteral("Toolbar1"), this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setFixedHeight(Px(420));
    toolbar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, toolbar_);
    for (const ToolButton &button : kToolButtons) {
        QAction *action = nullptr;
        if (button.picture == 0) {
            action = new QAction(this);
            action->setSeparator(true);
        } else {
            action = new QAction(Picture(QStringLiteral("tool%1").arg(button.picture)),
                                 QString::fromUtf8(button.tip), this);
            action->setToolTip(QString::fromUtf8(button.tip));
            QAction *item = Item(QString::fromLatin1(button.item));
            connect(action, &QAction::triggered, item, &QAction::trigger);
        }
        action->setObjectName(QString::fromLatin1(button.key));
        toolActions_.append(action);
    }
    SetArrangement(BuiltInArrangement());
}

QAction *MainWindow::Item(const QString &name) const {
    return findChild<QAction *>(name);
}

QStringList MainWindow::BuiltInArrangement() {
    QStringList keys;
    for (const ToolButton &button : kToolButtons) {
        keys.append(QString::fromLatin1(button.key));
    }
    return keys;
}

QStringList MainWindow::Arrangement() const {
    QStringList keys;
    for (QAction *action : toolbar_->actions()) {
        keys.append(action->objectName());
    }
    return keys;
}

void MainWindow::SetArrangement(const QStringList &keys) {
    toolbar_->clear();
    for (const QString &key : keys) {
        for (QAction *action : toolActions_) {
            if (action->objectName() == key) {
                toolbar_->addAction(action);
            }
        }
    }
}

void MainWindow::SaveArrangement() const {
    QSettings store(QStringLiteral("TEMP11"), QStringLiteral("MyToolbar1"));
    store.setValue(QStringLiteral("True11"), Arrangement().join(u','));
}

void MainWindow::RestoreArrangement() {
    const QSettings store(QStringLiteral("TEMP11"), QStringLiteral("MyToolbar1"));
    const QVariant value = store.value(QStringLiteral("True11"));
    if (!value.isValid() || value.typeId() != QMetaType::QString) {
        return; // nothing saved yet, or not ours: the toolbar stays as it is
    }
    const QStringList keys = value.toString().split(u',', Qt::SkipEmptyParts);
    const QStringList known = BuiltInArrangement();
    if (keys.size() > known.size() ||
        QSet<QString>(keys.begin(), keys.end()).size() != keys.size()) {
        return;
    }
    for (const QString &key : keys) {
        if (!known.contains(key)) {
            return;
        }
    }
    SetArrangement(keys);
}

void MainWindow::ToggleToolbar() {
    QAction *view = Item(QStringLiteral("mnutov"));
    QAction *customise = Item(QStringLiteral("mnutoc"));
    if (!toolbar_->isHidden()) {
        toolbar_->hide();
        customise->setEnabled(false);
        view->setChecked(false);
        SetOuterHeight(kFrameHeightWithoutToolbar);
    } else {
        toolbar_->show();
        view->setChecked(true);
        customise->setEnabled(true);
        SetOuterHeight(kFrameHeightWithToolbar);
    }
}

void MainWindow::SetOuterHeight(int twips) {
    outerTwips_ = twips;
    // The frame is known only once a window manager has framed the window.
    const int frame = frameGeometry().height() - geometry().height();
    const int client = std::max(Px(twips) - std::max(frame, 0), menuBar()->sizeHint().height());
    setFixedHeight(client);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    // Any close request ends the program at once, with no question asked.
    event->accept();
    program_.Quit();
}

bool MainWindow::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) {
        RestoreArrangement();
        SetOuterHeight(outerTwips_);
    }
    return QMainWindow::event(event);
}

} // namespace nupew

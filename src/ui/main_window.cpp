// SPDX-License-Identifier: MIT
// The main window (MDIForm1): the menu bar and the toolbar.
#include "ui/main_window.h"

#include "ui/platform.h"
#include "ui/program.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QSettings>

#include "core/safe_files.h"
#include <QToolBar>
#include <algorithm>
#include <array>

namespace nupew {
namespace {

// Every action of the main window in one table, in menu order: the menus with
// their items, and for a toolbar button its key, picture and tool tip. Rows
// go in depth first; a row of depth d belongs to the last menu of depth d - 1.
enum class Kind {
    Menu,          // a menu (depth 0: in the menu bar)
    Item,          // runs a handler of the program
    Setting,       // sets a setting to a value
    Toggle,        // shows or hides the toolbar, with a check mark
    Option,        // runs a handler that turns an option on or off, with a check mark
    Separator,     // a line in a menu
    ToolSeparator, // a gap on the toolbar only
};

struct ActionRow {
    Kind kind;
    int depth;
    const char *name;
    const char *caption = "";
    void (Program::*handler)() = nullptr;
    qint16 Settings::*setting = nullptr;
    qint16 value = 0;
    QKeyCombination shortcut = {};
    const char *toolKey = nullptr; // toku01..toku09: the toolbar's order
    int picture = 0;
    const char *tip = "";
    bool extraTool = false; // a button the player may add; not on the toolbar at first
};

// clang-format off
const ActionRow kActions[] = {
    {Kind::Menu, 0, "game", "ゲーム(&S)"},
    {Kind::Item, 1, "gameOpen", "ゲーム開始(&B)", &Program::GameOpen, {}, 0, {}, "toku01", 1, "ゲーム開始"},
    {Kind::Item, 1, "gameClose", "ゲーム終了(&E)", &Program::GameClose, {}, 0, {}, "toku02", 2, "ゲーム終了"},
    {Kind::Separator, 1, "mnuaa11"},
    {Kind::Item, 1, "close", "終了(&Q)", &Program::CloseProgram, {}, 0, Qt::CTRL | Qt::Key_X},
    {Kind::Menu, 0, "hyoSettei", "表示設定(&V)"},
    {Kind::Menu, 1, "kami", "上の句(&U)"},
    {Kind::Setting, 2, "kamiKanji", "漢字(&K)", {}, &Settings::upperTextMode, 0},
    {Kind::Setting, 2, "kamikana", "かな(&H)", {}, &Settings::upperTextMode, 2},
    {Kind::Separator, 1, "mnuaa12"},
    {Kind::Menu, 1, "shimo", "下の句(&D)"},
    {Kind::Setting, 2, "shimoKanji", "漢字(&K)", {}, &Settings::lowerTextMode, 0},
    {Kind::Setting, 2, "shimoKana", "かな(&H)", {}, &Settings::lowerTextMode, 2},
    {Kind::Separator, 1, "mnuaa13"},
    {Kind::Option, 1, "kimariji", "決まり字を表示(&K)", &Program::ToggleDecisive},
    {Kind::Menu, 1, "readAloudMenu", "読み上げ(&Y)"},
    {Kind::Option, 2, "readAloud", "読み上げる(&R)", &Program::ToggleReadAloud},
    {Kind::Option, 2, "readRecited", "競技の読み方(&C)", &Program::ToggleRecited},
    {Kind::Option, 2, "readLower", "下の句も読む(&L)", &Program::ToggleReadLower},
    {Kind::Option, 2, "readOpening", "ゲームの始めに序歌を読む(&J)", &Program::ToggleOpening},
    {Kind::Menu, 0, "tokuSettei", "特別設定(&T)"},
    {Kind::Menu, 1, "monSuu", "問題数(&M)"},
    {Kind::Setting, 2, "mon5", "　 ５(&A)", {}, &Settings::questionCount, 5},
    {Kind::Setting, 2, "mon10", "　１０(&B)", {}, &Settings::questionCount, 10},
    {Kind::Setting, 2, "mon20", "　２０(&C)", {}, &Settings::questionCount, 20},
    {Kind::Setting, 2, "mon50", "　５０(&D)", {}, &Settings::questionCount, 50},
    {Kind::Setting, 2, "mon100", "１００(&E)", {}, &Settings::questionCount, 100},
    {Kind::Menu, 1, "soku", "上の句表示速度(&S)"},
    {Kind::Setting, 2, "soku1", "速い(&A)", {}, &Settings::revealDelay, 0},
    {Kind::Setting, 2, "soku2", "やや速い(&B)", {}, &Settings::revealDelay, 2},
    {Kind::Setting, 2, "soku3", "普通(&C)", {}, &Settings::revealDelay, 4},
    {Kind::Setting, 2, "soku4", "ややゆっくり(&D)", {}, &Settings::revealDelay, 6},
    {Kind::Setting, 2, "soku5", "ゆっくり(&E)", {}, &Settings::revealDelay, 8},
    {Kind::Menu, 1, "oteSuu", "おてつき限度数(&O)"},
    {Kind::Setting, 2, "ote1", "　１(&A)", {}, &Settings::faultLimit, 1},
    {Kind::Setting, 2, "ote5", "　５(&B)", {}, &Settings::faultLimit, 5},
    {Kind::Setting, 2, "ote10", "１０(&C)", {}, &Settings::faultLimit, 10},
    {Kind::Setting, 2, "ote20", "２０(&D)", {}, &Settings::faultLimit, 20},
    {Kind::Setting, 2, "oteNo", "なし(&E)", {}, &Settings::faultLimit, kNoFaultLimit},
    {Kind::Item, 1, "mnuRange", "出題範囲(&P)...", &Program::ChoosePractice},
    {Kind::Separator, 1, "mna13a"},
    {Kind::Item, 1, "mnuseki", "設定の保存(&k)", &Program::SaveSettings},
    {Kind::Item, 1, "mnushokise", "初期設定に戻す(&R)", &Program::RestoreDefaultSettings},
    {Kind::Menu, 0, "mnuki", "記録(&D)"},
    {Kind::ToolSeparator, 1, "", "", {}, {}, 0, {}, "toku03"},
    {Kind::Item, 1, "mnumil", "記録を見る(&V)", &Program::ViewRecords, {}, 0, {}, "toku04", 4, "成績表示"},
    {Kind::Item, 1, "mnushoki", "初期化(&R)", &Program::ResetRecords, {}, 0, {}, "toku05", 5, "成績初期化"},
    {Kind::ToolSeparator, 1, "", "", {}, {}, 0, {}, "toku06"},
    {Kind::Separator, 1, "mna13"},
    {Kind::Item, 1, "mnuKiroku", "記録印刷", &Program::PrintRecordsMenu},
    {Kind::Separator, 1, "mna13b"},
    {Kind::Item, 1, "mnuStats", "成績の分析(&A)", &Program::ShowStatistics, {}, 0, {}, "toku10", 10, "成績の分析", true},
    {Kind::Menu, 0, "mnuop", "オプション(&O)"},
    {Kind::Item, 1, "mnuData", "ﾃﾞｰﾀ（歌）読み出しﾌｫﾙﾀﾞの設定(&F)", &Program::SelectPictureFolder},
    {Kind::Separator, 1, "mna141"},
    {Kind::Toggle, 1, "mnutov", "ツールバーの表示(&V)"},
    {Kind::Item, 1, "mnutoc", "ツールバーの変更(&T)", &Program::CustomiseToolbar},
    {Kind::Separator, 1, "mna14"},
    {Kind::Item, 1, "mnusum", "タワユ一覧(&S)", &Program::ShowPoemList, {}, 0, {}, "toku07", 7, "タワユ一覧"},
    {Kind::Menu, 0, "mnuhelp", "ヘルプ(&H)"},
    {Kind::Item, 1, "mnuhelp0", "目次(&C)", &Program::HelpContents, {}, 0, {}, "toku08", 8, "ヘルプ"},
    {Kind::ToolSeparator, 1, "", "", {}, {}, 0, {}, "toku09"},
    {Kind::Item, 1, "mnuhelp1", "ヘルプの使い方(&H)", &Program::HelpOnHelp},
    {Kind::Separator, 1, "mnua"},
    {Kind::Item, 1, "mnuver", "バージョン情報(&V)", &Program::ShowVersion},
};
// clang-format on

QMenu *SubMenu(QWidget *parent, QMenu *owner, const QString &name, const QString &caption) {
    auto *menu = new QMenu(caption, parent);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    if (owner) {
        owner->addMenu(menu);
    }
    return menu;
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

void MainWindow::BuildMenus() {
    std::array<QMenu *, 3> open{}; // the menu of each depth that rows go into
    for (const ActionRow &row : kActions) {
        const QString name = QString::fromLatin1(row.name);
        const QString caption = QString::fromUtf8(row.caption);
        QMenu *owner = row.depth > 0 ? open[row.depth - 1] : nullptr;
        QAction *action = nullptr;
        switch (row.kind) {
        case Kind::Menu:
            open[row.depth] = SubMenu(this, owner, name, caption);
            if (!owner) {
                menuBar()->addMenu(open[row.depth]);
            }
            continue;
        case Kind::ToolSeparator:
            continue;
        case Kind::Separator:
            owner->addSeparator()->setObjectName(name);
            continue;
        case Kind::Item:
            action = owner->addAction(caption);
            connect(action, &QAction::triggered, &program_, row.handler);
            break;
        case Kind::Setting:
            action = owner->addAction(caption);
            connect(action, &QAction::triggered, this,
                    [this, setting = row.setting, value = row.value] {
                        program_.ChangeSetting(program_.settings.*setting, value);
                    });
            break;
        case Kind::Option:
            action = owner->addAction(caption);
            action->setCheckable(true);
            // The handler flips the option and sets the check mark to match it.
            connect(action, &QAction::triggered, &program_, row.handler);
            break;
        case Kind::Toggle:
            action = owner->addAction(caption);
            action->setCheckable(true);
            action->setChecked(true);
            // The check mark follows the toolbar; only ToggleToolbar changes it.
            connect(action, &QAction::triggered, this, [this, action] {
                action->setChecked(!action->isChecked());
                ToggleToolbar();
            });
            break;
        }
        action->setObjectName(name);
        if (row.shortcut != QKeyCombination()) {
            action->setShortcut(QKeySequence(row.shortcut));
        }
    }
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
    for (const QString &key : AllTools()) {
        const ActionRow &row =
            *std::find_if(std::begin(kActions), std::end(kActions), [&key](const ActionRow &r) {
                return r.toolKey && key == QLatin1String(r.toolKey);
            });
        QAction *action = nullptr;
        if (row.kind == Kind::ToolSeparator) {
            action = new QAction(this);
            action->setSeparator(true);
        } else {
            const QString tip = QString::fromUtf8(row.tip);
            action = new QAction(Picture(QStringLiteral("tool%1").arg(row.picture)), tip, this);
            action->setToolTip(tip);
            connect(action, &QAction::triggered, Item(QString::fromLatin1(row.name)),
                    &QAction::trigger);
        }
        action->setObjectName(key);
        toolActions_.append(action);
    }
    SetArrangement(BuiltInArrangement());
}

QAction *MainWindow::Item(const QString &name) const {
    return findChild<QAction *>(name);
}

QStringList MainWindow::BuiltInArrangement() {
    QStringList keys;
    for (const ActionRow &row : kActions) {
        if (row.toolKey && !row.extraTool) {
            keys.append(QString::fromLatin1(row.toolKey));
        }
    }
    keys.sort(); // toku01, toku02, …: the keys number the built-in order
    return keys;
}

QStringList MainWindow::AllTools() {
    QStringList keys = BuiltInArrangement();
    for (const ActionRow &row : kActions) {
        if (row.toolKey && row.extraTool) {
            keys.append(QString::fromLatin1(row.toolKey));
        }
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

QString MainWindow::SaveArrangement() const {
    if (QString problem = CheckSettingsFiles(kToolbarStore, kToolbarFile); !problem.isEmpty()) {
        return problem;
    }
    QSettings store(kToolbarStore, kToolbarFile);
    store.setValue(QStringLiteral("True11"), Arrangement().join(u','));
    store.sync();
    if (store.status() != QSettings::NoError) {
        return QStringLiteral("%1 に書き込めません").arg(store.fileName());
    }
    return {};
}

void MainWindow::RestoreArrangement() {
    if (!CheckSettingsFiles(kToolbarStore, kToolbarFile).isEmpty()) {
        return; // never opened; the program tells the player at start-up
    }
    const QSettings store(kToolbarStore, kToolbarFile);
    const QVariant value = store.value(QStringLiteral("True11"));
    if (!value.isValid() || value.typeId() != QMetaType::QString) {
        return; // nothing saved yet, or not ours: the toolbar stays as it is
    }
    const QStringList keys = value.toString().split(u',', Qt::SkipEmptyParts);
    const QStringList known = AllTools();
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

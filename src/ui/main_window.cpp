// SPDX-License-Identifier: MIT
// The main window: the menu bar and the toolbar.
#include "ui/main_window.h"

#include "ui/platform.h"

#include <QCloseEvent>
#include <QMenuBar>
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
    Item,          // asks for a command
    Setting,       // sets a setting to a value
    Toggle,        // shows or hides the toolbar, with a check mark
    Option,        // asks to turn an option on or off; the check mark follows SetOption
    Separator,     // a line in a menu
    ToolSeparator, // a gap on the toolbar only
};

struct ActionRow {
    Kind kind;
    int depth;
    const char *name;
    const char *caption = "";
    Command command = Command::NewGame;
    SettingField setting = SettingField::QuestionCount;
    qint16 value = 0;
    QKeyCombination shortcut = {};
    const char *toolKey = nullptr; // the button's key in the stored arrangement
    int picture = 0;
    const char *tip = "";
    bool extraTool = false; // a button the player may add; not on the toolbar at first
};

// Captions and tool tips are translated where they are shown.
// clang-format off
const ActionRow kActions[] = {
    {Kind::Menu, 0, "gameMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム(&S)")},
    {Kind::Item, 1, "newGame", QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム開始(&B)"), Command::NewGame, {}, 0, {}, "newGameTool", 1, QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム開始")},
    {Kind::Item, 1, "closeBoard", QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム終了(&E)"), Command::CloseBoard, {}, 0, {}, "closeBoardTool", 2, QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム終了")},
    {Kind::Separator, 1, "gameSeparator"},
    {Kind::Item, 1, "quit", QT_TRANSLATE_NOOP("nupew::MainWindow", "終了(&Q)"), Command::Quit, {}, 0, Qt::CTRL | Qt::Key_X},
    {Kind::Menu, 0, "displayMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "表示設定(&V)")},
    {Kind::Menu, 1, "upperVerseMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "上の句(&U)")},
    {Kind::Setting, 2, "upperKanji", QT_TRANSLATE_NOOP("nupew::MainWindow", "漢字(&K)"), {}, SettingField::UpperTextMode, kKanjiText},
    {Kind::Setting, 2, "upperKana", QT_TRANSLATE_NOOP("nupew::MainWindow", "かな(&H)"), {}, SettingField::UpperTextMode, kKanaText},
    {Kind::Separator, 1, "displaySeparator1"},
    {Kind::Menu, 1, "lowerVerseMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "下の句(&D)")},
    {Kind::Setting, 2, "lowerKanji", QT_TRANSLATE_NOOP("nupew::MainWindow", "漢字(&K)"), {}, SettingField::LowerTextMode, kKanjiText},
    {Kind::Setting, 2, "lowerKana", QT_TRANSLATE_NOOP("nupew::MainWindow", "かな(&H)"), {}, SettingField::LowerTextMode, kKanaText},
    {Kind::Separator, 1, "displaySeparator2"},
    {Kind::Option, 1, "showDecisive", QT_TRANSLATE_NOOP("nupew::MainWindow", "決まり字を表示(&K)"), Command::ShowDecisive},
    {Kind::Menu, 1, "readAloudMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "読み上げ(&Y)")},
    {Kind::Option, 2, "readAloud", QT_TRANSLATE_NOOP("nupew::MainWindow", "読み上げる(&R)"), Command::ReadAloud},
    {Kind::Option, 2, "readRecited", QT_TRANSLATE_NOOP("nupew::MainWindow", "競技の読み方(&C)"), Command::ReadRecited},
    {Kind::Option, 2, "readLower", QT_TRANSLATE_NOOP("nupew::MainWindow", "下の句も読む(&L)"), Command::ReadLower},
    {Kind::Option, 2, "readOpening", QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲームの始めに序歌を読む(&J)"), Command::ReadOpening},
    {Kind::Menu, 0, "gameSettingsMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "特別設定(&T)")},
    {Kind::Menu, 1, "questionCountMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "問題数(&M)")},
    {Kind::Setting, 2, "questions5", QT_TRANSLATE_NOOP("nupew::MainWindow", "　 ５(&A)"), {}, SettingField::QuestionCount, 5},
    {Kind::Setting, 2, "questions10", QT_TRANSLATE_NOOP("nupew::MainWindow", "　１０(&B)"), {}, SettingField::QuestionCount, 10},
    {Kind::Setting, 2, "questions20", QT_TRANSLATE_NOOP("nupew::MainWindow", "　２０(&C)"), {}, SettingField::QuestionCount, 20},
    {Kind::Setting, 2, "questions50", QT_TRANSLATE_NOOP("nupew::MainWindow", "　５０(&D)"), {}, SettingField::QuestionCount, 50},
    {Kind::Setting, 2, "questions100", QT_TRANSLATE_NOOP("nupew::MainWindow", "１００(&E)"), {}, SettingField::QuestionCount, 100},
    {Kind::Menu, 1, "revealSpeedMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "上の句表示速度(&S)")},
    {Kind::Setting, 2, "revealFast", QT_TRANSLATE_NOOP("nupew::MainWindow", "速い(&A)"), {}, SettingField::RevealDelay, 0},
    {Kind::Setting, 2, "revealFairlyFast", QT_TRANSLATE_NOOP("nupew::MainWindow", "やや速い(&B)"), {}, SettingField::RevealDelay, 2},
    {Kind::Setting, 2, "revealNormal", QT_TRANSLATE_NOOP("nupew::MainWindow", "普通(&C)"), {}, SettingField::RevealDelay, 4},
    {Kind::Setting, 2, "revealFairlySlow", QT_TRANSLATE_NOOP("nupew::MainWindow", "ややゆっくり(&D)"), {}, SettingField::RevealDelay, 6},
    {Kind::Setting, 2, "revealSlow", QT_TRANSLATE_NOOP("nupew::MainWindow", "ゆっくり(&E)"), {}, SettingField::RevealDelay, 8},
    {Kind::Menu, 1, "faultLimitMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "おてつき限度数(&O)")},
    {Kind::Setting, 2, "faultLimit1", QT_TRANSLATE_NOOP("nupew::MainWindow", "　１(&A)"), {}, SettingField::FaultLimit, 1},
    {Kind::Setting, 2, "faultLimit5", QT_TRANSLATE_NOOP("nupew::MainWindow", "　５(&B)"), {}, SettingField::FaultLimit, 5},
    {Kind::Setting, 2, "faultLimit10", QT_TRANSLATE_NOOP("nupew::MainWindow", "１０(&C)"), {}, SettingField::FaultLimit, 10},
    {Kind::Setting, 2, "faultLimit20", QT_TRANSLATE_NOOP("nupew::MainWindow", "２０(&D)"), {}, SettingField::FaultLimit, 20},
    {Kind::Setting, 2, "noFaultLimit", QT_TRANSLATE_NOOP("nupew::MainWindow", "なし(&E)"), {}, SettingField::FaultLimit, kNoFaultLimit},
    {Kind::Item, 1, "choosePractice", QT_TRANSLATE_NOOP("nupew::MainWindow", "出題範囲(&P)..."), Command::ChoosePractice},
    {Kind::Separator, 1, "settingsSeparator"},
    {Kind::Item, 1, "saveSettings", QT_TRANSLATE_NOOP("nupew::MainWindow", "設定の保存(&k)"), Command::SaveSettings},
    {Kind::Item, 1, "restoreDefaults", QT_TRANSLATE_NOOP("nupew::MainWindow", "初期設定に戻す(&R)"), Command::RestoreDefaults},
    {Kind::Menu, 0, "recordsMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "記録(&D)")},
    {Kind::ToolSeparator, 1, "", "", {}, {}, 0, {}, "toolSeparator1"},
    {Kind::Item, 1, "viewRecords", QT_TRANSLATE_NOOP("nupew::MainWindow", "記録を見る(&V)"), Command::ViewRecords, {}, 0, {}, "viewRecordsTool", 4, QT_TRANSLATE_NOOP("nupew::MainWindow", "成績表示")},
    {Kind::Item, 1, "resetRecords", QT_TRANSLATE_NOOP("nupew::MainWindow", "初期化(&R)"), Command::ResetRecords, {}, 0, {}, "resetRecordsTool", 5, QT_TRANSLATE_NOOP("nupew::MainWindow", "成績初期化")},
    {Kind::ToolSeparator, 1, "", "", {}, {}, 0, {}, "toolSeparator2"},
    {Kind::Separator, 1, "recordsSeparator1"},
    {Kind::Item, 1, "printRecords", QT_TRANSLATE_NOOP("nupew::MainWindow", "記録印刷"), Command::PrintRecords},
    {Kind::Separator, 1, "recordsSeparator2"},
    {Kind::Item, 1, "showStatistics", QT_TRANSLATE_NOOP("nupew::MainWindow", "成績の分析(&A)"), Command::ShowStatistics, {}, 0, {}, "showStatisticsTool", 10, QT_TRANSLATE_NOOP("nupew::MainWindow", "成績の分析"), true},
    {Kind::Menu, 0, "optionsMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "オプション(&O)")},
    {Kind::Item, 1, "choosePictureFolder", QT_TRANSLATE_NOOP("nupew::MainWindow", "ﾃﾞｰﾀ（歌）読み出しﾌｫﾙﾀﾞの設定(&F)"), Command::ChoosePictureFolder},
    {Kind::Separator, 1, "optionsSeparator1"},
    {Kind::Toggle, 1, "showToolbar", QT_TRANSLATE_NOOP("nupew::MainWindow", "ツールバーの表示(&V)")},
    {Kind::Item, 1, "customiseToolbar", QT_TRANSLATE_NOOP("nupew::MainWindow", "ツールバーの変更(&T)"), Command::CustomiseToolbar},
    {Kind::Separator, 1, "optionsSeparator2"},
    {Kind::Item, 1, "showPoemList", QT_TRANSLATE_NOOP("nupew::MainWindow", "タワユ一覧(&S)"), Command::ShowPoemList, {}, 0, {}, "showPoemListTool", 7, QT_TRANSLATE_NOOP("nupew::MainWindow", "タワユ一覧")},
    {Kind::Menu, 0, "helpMenu", QT_TRANSLATE_NOOP("nupew::MainWindow", "ヘルプ(&H)")},
    {Kind::Item, 1, "helpContents", QT_TRANSLATE_NOOP("nupew::MainWindow", "目次(&C)"), Command::HelpContents, {}, 0, {}, "helpContentsTool", 8, QT_TRANSLATE_NOOP("nupew::MainWindow", "ヘルプ")},
    {Kind::ToolSeparator, 1, "", "", {}, {}, 0, {}, "toolSeparator3"},
    {Kind::Item, 1, "helpOnHelp", QT_TRANSLATE_NOOP("nupew::MainWindow", "ヘルプの使い方(&H)"), Command::HelpOnHelp},
    {Kind::Separator, 1, "helpSeparator"},
    {Kind::Item, 1, "showVersion", QT_TRANSLATE_NOOP("nupew::MainWindow", "バージョン情報(&V)"), Command::ShowVersion},
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

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("タワユ")); // the game's name, in every language
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
        const QString caption = tr(row.caption);
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
            connect(action, &QAction::triggered, this,
                    [this, command = row.command] { emit actionChosen(command); });
            break;
        case Kind::Setting:
            action = owner->addAction(caption);
            connect(action, &QAction::triggered, this,
                    [this, setting = row.setting, value = row.value] {
                        emit settingChosen(setting, value);
                    });
            break;
        case Kind::Option:
            action = owner->addAction(caption);
            action->setCheckable(true);
            // The check mark follows the option, set through SetOption.
            connect(action, &QAction::triggered, this, [this, action, command = row.command] {
                action->setChecked(!action->isChecked());
                emit actionChosen(command);
            });
            options_.insert(int(row.command), action);
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
    toolbar_ = new QToolBar(tr("ツールバー"), this);
    toolbar_->setObjectName(QStringLiteral("toolbar"));
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
            const QString tip = tr(row.tip);
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

void MainWindow::RestoreArrangement(const QStringList &keys) {
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

void MainWindow::SetOption(Command command, bool checked, bool enabled, const QString &tip) {
    if (QAction *action = options_.value(int(command))) {
        action->setChecked(checked);
        action->setEnabled(enabled);
        action->setToolTip(tip);
        if (auto *menu = qobject_cast<QMenu *>(action->parent())) {
            menu->setToolTipsVisible(!tip.isEmpty()); // the tooltip says what is missing
        }
    }
}

void MainWindow::ToggleToolbar() {
    QAction *view = Item(QStringLiteral("showToolbar"));
    QAction *customise = Item(QStringLiteral("customiseToolbar"));
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
    emit closing();
}

bool MainWindow::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) {
        emit activated();
        SetOuterHeight(outerTwips_);
    }
    return QMainWindow::event(event);
}

} // namespace nupew

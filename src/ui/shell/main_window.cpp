// SPDX-License-Identifier: MIT
// The main window: the menu bar and the toolbar.
#include "ui/shell/main_window.h"

#include "ui/shell/platform.h"

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
    {.kind = Kind::Menu, .depth = 0, .name = "gameMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム(&S)")},
    {.kind = Kind::Item, .depth = 1, .name = "newGame", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム開始(&B)"), .command = Command::NewGame, .toolKey = "newGameTool", .picture = 1, .tip = QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム開始")},
    {.kind = Kind::Item, .depth = 1, .name = "playMatch", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "競技（一人対戦）(&M)..."), .command = Command::PlayMatch, .toolKey = "playMatchTool", .picture = 11, .tip = QT_TRANSLATE_NOOP("nupew::MainWindow", "競技（一人対戦）"), .extraTool = true},
    {.kind = Kind::Item, .depth = 1, .name = "closeBoard", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム終了(&E)"), .command = Command::CloseBoard, .toolKey = "closeBoardTool", .picture = 2, .tip = QT_TRANSLATE_NOOP("nupew::MainWindow", "ゲーム終了")},
    {.kind = Kind::Separator, .depth = 1, .name = "gameSeparator"},
    {.kind = Kind::Item, .depth = 1, .name = "quit", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "終了(&Q)"), .command = Command::Quit, .shortcut = Qt::CTRL | Qt::Key_X},
    {.kind = Kind::Menu, .depth = 0, .name = "displayMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "表示設定(&V)")},
    {.kind = Kind::Menu, .depth = 1, .name = "upperVerseMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "上の句(&U)")},
    {.kind = Kind::Setting, .depth = 2, .name = "upperKanji", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "漢字(&K)"), .setting = SettingField::UpperTextMode, .value = kKanjiText},
    {.kind = Kind::Setting, .depth = 2, .name = "upperKana", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "かな(&H)"), .setting = SettingField::UpperTextMode, .value = kKanaText},
    {.kind = Kind::Separator, .depth = 1, .name = "displaySeparator1"},
    {.kind = Kind::Menu, .depth = 1, .name = "lowerVerseMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "下の句(&D)")},
    {.kind = Kind::Setting, .depth = 2, .name = "lowerKanji", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "漢字(&K)"), .setting = SettingField::LowerTextMode, .value = kKanjiText},
    {.kind = Kind::Setting, .depth = 2, .name = "lowerKana", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "かな(&H)"), .setting = SettingField::LowerTextMode, .value = kKanaText},
    {.kind = Kind::Separator, .depth = 1, .name = "displaySeparator2"},
    {.kind = Kind::Menu, .depth = 1, .name = "readAloudMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "読み上げ(&Y)")},
    {.kind = Kind::Menu, .depth = 0, .name = "gameSettingsMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "特別設定(&T)")},
    {.kind = Kind::Menu, .depth = 1, .name = "questionCountMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "問題数(&M)")},
    {.kind = Kind::Setting, .depth = 2, .name = "questions5", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "　 ５(&A)"), .setting = SettingField::QuestionCount, .value = 5},
    {.kind = Kind::Setting, .depth = 2, .name = "questions10", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "　１０(&B)"), .setting = SettingField::QuestionCount, .value = 10},
    {.kind = Kind::Setting, .depth = 2, .name = "questions20", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "　２０(&C)"), .setting = SettingField::QuestionCount, .value = 20},
    {.kind = Kind::Setting, .depth = 2, .name = "questions50", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "　５０(&D)"), .setting = SettingField::QuestionCount, .value = 50},
    {.kind = Kind::Setting, .depth = 2, .name = "questions100", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "１００(&E)"), .setting = SettingField::QuestionCount, .value = 100},
    {.kind = Kind::Menu, .depth = 1, .name = "revealSpeedMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "上の句表示速度(&S)")},
    {.kind = Kind::Setting, .depth = 2, .name = "revealFast", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "速い(&A)"), .setting = SettingField::RevealDelay, .value = 0},
    {.kind = Kind::Setting, .depth = 2, .name = "revealFairlyFast", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "やや速い(&B)"), .setting = SettingField::RevealDelay, .value = 2},
    {.kind = Kind::Setting, .depth = 2, .name = "revealNormal", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "普通(&C)"), .setting = SettingField::RevealDelay, .value = 4},
    {.kind = Kind::Setting, .depth = 2, .name = "revealFairlySlow", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ややゆっくり(&D)"), .setting = SettingField::RevealDelay, .value = 6},
    {.kind = Kind::Setting, .depth = 2, .name = "revealSlow", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ゆっくり(&E)"), .setting = SettingField::RevealDelay, .value = 8},
    {.kind = Kind::Menu, .depth = 1, .name = "faultLimitMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "おてつき限度数(&O)")},
    {.kind = Kind::Setting, .depth = 2, .name = "faultLimit1", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "　１(&A)"), .setting = SettingField::FaultLimit, .value = 1},
    {.kind = Kind::Setting, .depth = 2, .name = "faultLimit5", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "　５(&B)"), .setting = SettingField::FaultLimit, .value = 5},
    {.kind = Kind::Setting, .depth = 2, .name = "faultLimit10", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "１０(&C)"), .setting = SettingField::FaultLimit, .value = 10},
    {.kind = Kind::Setting, .depth = 2, .name = "faultLimit20", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "２０(&D)"), .setting = SettingField::FaultLimit, .value = 20},
    {.kind = Kind::Setting, .depth = 2, .name = "noFaultLimit", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "なし(&E)"), .setting = SettingField::FaultLimit, .value = kNoFaultLimit},
    {.kind = Kind::Item, .depth = 1, .name = "choosePractice", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "出題範囲(&P)..."), .command = Command::ChoosePractice},
    {.kind = Kind::Separator, .depth = 1, .name = "settingsSeparator"},
    {.kind = Kind::Item, .depth = 1, .name = "saveSettings", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "設定の保存(&k)"), .command = Command::SaveSettings},
    {.kind = Kind::Item, .depth = 1, .name = "restoreDefaults", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "初期設定に戻す(&R)"), .command = Command::RestoreDefaults},
    {.kind = Kind::Menu, .depth = 0, .name = "recordsMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "記録(&D)")},
    {.kind = Kind::ToolSeparator, .depth = 1, .name = "", .caption = "", .toolKey = "toolSeparator1"},
    {.kind = Kind::Item, .depth = 1, .name = "viewRecords", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "記録を見る(&V)"), .command = Command::ViewRecords, .toolKey = "viewRecordsTool", .picture = 4, .tip = QT_TRANSLATE_NOOP("nupew::MainWindow", "成績表示")},
    {.kind = Kind::Item, .depth = 1, .name = "resetRecords", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "初期化(&R)"), .command = Command::ResetRecords, .toolKey = "resetRecordsTool", .picture = 5, .tip = QT_TRANSLATE_NOOP("nupew::MainWindow", "成績初期化")},
    {.kind = Kind::ToolSeparator, .depth = 1, .name = "", .caption = "", .toolKey = "toolSeparator2"},
    {.kind = Kind::Separator, .depth = 1, .name = "recordsSeparator1"},
    {.kind = Kind::Item, .depth = 1, .name = "printRecords", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "記録印刷"), .command = Command::PrintRecords},
    {.kind = Kind::Separator, .depth = 1, .name = "recordsSeparator2"},
    {.kind = Kind::Item, .depth = 1, .name = "showStatistics", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "成績の分析(&A)"), .command = Command::ShowStatistics, .toolKey = "showStatisticsTool", .picture = 10, .tip = QT_TRANSLATE_NOOP("nupew::MainWindow", "成績の分析"), .extraTool = true},
    {.kind = Kind::Menu, .depth = 0, .name = "optionsMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "オプション(&O)")},
    {.kind = Kind::Item, .depth = 1, .name = "choosePictureFolder", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ﾃﾞｰﾀ（歌）読み出しﾌｫﾙﾀﾞの設定(&F)"), .command = Command::ChoosePictureFolder},
    {.kind = Kind::Separator, .depth = 1, .name = "optionsSeparator1"},
    {.kind = Kind::Toggle, .depth = 1, .name = "showToolbar", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ツールバーの表示(&V)")},
    {.kind = Kind::Item, .depth = 1, .name = "customiseToolbar", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ツールバーの変更(&T)"), .command = Command::CustomiseToolbar},
    {.kind = Kind::Separator, .depth = 1, .name = "optionsSeparator2"},
    {.kind = Kind::Item, .depth = 1, .name = "showPoemList", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "タワユ一覧(&S)"), .command = Command::ShowPoemList, .toolKey = "showPoemListTool", .picture = 7, .tip = QT_TRANSLATE_NOOP("nupew::MainWindow", "タワユ一覧")},
    {.kind = Kind::Menu, .depth = 0, .name = "helpMenu", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ヘルプ(&H)")},
    {.kind = Kind::Item, .depth = 1, .name = "helpContents", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "目次(&C)"), .command = Command::HelpContents, .toolKey = "helpContentsTool", .picture = 8, .tip = QT_TRANSLATE_NOOP("nupew::MainWindow", "ヘルプ")},
    {.kind = Kind::ToolSeparator, .depth = 1, .name = "", .caption = "", .toolKey = "toolSeparator3"},
    {.kind = Kind::Item, .depth = 1, .name = "helpOnHelp", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "ヘルプの使い方(&H)"), .command = Command::HelpOnHelp},
    {.kind = Kind::Separator, .depth = 1, .name = "helpSeparator"},
    {.kind = Kind::Item, .depth = 1, .name = "showVersion", .caption = QT_TRANSLATE_NOOP("nupew::MainWindow", "バージョン情報(&V)"), .command = Command::ShowVersion},
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
    BuildOptions();
}

void MainWindow::BuildOptions() {
    // Each option's item where its row in options.h places it; the check
    // mark follows the option, set through SetOption.
    for (const OptionSpec &spec : kOptions) {
        auto *menu = findChild<QMenu *>(QString::fromLatin1(spec.menu));
        Q_ASSERT(menu);
        auto *action = new QAction(tr(spec.caption), menu);
        action->setObjectName(QString::fromLatin1(spec.name));
        action->setCheckable(true);
        QAction *before = nullptr;
        if (spec.after) {
            const QList<QAction *> items = menu->actions();
            const auto after = std::find_if(items.begin(), items.end(), [&spec](QAction *item) {
                return item->objectName() == QLatin1String(spec.after);
            });
            before = after != items.end() && after + 1 != items.end() ? *(after + 1) : nullptr;
        } else if (const QAction *last = options_.isEmpty() ? nullptr : options_.last();
                   last && last->parent() == menu) {
            const QList<QAction *> items = menu->actions();
            const qsizetype at = items.indexOf(last);
            before = at + 1 < items.size() ? items[at + 1] : nullptr;
        }
        menu->insertAction(before, action);
        connect(action, &QAction::triggered, this, [this, action, option = spec.option] {
            action->setChecked(!action->isChecked());
            emit optionChosen(option);
        });
        options_.append(action);
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
                // Reachable with Tab as well as the mouse.
                if (QWidget *button = toolbar_->widgetForAction(action)) {
                    button->setFocusPolicy(Qt::TabFocus);
                }
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

void MainWindow::SetOption(Option option, bool checked, bool enabled, const QString &tip) {
    QAction *action = options_.value(qsizetype(option));
    action->setChecked(checked);
    action->setEnabled(enabled);
    action->setToolTip(tip);
    if (auto *menu = qobject_cast<QMenu *>(action->parent())) {
        menu->setToolTipsVisible(!tip.isEmpty()); // the tooltip says what is missing
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

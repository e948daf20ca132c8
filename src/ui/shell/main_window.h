// SPDX-License-Identifier: MIT
// The main window: the menu bar and the toolbar.
#pragma once

#include "core/settings.h"
#include "ui/shell/commands.h"
#include "ui/shell/options.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

class QToolBar;

namespace nupew {

// The main window's outer height in twips with the toolbar shown and hidden.
inline constexpr int kFrameHeightWithToolbar = 1080;
inline constexpr int kFrameHeightWithoutToolbar = 680;

class MainWindow final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)
public:
    MainWindow();

    QAction *Item(const QString &name) const; // a menu item by its name
    // The check mark of an option, whether it can be chosen, and why not.
    void SetOption(Option option, bool checked, bool enabled = true, const QString &tip = {});
    QToolBar *Toolbar() const { return toolbar_; }

    // Shows or hides the toolbar.
    void ToggleToolbar();
    // The keys of the toolbar's buttons and separators in their present order.
    QStringList Arrangement() const;
    void SetArrangement(const QStringList &keys);
    // Takes a kept arrangement, unless it names a button twice or one we do not know.
    void RestoreArrangement(const QStringList &keys);
    static QStringList BuiltInArrangement();
    // The built-in buttons, then those the player may add.
    static QStringList AllTools();
    // The outer height in twips for the toolbar shown or hidden.
    void SetOuterHeight(int twips);

signals:
    void actionChosen(nupew::Command command);
    // An option's item: the player asks to turn it on or off.
    void optionChosen(nupew::Option option);
    void settingChosen(nupew::SettingField field, qint16 value);
    // Activated: the toolbar takes its kept arrangement again.
    void activated();
    // Any close request ends the program, with no question asked.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void BuildMenus();
    void BuildOptions();
    void BuildToolbar();

    QToolBar *toolbar_ = nullptr;
    QList<QAction *> options_;     // the options' items, in the order of kOptions
    QList<QAction *> toolActions_; // every button of AllTools()
    int outerTwips_ = kFrameHeightWithToolbar;
};

} // namespace nupew

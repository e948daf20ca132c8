// SPDX-License-Identifier: MIT
// The main window (MDIForm1): the menu bar and the toolbar.
#pragma once

#include <QMainWindow>
#include <QStringList>

class QToolBar;

namespace nupew {

// Where the toolbar arrangement has always been kept (QSettings organisation, application).
inline const QString kToolbarStore = QStringLiteral("TEMP11");
inline const QString kToolbarFile = QStringLiteral("MyToolbar1");

class Program;

// The main window's outer height in twips with the toolbar shown and hidden.
inline constexpr int kFrameHeightWithToolbar = 1080;
inline constexpr int kFrameHeightWithoutToolbar = 680;

class MainWindow final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)
public:
    explicit MainWindow(Program &program);

    QAction *Item(const QString &name) const; // a menu item by its name
    QToolBar *Toolbar() const { return toolbar_; }

    // Shows or hides the toolbar.
    void ToggleToolbar();
    // The keys of the toolbar's buttons and separators in their present order.
    QStringList Arrangement() const;
    void SetArrangement(const QStringList &keys);
    static QStringList BuiltInArrangement();
    // The built-in buttons, then those the player may add.
    static QStringList AllTools();
    // Toolbar1_Change and MDIForm_Activate: keep and restore the arrangement.
    // Keeps the arrangement; the reason when it could not be kept.
    QString SaveArrangement() const;
    void RestoreArrangement();
    // The outer height in twips for the toolbar shown or hidden.
    void SetOuterHeight(int twips);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void BuildMenus();
    void BuildToolbar();

    Program &program_;
    QToolBar *toolbar_ = nullptr;
    QList<QAction *> toolActions_; // every button of AllTools()
    int outerTwips_ = kFrameHeightWithToolbar;
};

} // namespace nupew

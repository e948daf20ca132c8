// SPDX-License-Identifier: MIT
// Customising the toolbar: remove, add back, reorder, reset.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QListWidget;

namespace nupew {

class MainWindow;

class ToolbarDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolbarDialog)
public:
    explicit ToolbarDialog(MainWindow &window);

    // Each change is applied to the toolbar at once and reported here.

    void RemoveSelected();
    void AddSelected();
    void MoveSelected(int step);
    void Reset();

signals:
    // The arrangement was changed (and applied to the toolbar).
    void changed();

private:
    void Fill();
    void Apply(const QStringList &keys);

    MainWindow &window_;
    QListWidget *current_ = nullptr;
    QListWidget *available_ = nullptr;
};

} // namespace nupew

// SPDX-License-Identifier: MIT
// Customising the toolbar: remove, add back, reorder, reset.
#include "ui/shell/toolbar_dialog.h"

#include "ui/shell/main_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace nupew {
namespace {

QListWidgetItem *Entry(MainWindow &window, const QString &key) {
    const QAction *action = window.findChild<QAction *>(key);
    auto *item = new QListWidgetItem;
    item->setData(Qt::UserRole, key);
    if (action && !action->isSeparator()) {
        item->setIcon(action->icon());
        item->setText(action->toolTip());
    } else {
        item->setText(ToolbarDialog::tr("――― 区切り ―――"));
    }
    return item;
}

QStringList Keys(const QListWidget *list) {
    QStringList keys;
    for (int row = 0; row < list->count(); ++row) {
        keys.append(list->item(row)->data(Qt::UserRole).toString());
    }
    return keys;
}

} // namespace

ToolbarDialog::ToolbarDialog(MainWindow &window) : QDialog(&window), window_(window) {
    setObjectName(QStringLiteral("toolbarDialog"));
    setWindowTitle(tr("ツールバーのカスタマイズ"));
    current_ = new QListWidget(this);
    current_->setObjectName(QStringLiteral("currentButtons"));
    available_ = new QListWidget(this);
    available_->setObjectName(QStringLiteral("availableButtons"));

    auto *layout = new QGridLayout(this);
    auto *availableLabel = new QLabel(tr("利用できるボタン(&V):"), this);
    availableLabel->setBuddy(available_);
    auto *currentLabel = new QLabel(tr("ツールバーのボタン(&T):"), this);
    currentLabel->setBuddy(current_);
    layout->addWidget(availableLabel, 0, 0);
    layout->addWidget(currentLabel, 0, 2);
    layout->addWidget(available_, 1, 0, 6, 1);
    layout->addWidget(current_, 1, 2, 6, 1);

    const auto button = [this, layout](const QString &name, const QString &caption, int row,
                                       int column, std::function<void()> action) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        layout->addWidget(b, row, column);
        connect(b, &QPushButton::clicked, this, action);
        return b;
    };
    button(QStringLiteral("addButton"), tr("追加(&A) →"), 2, 1, [this] { AddSelected(); });
    button(QStringLiteral("removeButton"), tr("← 削除(&R)"), 3, 1, [this] { RemoveSelected(); });
    button(QStringLiteral("upButton"), tr("上へ移動(&U)"), 1, 3, [this] { MoveSelected(-1); });
    button(QStringLiteral("downButton"), tr("下へ移動(&D)"), 2, 3, [this] { MoveSelected(1); });
    button(QStringLiteral("resetButton"), tr("リセット(&S)"), 4, 3, [this] { Reset(); });
    button(QStringLiteral("closeButton"), tr("閉じる(&C)"), 6, 3, [this] {
        accept();
    })->setDefault(true);
    Fill();
}

void ToolbarDialog::Fill() {
    current_->clear();
    available_->clear();
    const QStringList keys = window_.Arrangement();
    for (const QString &key : keys) {
        current_->addItem(Entry(window_, key));
    }
    for (const QString &key : MainWindow::AllTools()) {
        if (!keys.contains(key)) {
            available_->addItem(Entry(window_, key));
        }
    }
}

void ToolbarDialog::Apply(const QStringList &keys) {
    if (keys == window_.Arrangement()) {
        return;
    }
    window_.SetArrangement(keys);
    emit changed();
}

void ToolbarDialog::RemoveSelected() {
    const int row = current_->currentRow();
    if (row < 0) {
        return;
    }
    QStringList keys = Keys(current_);
    keys.removeAt(row);
    Apply(keys);
    Fill();
    current_->setCurrentRow(std::min(row, current_->count() - 1));
}

void ToolbarDialog::AddSelected() {
    const QListWidgetItem *item = available_->currentItem();
    if (!item) {
        return;
    }
    QStringList keys = Keys(current_);
    const int at = current_->currentRow() < 0 ? int(keys.size()) : current_->currentRow() + 1;
    keys.insert(at, item->data(Qt::UserRole).toString());
    Apply(keys);
    Fill();
    current_->setCurrentRow(at);
}

void ToolbarDialog::MoveSelected(int step) {
    const int row = current_->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= current_->count()) {
        return;
    }
    QStringList keys = Keys(current_);
    keys.move(row, to);
    Apply(keys);
    Fill();
    current_->setCurrentRow(to);
}

void ToolbarDialog::Reset() {
    Apply(MainWindow::BuiltInArrangement());
    Fill();
}

} // namespace nupew

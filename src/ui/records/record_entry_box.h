// SPDX-License-Identifier: MIT
// The record entry box: the result, a name, and register or not.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QMenu;
class QPushButton;

namespace nupew {

class RecordEntryBox final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecordEntryBox)
public:
    RecordEntryBox(const QString &averageText, const QString &faultsText,
                   QWidget *parent = nullptr);

    // 記録する receives the typed name; 記録しない runs after the box has closed.

signals:
    // 記録する with the typed name, after the box has closed; 記録しない.
    void registerWanted(const QString &name);
    void declined();
    // The popup's items for the last poem's pictures.
    void poemPictureWanted();
    void poetPictureWanted();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QLineEdit *name_ = nullptr;
    QPushButton *register_ = nullptr;
    QPushButton *decline_ = nullptr;
    QMenu *menu_ = nullptr;
};

} // namespace nupew

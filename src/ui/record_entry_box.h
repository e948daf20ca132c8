// SPDX-License-Identifier: MIT
// The record entry box (Form2): the result, a name, and register or not.
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
    QLineEdit *name_ = nullptr;       // Text1
    QPushButton *register_ = nullptr; // Command1
    QPushButton *decline_ = nullptr;  // Command2
    QMenu *menu_ = nullptr;           // MENU_2
};

} // namespace nupew

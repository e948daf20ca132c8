// SPDX-License-Identifier: MIT
// 出題範囲: the dialog that chooses which poems a game asks.
#pragma once

#include "core/practice.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QComboBox;

namespace nupew {

class PracticeDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PracticeDialog)
public:
    // `questionCount` and `cardCount` are the game's settings, for the notes on small sets.
    PracticeDialog(const PracticeMode &mode, const DecisiveTable &decisive, int questionCount,
                   int cardCount, QWidget *parent = nullptr);
    PracticeMode Mode() const;

private:
    void Load(const PracticeMode &mode);
    void Update();

    const DecisiveTable &decisive_;
    int questionCount_;
    int cardCount_;
    std::array<QRadioButton *, 5> kinds_{};
    std::array<QCheckBox *, 5> ranges_{};
    QCheckBox *freeRange_ = nullptr;
    QSpinBox *from_ = nullptr;
    QSpinBox *to_ = nullptr;
    QSpinBox *newPerDay_ = nullptr;
    QComboBox *newOrder_ = nullptr;
    std::array<QCheckBox *, kColourCount> colours_{};
    std::array<QCheckBox *, kByCount> counts_{};
    QLabel *note_ = nullptr;
    QPushButton *ok_ = nullptr;
};

} // namespace nupew

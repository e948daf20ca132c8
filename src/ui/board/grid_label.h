// SPDX-License-Identifier: MIT
// A label that writes its text in a fixed grid of character cells.
#pragma once

#include "ui/shell/platform.h"

namespace nupew {

// Cards (five rows of three) and the vertical verse and poet strips write their
// characters into cells of a fixed size, filled row by row from the top left,
// so the layout never depends on the metrics of the font at hand.
class GridLabel final : public ClickLabel {
    Q_OBJECT
public:
    GridLabel(QWidget *parent, int columns, int cellPixels);
    // The first `count` characters are drawn in `color`; 0 draws none so.
    void SetEmphasis(int count, QColor color);
    int Emphasis() const { return emphasis_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int columns_;
    int cell_;
    int emphasis_ = 0;
    QColor emphasisColor_;
};

GridLabel *MakeGridLabel(QWidget *parent, const QString &name, const LabelLook &look, int columns,
                         int cellPixels);

} // namespace nupew

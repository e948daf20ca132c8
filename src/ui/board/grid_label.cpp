// SPDX-License-Identifier: MIT
// A label that writes its text in a fixed grid of character cells.
#include "ui/board/grid_label.h"

#include <QPainter>

namespace nupew {

GridLabel::GridLabel(QWidget *parent, int columns, int cellPixels)
    : ClickLabel(parent), columns_(columns), cell_(cellPixels) {}

void GridLabel::SetEmphasis(int count, QColor color) {
    if (count != emphasis_ || color != emphasisColor_) {
        emphasis_ = count;
        emphasisColor_ = color;
        update();
    }
}

void GridLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (autoFillBackground()) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
    }
    const QRect inner = contentsRect();
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const QString content = text();
    // The grid is centred across the label; a card's full grid is centred down
    // it too, while a vertical strip starts at its top.
    const int left = inner.left() + (inner.width() - columns_ * cell_) / 2;
    const int rows = int((content.size() + columns_ - 1) / columns_);
    const int top = columns_ > 1 ? inner.top() + std::max(0, (inner.height() - rows * cell_) / 2)
                                 : inner.top() + 1;
    for (int i = 0; i < content.size(); ++i) {
        if (i < emphasis_) {
            painter.setPen(emphasisColor_);
        } else if (i == emphasis_) {
            painter.setPen(palette().color(QPalette::WindowText));
        }
        const QRect cell(left + (i % columns_) * cell_, top + (i / columns_) * cell_, cell_, cell_);
        painter.drawText(cell, Qt::AlignCenter, content.mid(i, 1));
    }
    if (frameShape() != QFrame::NoFrame) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

GridLabel *MakeGridLabel(QWidget *parent, const QString &name, const LabelLook &look, int columns,
                         int cellPixels) {
    auto *label = new GridLabel(parent, columns, cellPixels);
    ApplyLook(label, name, look);
    return label;
}

} // namespace nupew

// SPDX-License-Identifier: MIT
// The end of a practice game: its figures, then もう一度 or 終了.
#pragma once

#include "core/seams.h"

#include <QDialog>

namespace nupew {

class PracticeEndBox final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PracticeEndBox)
public:
    PracticeEndBox(const QString &name, const PracticeFigures &figures, QWidget *parent = nullptr);

signals:
    // The last poem's pictures, while the box is up.
    void poemPictureWanted();
    void poetPictureWanted();
};

} // namespace nupew

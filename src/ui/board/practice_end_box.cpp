// SPDX-License-Identifier: MIT
// The end of a practice game: its figures, then もう一度 or 終了.
#include "ui/board/practice_end_box.h"

#include "ui/shell/platform.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nupew {

PracticeEndBox::PracticeEndBox(const QString &name, const PracticeFigures &figures, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("practiceEndBox"));
    setWindowTitle(tr("練習の結果"));
    setFont(NamedFont(kPGothic, 10));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(tr("練習: %1").arg(name), this);
    title->setTextFormat(Qt::PlainText);
    layout->addWidget(title);
    auto *form = new QFormLayout;
    const auto value = [this](const QString &objectName, const QString &text) {
        auto *label = new QLabel(text, this);
        label->setObjectName(objectName);
        label->setFont(NamedFont(kPGothic, 14));
        return label;
    };
    form->addRow(tr("平均タイム (秒)"), value(QStringLiteral("average"), figures.average));
    form->addRow(tr("平均反応時間 (秒)"), value(QStringLiteral("reaction"), figures.reaction));
    form->addRow(tr("おてつき"), value(QStringLiteral("faults"), figures.faults));
    layout->addLayout(form);
    auto *review =
        new QLabel(figures.toReview.isEmpty()
                       ? tr("まちがえた歌も遅かった歌もありません。")
                       : tr("もう一度見ておきたい歌: %1").arg(figures.toReview.join(tr("、"))),
                   this);
    review->setObjectName(QStringLiteral("toReview"));
    review->setTextFormat(Qt::PlainText);
    review->setWordWrap(true);
    layout->addWidget(review);
    layout->addWidget(new QLabel(tr("練習の成績は成績優秀者の表に登録されません。"), this));
    auto *again = new QPushButton(tr("もう一度(&A)"), this);
    again->setObjectName(QStringLiteral("againButton"));
    again->setDefault(true);
    auto *end = new QPushButton(tr("終了(&E)"), this);
    end->setObjectName(QStringLiteral("endButton"));
    connect(again, &QPushButton::clicked, this, &QDialog::accept);
    connect(end, &QPushButton::clicked, this, &QDialog::reject);
    // The last poem's pictures, while the box is up: afterwards the answer is gone.
    auto *poem = new QPushButton(tr("歌の絵(&U)"), this);
    poem->setObjectName(QStringLiteral("poemPictureButton"));
    poem->setAutoDefault(false);
    auto *poet = new QPushButton(tr("作者の絵(&P)"), this);
    poet->setObjectName(QStringLiteral("poetPictureButton"));
    poet->setAutoDefault(false);
    connect(poem, &QPushButton::clicked, this, &PracticeEndBox::poemPictureWanted);
    connect(poet, &QPushButton::clicked, this, &PracticeEndBox::poetPictureWanted);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(poem);
    buttons->addWidget(poet);
    buttons->addStretch();
    buttons->addWidget(again);
    buttons->addWidget(end);
    layout->addLayout(buttons);
}

} // namespace nupew

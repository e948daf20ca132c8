// SPDX-License-Identifier: MIT
// 出題範囲: the dialog that chooses which poems a game asks.
#include "ui/board/practice_dialog.h"

#include "ui/shell/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace nupew {
namespace {

// The colours of the school game's cards, for the swatches beside the names.
const QColor kSwatches[kColourCount] = {QColor(70, 110, 220), QColor(240, 140, 180),
                                        QColor(235, 200, 40), QColor(60, 170, 90),
                                        QColor(240, 140, 40)};

QCheckBox *Check(QWidget *parent, const QString &name, const QString &text) {
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

PracticeDialog::PracticeDialog(const PracticeMode &mode, const DecisiveTable &decisive,
                               int questionCount, int cardCount, QWidget *parent)
    : QDialog(parent), decisive_(decisive), questionCount_(questionCount), cardCount_(cardCount) {
    setObjectName(QStringLiteral("practiceDialog"));
    setWindowTitle(tr("出題範囲"));
    setFont(NamedFont(kPGothic, 9));
    auto *grid = new QGridLayout(this);
    const char *const kindTexts[5] = {
        QT_TR_NOOP("全百首 (ふつうのゲーム。成績優秀者の表に登録できます)"),
        QT_TR_NOOP("歌番号で選ぶ"), QT_TR_NOOP("五色百人一首の色で選ぶ"),
        QT_TR_NOOP("決まり字の数で選ぶ"),
        QT_TR_NOOP("苦手な歌の練習 (答えの記録から、覚えていない歌を先に出します)")};
    for (int k = 0; k < 5; ++k) {
        kinds_[size_t(k)] = new QRadioButton(tr(kindTexts[k]), this);
        kinds_[size_t(k)]->setObjectName(QStringLiteral("kind%1").arg(k));
    }
    grid->addWidget(kinds_[0], 0, 0, 1, 7);

    grid->addWidget(kinds_[1], 1, 0, 1, 7);
    for (int r = 0; r < 5; ++r) {
        ranges_[size_t(r)] = Check(this, QStringLiteral("range%1").arg(r + 1),
                                   QStringLiteral("%1–%2").arg(r * 20 + 1).arg(r * 20 + 20));
        grid->addWidget(ranges_[size_t(r)], 2, r + 1);
    }
    freeRange_ = Check(this, QStringLiteral("freeRange"), tr("範囲指定"));
    from_ = new QSpinBox(this);
    from_->setObjectName(QStringLiteral("fromBox"));
    to_ = new QSpinBox(this);
    to_->setObjectName(QStringLiteral("toBox"));
    for (QSpinBox *spin : {from_, to_}) {
        spin->setRange(1, kPoemCount);
    }
    auto *free = new QHBoxLayout;
    free->addWidget(freeRange_);
    free->addWidget(from_);
    free->addWidget(new QLabel(tr("番から"), this));
    free->addWidget(to_);
    free->addWidget(new QLabel(tr("番まで"), this));
    free->addStretch();
    grid->addLayout(free, 3, 1, 1, 6);

    grid->addWidget(kinds_[2], 4, 0, 1, 7);
    for (int c = 0; c < kColourCount; ++c) {
        QCheckBox *box = Check(this, QStringLiteral("colour%1").arg(c), ColourName(c));
        QPixmap swatch(12, 12);
        swatch.fill(kSwatches[c]);
        box->setIcon(QIcon(swatch));
        colours_[size_t(c)] = box;
        grid->addWidget(box, 5, c + 1);
    }

    grid->addWidget(kinds_[3], 6, 0, 1, 7);
    const char *const countTexts[kByCount] = {"",
                                              QT_TR_NOOP("一字決まり"),
                                              QT_TR_NOOP("二字決まり"),
                                              QT_TR_NOOP("三字決まり"),
                                              QT_TR_NOOP("四字決まり"),
                                              QT_TR_NOOP("五字決まり"),
                                              QT_TR_NOOP("六字決まり")};
    for (int n = 1; n <= kMaxDecisiveCount; ++n) {
        counts_[size_t(n)] = Check(this, QStringLiteral("count%1").arg(n), tr(countTexts[n]));
        // The decisive characters of its poems, as players say them.
        QStringList heard;
        for (int p = 0; p < kPoemCount; ++p) {
            if (decisive.Count(Poem::FromRow(p)) == n) {
                heard.append(decisive.Heard(Poem::FromRow(p)));
            }
        }
        counts_[size_t(n)]->setToolTip(heard.join(u'　'));
        grid->addWidget(counts_[size_t(n)], 7 + (n - 1) / 3, (n - 1) % 3 + 1, 1, 1);
    }

    grid->addWidget(kinds_[4], 9, 0, 1, 7);
    newPerDay_ = new QSpinBox(this);
    newPerDay_->setObjectName(QStringLiteral("newPerDayBox"));
    newPerDay_->setRange(1, kMaxNewPerDay);
    newOrder_ = new QComboBox(this);
    newOrder_->setObjectName(QStringLiteral("newOrderBox"));
    newOrder_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // In the order of NewPoemOrder.
    newOrder_->addItem(tr("最初の音ごと"));
    newOrder_->setItemData(0,
                           tr("むすめふさほせ、うつしもゆ、いちひき…: 最初の音が同じ歌をまとめて"),
                           Qt::ToolTipRole);
    newOrder_->addItem(tr("歌番号の順"));
    newOrder_->addItem(tr("ばらばら"));
    auto *fresh = new QHBoxLayout;
    fresh->addWidget(new QLabel(tr("新しい歌は1日"), this));
    fresh->addWidget(newPerDay_);
    fresh->addWidget(new QLabel(tr("首まで、"), this));
    fresh->addWidget(newOrder_);
    fresh->addWidget(new QLabel(tr("の順に"), this));
    fresh->addStretch();
    grid->addLayout(fresh, 10, 1, 1, 6);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setMinimumHeight(note_->fontMetrics().height() * 3);
    grid->addWidget(note_, 11, 0, 1, 7);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 12, 0, 1, 7);
    grid->setColumnMinimumWidth(0, 16);

    Load(mode);
    for (QAbstractButton *button : findChildren<QAbstractButton *>()) {
        connect(button, &QAbstractButton::toggled, this, &PracticeDialog::Update);
    }
    for (QSpinBox *spin : {from_, to_, newPerDay_}) {
        connect(spin, &QSpinBox::valueChanged, this, &PracticeDialog::Update);
    }
    Update();
}

void PracticeDialog::Load(const PracticeMode &mode) {
    kinds_[size_t(mode.kind)]->setChecked(true);
    for (size_t i = 0; i < 5; ++i) {
        ranges_[i]->setChecked(mode.ranges[i]);
        colours_[i]->setChecked(mode.colours[i]);
    }
    freeRange_->setChecked(mode.from > 0);
    from_->setValue(mode.from > 0 ? mode.from : 1);
    to_->setValue(mode.to > 0 ? mode.to : kPoemCount);
    for (size_t n = 1; n < kByCount; ++n) {
        counts_[n]->setChecked(mode.counts[n]);
    }
    newPerDay_->setValue(mode.newPerDay);
    newOrder_->setCurrentIndex(int(mode.newOrder));
}

PracticeMode PracticeDialog::Mode() const {
    PracticeMode mode;
    for (size_t k = 0; k < 5; ++k) {
        if (kinds_[k]->isChecked()) {
            mode.kind = PracticeKind(k);
        }
    }
    for (size_t i = 0; i < 5; ++i) {
        mode.ranges[i] = ranges_[i]->isChecked();
        mode.colours[i] = colours_[i]->isChecked();
    }
    if (freeRange_->isChecked()) {
        mode.from = std::min(from_->value(), to_->value());
        mode.to = std::max(from_->value(), to_->value());
    }
    for (size_t n = 1; n < kByCount; ++n) {
        mode.counts[n] = counts_[n]->isChecked();
    }
    mode.newPerDay = newPerDay_->value();
    mode.newOrder = NewPoemOrder(std::clamp(newOrder_->currentIndex(), 0, kNewPoemOrders - 1));
    return mode;
}

void PracticeDialog::Update() {
    const PracticeMode mode = Mode();
    // Only the chosen kind's choices can be changed.
    for (QCheckBox *box : ranges_) {
        box->setEnabled(mode.kind == PracticeKind::Numbers);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{freeRange_, from_, to_}) {
        w->setEnabled(mode.kind == PracticeKind::Numbers);
    }
    for (QCheckBox *box : colours_) {
        box->setEnabled(mode.kind == PracticeKind::Colours);
    }
    for (size_t n = 1; n < kByCount; ++n) {
        counts_[n]->setEnabled(mode.kind == PracticeKind::Decisive);
    }
    newPerDay_->setEnabled(mode.kind == PracticeKind::Drill);
    newOrder_->setEnabled(mode.kind == PracticeKind::Drill);
    const qsizetype poems = mode.Poems(decisive_).size();
    QStringList notes;
    if (mode.kind == PracticeKind::All) {
        notes.append(tr("百首から出題します。"));
    } else if (mode.kind == PracticeKind::Drill) {
        notes.append(tr("次に出す日が来た歌を、忘れていそうな歌から先に出し、そのあとで新しい歌を"
                        "出します。答えるたびに次に出す日が決まります: おてつきは10分後にもう一度、"
                        "決まり字から%1秒未満は「かんたん」、%2秒までは「ふつう」、それより遅いと"
                        "「むずかしい」。練習の成績は成績優秀者の表に登録されません。")
                         .arg(double(kEasyBelowSeconds))
                         .arg(double(kHardAboveSeconds)));
    } else {
        notes.append(
            tr("この範囲の歌: %1首。練習の成績は成績優秀者の表に登録されません。").arg(poems));
        if (poems > 0 && poems < questionCount_) {
            notes.append(tr("問題数 (%1問) "
                            "より少ないので、%2首を一度ずつ出したところでゲームが終わります。")
                             .arg(questionCount_)
                             .arg(poems));
        }
        if (poems > 0 && poems < cardCount_) {
            notes.append(tr("札の数より少ないので、ほかの札は百首から配ります。"));
        }
        if (poems == 0) {
            notes.append(tr("歌がひとつも選ばれていません。"));
        }
    }
    note_->setText(notes.join(u'\n'));
    ok_->setEnabled(poems > 0);
}

} // namespace nupew

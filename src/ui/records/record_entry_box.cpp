// SPDX-License-Identifier: MIT
// The record entry box: the result, a name, and register or not.
#include "ui/records/record_entry_box.h"

#include "ui/shell/platform.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace nupew {

RecordEntryBox::RecordEntryBox(const QString &averageText, const QString &faultsText,
                               QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("recordEntryBox"));
    setWindowTitle(tr("記録ボックス"));
    setFixedSize(TwipsSize(3210, 2370));
    SetColor(this, QPalette::Window, QColor(192, 255, 192));

    const QColor blue(0, 0, 255);
    const QColor pale(192, 255, 255);
    const Qt::Alignment centre = Qt::AlignCenter;
    const QList<std::pair<QString, LabelLook>> labels = {
        {QStringLiteral("congratulations"),
         {tr("おめでとうございます"), Twips(120, 120, 2895, 315), Qt::white, blue,
          NamedFont(kPMincho, 14.25), centre}},
        {QStringLiteral("yourResult"),
         {tr("あなたの成績"), Twips(480, 480, 1935, 255), QColor(0, 192, 192), Qt::white,
          NamedFont(kMincho, 11.25), centre}},
        {QStringLiteral("averageCaption"),
         {tr("平 均 時 間"), Twips(120, 840, 1335, 255), pale, blue, NamedFont(kPMincho, 9.75),
          centre}},
        {QStringLiteral("average"),
         {averageText, Twips(1440, 840, 735, 255), pale, Qt::black, NamedFont(kMincho, 11.25),
          centre}},
        {QStringLiteral("averageUnit"),
         {tr("秒です。"), Twips(2160, 840, 855, 255), pale, blue, NamedFont(kMincho, 9.75),
          centre}},
        {QStringLiteral("faultsCaption"),
         {tr("お手つき回数"), Twips(120, 1200, 1335, 255), pale, blue, NamedFont(kPMincho, 9.75),
          centre}},
        {QStringLiteral("faults"),
         {faultsText, Twips(1440, 1200, 735, 255), pale, Qt::black, NamedFont(kMincho, 11.25),
          centre}},
        {QStringLiteral("faultsUnit"),
         {tr("回です。"), Twips(2160, 1200, 855, 255), pale, blue, NamedFont(kMincho, 9.75),
          centre}},
        {QStringLiteral("nameCaption"),
         {tr("氏　名"),
          Twips(120, 1560, 735, 255),
          QColor(192, 255, 192),
          {},
          NamedFont(kPMincho, 11.25),
          centre}},
    };
    for (const auto &[name, look] : labels) {
        ClickLabel *label = MakeLabel(this, name, look);
        connect(label, &ClickLabel::rightReleased, this,
                [this](const QPoint &at) { menu_->popup(at); });
    }

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("nameField"));
    name_->setGeometry(Twips(840, 1560, 2175, 270));
    name_->setFont(NamedFont(kMincho, 11.25));

    const QFont buttonFont = NamedFont(kPMincho, 9);
    register_ = new QPushButton(tr("記録する"), this);
    register_->setObjectName(QStringLiteral("registerButton"));
    register_->setGeometry(Twips(120, 1920, 975, 375));
    decline_ = new QPushButton(tr("記録しない"), this);
    decline_->setObjectName(QStringLiteral("declineButton"));
    decline_->setGeometry(Twips(2040, 1920, 975, 375));
    for (QPushButton *button : {register_, decline_}) {
        button->setFont(buttonFont);
        FitButtonText(button);
        // Neither button answers Enter: a name is never registered by accident.
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(name_, register_);
    setTabOrder(register_, decline_);
    name_->setFocus();

    connect(register_, &QPushButton::clicked, this, [this] {
        const QString name = name_->text();
        done(QDialog::Accepted);
        emit registerWanted(name);
    });
    connect(decline_, &QPushButton::clicked, this, [this] {
        done(QDialog::Rejected);
        emit declined();
    });

    menu_ = new QMenu(tr("ポップアップ"), this);
    menu_->setObjectName(QStringLiteral("entryMenu"));
    menu_->addAction(tr("記録する(&Y)"), register_, &QPushButton::click)
        ->setObjectName(QStringLiteral("entryMenuRegister"));
    menu_->addAction(tr("記録しない(&N)"), decline_, &QPushButton::click)
        ->setObjectName(QStringLiteral("entryMenuDecline"));
    // The last poem's pictures, while the box is up: afterwards the answer is gone.
    menu_->addSeparator();
    menu_->addAction(tr("歌の絵を見る(&U)"), this, &RecordEntryBox::poemPictureWanted)
        ->setObjectName(QStringLiteral("poemPicture"));
    menu_->addAction(tr("作者の絵を見る(&A)"), this, &RecordEntryBox::poetPictureWanted)
        ->setObjectName(QStringLiteral("poetPicture"));
}

void RecordEntryBox::keyPressEvent(QKeyEvent *event) {
    // A plain dialog would close on Escape and press a button on Enter; this box does neither.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void RecordEntryBox::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton && !ReleasedOverControl(this, event)) {
        menu_->popup(event->globalPosition().toPoint());
    }
    event->accept();
}

} // namespace nupew

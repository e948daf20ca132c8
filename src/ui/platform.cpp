// SPDX-License-Identifier: MIT
// The platform layer: twips, fonts, colours, message boxes and translations.
#include "ui/platform.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTranslator>

// Resources of a static library have to be registered by hand.
static void InitAssets() {
    Q_INIT_RESOURCE(assets);
}

namespace nupew {

void InitResources() {
    InitAssets();
}

QRect Twips(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

void SetColor(QWidget *widget, QPalette::ColorRole role, const QColor &color) {
    if (role == QPalette::Window) {
        widget->setAutoFillBackground(true);
    }
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

QSize TwipsSize(int width, int height) {
    return QSize(Px(width), Px(height));
}

void InstallFontSubstitutions() {
    QFont::insertSubstitutions(kMincho,
                               {QStringLiteral("IPAMincho"), QStringLiteral("IPAexMincho")});
    QFont::insertSubstitutions(kPMincho,
                               {QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho")});
    QFont::insertSubstitutions(kPGothic,
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    QFont::insertSubstitutions(kSystemFont,
                               {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")});
}

QFont NamedFont(const QString &family, double points) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(family == kSystemFont ? QFont::Bold : QFont::Normal);
    return font;
}

void LoadJapaneseTranslations(QApplication &app) {
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

QIcon Picture(const QString &name) {
    return QIcon(QStringLiteral(":/pictures/%1.xpm").arg(name));
}

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent) {}

void ClickLabel::mousePressEvent(QMouseEvent *event) {
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
    if (!rect().contains(event->position().toPoint())) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    } else if (event->button() == Qt::RightButton) {
        emit rightReleased(event->globalPosition().toPoint());
    }
}

ClickLabel *MakeLabel(QWidget *parent, const QString &name, const LabelLook &look) {
    auto *label = new ClickLabel(parent);
    ApplyLook(label, name, look);
    return label;
}

void ApplyLook(ClickLabel *label, const QString &name, const LabelLook &look) {
    label->setObjectName(name);
    label->setText(look.text);
    label->setGeometry(look.twips);
    label->setFont(look.font);
    label->setAlignment(look.alignment);
    if (look.background.isValid()) {
        SetColor(label, QPalette::Window, look.background);
    }
    if (look.foreground.isValid()) {
        SetColor(label, QPalette::WindowText, look.foreground);
    }
    if (look.border) {
        label->setFrameShape(QFrame::Box);
        label->setLineWidth(1);
    }
}

MessageAnswer ShowMessageBox(QWidget *parent, const Message &message) {
    QMessageBox box(parent);
    box.setWindowTitle(message.title);
    box.setText(message.text);
    box.setTextFormat(Qt::PlainText);
    switch (message.icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    switch (message.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    if (message.systemModal) {
        // The nearest a desktop offers: modal for the whole program and kept on top.
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return message.buttons == MessageButtons::YesNo      ? MessageAnswer::No
               : message.buttons == MessageButtons::OkCancel ? MessageAnswer::Cancel
                                                             : MessageAnswer::Ok;
    }
}

} // namespace nupew

// SPDX-License-Identifier: MIT
// The platform layer: twips, fonts, colours, message boxes and translations.
#include "ui/shell/platform.h"

#include <QGuiApplication>
#include <QScreen>

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTranslator>

// Resources of a static library have to be registered by hand.
static void InitAssets() {
    Q_INIT_RESOURCE(assets);
    Q_INIT_RESOURCE(translations);
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

void FitButtonText(QAbstractButton *button, double smallest) {
    QString text = button->text();
    text.remove(u'&');
    QFont font = button->font();
    // Room for the frame and a little air on each side.
    const int room = button->width() - 8;
    while (QFontMetrics(font).horizontalAdvance(text) > room && font.pointSizeF() > smallest) {
        font.setPointSizeF(std::max(smallest, font.pointSizeF() - 0.5));
    }
    button->setFont(font);
}

QFont NamedFont(const QString &family, double points) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(family == kSystemFont ? QFont::Bold : QFont::Normal);
    return font;
}

bool SpeaksEnglish(const QLocale &locale) {
    return locale.language() != QLocale::Japanese && locale.language() != QLocale::C;
}

void InstallTranslations(QObject *owner, const QLocale &locale) {
    InitResources();
    auto *translator = new QTranslator(owner);
    const bool loaded = SpeaksEnglish(locale)
                            ? translator->load(QStringLiteral(":/i18n/nupew_en.qm"))
                            : translator->load(QStringLiteral("qtbase_ja"),
                                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator; // the program's own texts, or Qt's English ones
    }
}

QIcon Picture(const QString &name) {
    return QIcon(QStringLiteral(":/pictures/%1.xpm").arg(name));
}

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent) {
    // Names and file contents are shown as they are, never as markup.
    setTextFormat(Qt::PlainText);
}

void ClickLabel::paintEvent(QPaintEvent *event) {
    QLabel::paintEvent(event);
    if (frameShape() == QFrame::Box) {
        // Borders are black whatever the text colour, so that the shared edges
        // of neighbouring cells look the same whichever was drawn last.
        QPainter painter(this);
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CenterOnScreen(QWidget *window) {
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

void PlaceOnScreen(QWidget *window, int leftTwips, int topTwips) {
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.left() + Px(leftTwips), area.top() + Px(topTwips));
    }
}

void PlaceBelow(QWidget *window, const QWidget *above, int gapTwips) {
    const QRect frame = above->frameGeometry();
    window->move(frame.left(), frame.bottom() + Px(gapTwips));
}

void FitOnScreen(QWidget *window) {
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // Before the first showing there is no frame yet: allow for a title bar.
    const QRect frame = window->frameGeometry();
    const int extraWidth = std::max(frame.width() - window->width(), 0);
    const int extraHeight =
        window->isVisible() ? std::max(frame.height() - window->height(), 0) : kAssumedTitleHeight;
    // Shrunk first where the window allows it, then moved in.
    const int width = std::min(window->width(), area.width() - extraWidth);
    const int height = std::min(window->height(), area.height() - extraHeight);
    if (width != window->width() || height != window->height()) {
        window->resize(std::max(width, window->minimumWidth()),
                       std::max(height, window->minimumHeight()));
    }
    const int outerWidth = window->width() + extraWidth;
    const int outerHeight = window->height() + extraHeight;
    const int x =
        std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - outerWidth));
    const int y =
        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - outerHeight));
    if (x != frame.left() || y != frame.top()) {
        window->move(x, y);
    }
}

void ShowForward(QWidget *window) {
    FitOnScreen(window);
    window->show();
    FitOnScreen(window); // again, now that the window manager's frame is known
    window->raise();
    window->activateWindow();
}

bool ReleasedOverControl(QWidget *window, const QMouseEvent *event) {
    for (QWidget *child = window->childAt(event->position().toPoint()); child && child != window;
         child = child->parentWidget()) {
        if (qobject_cast<QAbstractButton *>(child) || qobject_cast<QLineEdit *>(child)) {
            return true;
        }
    }
    return false;
}

void ClickLabel::mousePressEvent(QMouseEvent *event) {
    event->accept();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event) {
    // The second press of a double-click is no click: the release that ends it
    // is passed over, so a double-click counts once.
    event->accept();
    if (event->button() == Qt::LeftButton) {
        releaseEndsDoubleClick_ = true;
    }
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
    const bool endsDoubleClick = releaseEndsDoubleClick_ && event->button() == Qt::LeftButton;
    if (endsDoubleClick) {
        releaseEndsDoubleClick_ = false;
    }
    if (!rect().contains(event->position().toPoint())) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        if (!endsDoubleClick) {
            emit clicked();
        }
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
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
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

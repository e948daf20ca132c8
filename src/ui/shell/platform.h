// SPDX-License-Identifier: MIT
// The platform layer: twips, fonts, colours, message boxes and translations.
#pragma once

#include "core/seams.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QLocale>
#include <QRect>
#include <functional>

class QApplication;
class QWidget;

class QAbstractButton;

namespace nupew {

// 15 twips make one logical pixel; Qt scales logical pixels on dense screens.
inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel.
constexpr int Px(int twips) {
    return (twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel);
}
QRect Twips(int left, int top, int width, int height);
QSize TwipsSize(int width, int height);

inline QColor ToColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// Sets one colour of a widget's palette; a background colour also fills the widget.
void SetColor(QWidget *widget, QPalette::ColorRole role, const QColor &color);

// The fonts the windows name, substituted by the IPA fonts of the same metrics.
inline const QString kMincho = QStringLiteral("ＭＳ 明朝");
inline const QString kPMincho = QStringLiteral("ＭＳ Ｐ明朝");
inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kSystemFont = QStringLiteral("System");
void InstallFontSubstitutions();
QFont NamedFont(const QString &family, double points);
// The button's font made smaller, down to `smallest` points, until its text
// fits its fixed width: a translated caption is often longer than the
// Japanese one the window was laid out for.
void FitButtonText(QAbstractButton *button, double smallest = 6.0);

// The language the windows speak for a locale: Japanese, the program's own,
// for a Japanese locale or none at all (C, POSIX); English for any other.
// The poems are Japanese in every language.
bool SpeaksEnglish(const QLocale &locale);
// Installs the texts for the locale, owned by `owner` (deleting it removes
// them): our English translation, or Qt's own Japanese texts for standard
// buttons and dialogs.
void InstallTranslations(QObject *owner, const QLocale &locale = QLocale::system());

// Registers the pictures and help pages built into the program.
void InitResources();

// A picture from the resources as an icon, with its @2x variant for dense screens.
QIcon Picture(const QString &name);

// A label as the windows use them; it consumes its clicks so that a click on a
// label never reaches the window behind it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent);

signals:
    void clicked();
    void rightReleased(const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool releaseEndsDoubleClick_ = false;
};

// Moves a window into its screen's available area, shrunk first where it is
// larger and allows it, so that no part of it opens off the screen.
void FitOnScreen(QWidget *window);
// Places a window in the middle of the primary screen's available area.
void CenterOnScreen(QWidget *window);
// Places a window at a distance in twips from the available area's top left.
void PlaceOnScreen(QWidget *window, int leftTwips, int topTwips);
// Places a window `gapTwips` below another one, at its left edge.
void PlaceBelow(QWidget *window, const QWidget *above, int gapTwips);
inline constexpr int kAssumedTitleHeight = 32;

// Shows a window, or brings it forward when it is showing, inside the screen,
// and gives it the focus.
void ShowForward(QWidget *window);

// True when a mouse release that reached `window` happened over one of its
// buttons or text fields, which have no popup of the window's own.
bool ReleasedOverControl(QWidget *window, const QMouseEvent *event);

struct LabelLook {
    QString text;
    QRect twips;
    QColor background;
    QColor foreground;
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool border = false;
};
ClickLabel *MakeLabel(QWidget *parent, const QString &name, const LabelLook &look);
void ApplyLook(ClickLabel *label, const QString &name, const LabelLook &look);

// Message boxes with exact texts, titles, buttons and icons.
MessageAnswer ShowMessageBox(QWidget *parent, const Message &message);

} // namespace nupew

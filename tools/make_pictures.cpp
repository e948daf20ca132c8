// SPDX-License-Identifier: MIT
// Draws our own picture of every poem (U1.JPG–U100.JPG) and of every poet
// (A1.JPG–A100.JPG) from the poem table, so that the viewers have something to
// show out of the box. Usage: nupew_make_pictures FOLDER
#include "core/decisive.h"
#include "core/game.h"
#include "core/poem_catalogue.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

using namespace nupew;

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;
// High enough that the strokes of the type show no ringing.
constexpr int kPictureQuality = 95;

const QColor kPaper(247, 241, 222);
const QColor kInk(40, 32, 28);
const QColor kFrame(120, 86, 52);
const QString kSpace = QStringLiteral("　");

QFont Mincho(int pixels) {
    QFont font(QStringLiteral("IPAMincho"));
    font.setPixelSize(pixels);
    return font;
}

// Draws `text` one character under the other from (x, top), each in a square
// cell of `cell` pixels centred on x.
void DrawColumn(QPainter &painter, const QString &text, int x, int top, int cell) {
    for (int i = 0; i < text.size(); ++i) {
        painter.drawText(QRect(x - cell / 2, top + i * cell, cell, cell), Qt::AlignCenter,
                         text.mid(i, 1));
    }
}

// The card-like ground: paper, a thin outer frame and a hairline inside it.
void DrawGround(QPainter &painter, const QColor &frame) {
    painter.fillRect(0, 0, kWidth, kHeight, kPaper);
    painter.setPen(QPen(frame, 4));
    painter.drawRect(QRectF(14, 14, kWidth - 28, kHeight - 28));
    painter.setPen(QPen(frame, 1));
    painter.drawRect(QRectF(22.5, 22.5, kWidth - 45, kHeight - 45));
}

// The number in kanji, as a number is written down a column: 95 is 九十五.
QString KanjiNumber(int number) {
    const QString digits = QStringLiteral("〇一二三四五六七八九");
    if (number == 100) {
        return QStringLiteral("百");
    }
    QString text;
    if (number >= 10) {
        text += (number >= 20 ? QString(digits[number / 10]) : QString()) + QStringLiteral("十");
    }
    if (number % 10 != 0 || number < 10) {
        text += digits[number % 10];
    }
    return text;
}

// A colour washed into the paper, `share` parts in a hundred.
QColor Wash(const QColor &colour, int share) {
    const auto mix = [share](int a, int b) { return (a * share + b * (100 - share)) / 100; };
    return QColor(mix(colour.red(), kPaper.red()), mix(colour.green(), kPaper.green()),
                  mix(colour.blue(), kPaper.blue()));
}

QColor ClassColor(const Poet &poet) {
    const Rgb rgb = PoetColor(poet.kind);
    return QColor(rgb.r, rgb.g, rgb.b);
}

QString PoetName(const Poet &poet) {
    QString name = poet.name;
    name.remove(u'■');
    return name;
}

// The poem in vertical writing, right to left: the three phrases of the upper
// verse, then the lower verse in two columns that start a little lower, as a
// poem is written on a card; the number and the poet in smaller type.
QImage DrawPoemPicture(const PoemCatalogue &catalogue, int row) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawGround(painter, kFrame);

    const QStringList upper = catalogue.Text(Poem::FromRow(row), kUpperKanji).split(kSpace);
    const QString lower = catalogue.Text(Poem::FromRow(row), kLowerKanji).remove(kSpace);
    const int half = LowerVerseBreak(catalogue, Poem::FromRow(row));
    const QStringList columns = upper + QStringList{lower.left(half), lower.mid(half)};
    qsizetype longest = 0;
    for (const QString &column : columns) {
        longest = std::max(longest, column.size());
    }
    const int cell = std::min(46, int(470 / (longest + 1)));
    painter.setFont(Mincho(cell - 6));
    painter.setPen(kInk);
    const int spacing = 66;
    int x = kWidth - 78;
    for (int i = 0; i < columns.size(); ++i) {
        const int top =
            64 + (i == 1 ? cell : 0) + (i == 3 ? 2 * cell : 0) + (i == 4 ? 3 * cell : 0);
        DrawColumn(painter, columns[i], x, top, cell);
        x -= spacing + (i == 2 ? 14 : 0);
    }

    painter.setPen(kFrame);
    painter.setFont(Mincho(20));
    DrawColumn(painter, QStringLiteral("第") + KanjiNumber(row + 1) + QStringLiteral("番"), 50, 44,
               24);
    const Poet poet = catalogue.PoetOf(Poem::FromRow(row));
    painter.setPen(ClassColor(poet).darker(110));
    const QString name = PoetName(poet);
    const int nameCell = std::min(26, int(300 / std::max<qsizetype>(1, name.size())));
    painter.setFont(Mincho(nameCell - 3));
    DrawColumn(painter, name, 50, kHeight - 44 - int(name.size()) * nameCell, nameCell);
    return image;
}

// The poet's name large in vertical writing, the number above it, and the
// poet's class in the colour the board gives the name: women, monks, others.
QImage DrawPoetPicture(const PoemCatalogue &catalogue, int row) {
    const Poet poet = catalogue.PoetOf(Poem::FromRow(row));
    const QColor colour = ClassColor(poet);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawGround(painter, Wash(colour, 70));

    // A band of the class colour down the right side, with the class in it.
    const QRectF band(kWidth - 96, 40, 48, kHeight - 80);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Wash(colour, 16));
    painter.drawRoundedRect(band, 8, 8);
    const QString kind = poet.kind == PoetKind::Woman  ? QStringLiteral("女流歌人")
                         : poet.kind == PoetKind::Monk ? QStringLiteral("僧・法師")
                                                       : QStringLiteral("歌人");
    painter.setPen(colour);
    painter.setFont(Mincho(26));
    DrawColumn(painter, kind, int(band.center().x()), 64, 32);

    const QString name = PoetName(poet);
    const int cell = std::min(84, int(500 / std::max<qsizetype>(1, name.size())));
    painter.setPen(kInk);
    painter.setFont(Mincho(cell - 8));
    const int top = 70 + (500 - cell * int(name.size())) / 2;
    DrawColumn(painter, name, kWidth / 2 - 20, top, cell);

    painter.setPen(colour.darker(120));
    painter.setFont(Mincho(22));
    DrawColumn(painter, QStringLiteral("第") + KanjiNumber(row + 1) + QStringLiteral("番"), 62, 44,
               26);
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    // Drawing text needs the font database, which needs a platform; no screen is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: nupew_make_pictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    PoemCatalogue catalogue;
    catalogue.Fill();
    for (int row = 0; row < 100; ++row) {
        const int number = row + 1;
        const QList<std::pair<QString, QImage>> pictures = {
            {QStringLiteral("U%1.JPG").arg(number), DrawPoemPicture(catalogue, row)},
            {QStringLiteral("A%1.JPG").arg(number), DrawPoetPicture(catalogue, row)},
        };
        for (const auto &[name, image] : pictures) {
            QImageWriter writer(folder + u'/' + name, "jpeg");
            writer.setQuality(kPictureQuality);
            if (!writer.write(image)) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(name),
                             qPrintable(writer.errorString()));
                return 1;
            }
        }
    }
    return 0;
}

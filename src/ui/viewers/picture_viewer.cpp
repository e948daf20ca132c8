// SPDX-License-Identifier: MIT
// The poem and poet picture viewers.
#include "ui/viewers/picture_viewer.h"

#include "core/file_names.h"
#include "core/safe_files.h"
#include "ui/shell/platform.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <optional>

namespace nupew {
namespace {

struct ViewerLook {
    const char *name;
    const char *caption;
    const char *prefix;
    const char *missing;
    const char *missingTitle;
    int clientWidth;
    int clientHeight;
    int left;
    int top;
    int imageWidth;
    int imageHeight;
    int buttonHeight;
    const char *menu;
    const char *menuCaption;
    const char *menuItem;
};

constexpr ViewerLook kPoem = {"poemViewer",
                              QT_TRANSLATE_NOOP("nupew::PictureViewer", "歌について"),
                              "U",
                              QT_TRANSLATE_NOOP("nupew::PictureViewer", "歌ファイルがありません"),
                              QT_TRANSLATE_NOOP("nupew::PictureViewer", "U画像"),
                              10125,
                              7125,
                              735,
                              1785,
                              10455,
                              6975,
                              255,
                              "poemViewerMenu",
                              QT_TRANSLATE_NOOP("nupew::PictureViewer", "ポップアップメニュー"),
                              "poemViewerMenuClose"};
constexpr ViewerLook kPoet = {"poetViewer",
                              QT_TRANSLATE_NOOP("nupew::PictureViewer", "作者について"),
                              "A",
                              QT_TRANSLATE_NOOP("nupew::PictureViewer", "作者ファイルがありません"),
                              QT_TRANSLATE_NOOP("nupew::PictureViewer", "A画像"),
                              8880,
                              6510,
                              5355,
                              4020,
                              9495,
                              6375,
                              240,
                              "poetViewerMenu",
                              QT_TRANSLATE_NOOP("nupew::PictureViewer", "ボップアップメニュー"),
                              "poetViewerMenuClose"};

const ViewerLook &Look(PictureKind kind) {
    return kind == PictureKind::Poem ? kPoem : kPoet;
}

int Pixels(float twips) {
    return std::max(0, int(std::lround(twips / float(kTwipsPerPixel))));
}

// Pictures larger than this are refused before any memory is taken for them.
constexpr qint64 kMaxPixels = 40'000'000;
constexpr int kMaxSide = 20'000;

// The busy pointer for the length of an opening; Restore() may come earlier.
class BusyPointer {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { Restore(); }
    void Restore() {
        if (active_) {
            active_ = false;
            QGuiApplication::restoreOverrideCursor();
        }
    }

private:
    bool active_ = true;
};

} // namespace

PictureViewer::PictureViewer(PictureKind kind, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      kind_(kind) {
    const ViewerLook &look = Look(kind);
    setObjectName(QString::fromLatin1(look.name));
    setWindowTitle(tr(look.caption));
    setWindowIcon(Picture(QStringLiteral("leaf")));
    setAttribute(Qt::WA_DeleteOnClose);

    image_ = new ClickLabel(this);
    image_->setObjectName(QStringLiteral("picture"));
    image_->setScaledContents(true);
    closeButton_ = new QPushButton(tr("終了"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setGeometry(Twips(30000, 30000, 495, look.buttonHeight));
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    problem_->setAutoFillBackground(true);
    problem_->setMargin(6);
    SetColor(problem_, QPalette::Window, QColor(255, 255, 224));
    SetColor(problem_, QPalette::WindowText, QColor(160, 0, 0));
    problem_->hide();

    menu_ = new QMenu(tr(look.menuCaption), this);
    menu_->setObjectName(QString::fromLatin1(look.menu));
    menu_->addAction(tr("終了(&E)"), this, &QWidget::close)
        ->setObjectName(QString::fromLatin1(look.menuItem));
    connect(image_, &ClickLabel::rightReleased, menu_,
            [this](const QPoint &at) { menu_->popup(at); });

    geometry_.outerWidth = float(look.clientWidth) + kFrameWidth;
    geometry_.outerHeight = float(look.clientHeight) + kFrameHeight;
    geometry_.pictureWidth = float(look.imageWidth);
    geometry_.pictureHeight = float(look.imageHeight);
    geometry_.Resize(); // the rule runs when the window first appears
    Apply();
    // The position is that of the client area; move() would place the frame there.
    setGeometry(Px(look.left), Px(look.top), width(), height());
}

QStringList PictureViewer::Candidates(const QString &folder, PictureKind kind, int poem) {
    QStringList names;
    for (const char *extension : {".BMP", ".GIF", ".JPG", ".JPEG"}) {
        names.append(folder + QString::fromLatin1(Look(kind).prefix) + QString::number(poem) +
                     QString::fromLatin1(extension));
    }
    return names;
}

namespace {
std::optional<QStringList> sharedFoldersOverride;
} // namespace

QStringList PictureViewer::SharedFolders() {
    if (sharedFoldersOverride) {
        return *sharedFoldersOverride;
    }
    // Installed: <prefix>/games or bin/../share/nupew/pictures; in the build
    // tree: <build>/src/app/../../pictures.
    const QString here = QCoreApplication::applicationDirPath();
    return {QDir::cleanPath(here + QStringLiteral("/../share/nupew/pictures")) + u'/',
            QDir::cleanPath(here + QStringLiteral("/../../pictures")) + u'/'};
}

void PictureViewer::SetSharedFolders(const QStringList &folders) {
    sharedFoldersOverride = folders;
}

Result<QImage> PictureViewer::ReadPicture(const QString &path) {
    // No picture of a poem is that large: refused by its size, before any read.
    const QFileInfo info(path);
    if (info.isFile() && info.size() > kMaxPictureBytes) {
        return Result<QImage>::Failure(tr("%1 は大きすぎます（%2 MiB、上限 %3 MiB）")
                                           .arg(info.fileName())
                                           .arg(info.size() / (1024 * 1024))
                                           .arg(kMaxPictureBytes / (1024 * 1024)));
    }
    // The bytes are read first, through the reader that opens only regular
    // files and never blocks, then decoded from memory.
    Result<FileRead> read = ReadRegularFile(path, kMaxPictureBytes);
    if (!read.ok() || read.value().truncated || read.value().missing) {
        return Result<QImage>::Failure(tr("%1 を読めません（%2）")
                                           .arg(info.fileName(), !read.ok() ? read.error()
                                                                 : read.value().missing
                                                                     ? tr("ありません")
                                                                     : tr("大きすぎます")));
    }
    QBuffer buffer(&read.value().bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide ||
                           qint64(size.width()) * size.height() > kMaxPixels)) {
        return Result<QImage>::Failure(tr("%1 は画素が多すぎます（%2×%3）")
                                           .arg(info.fileName())
                                           .arg(size.width())
                                           .arg(size.height()));
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return Result<QImage>::Failure(tr("%1 は壊れているか、画像ではありません（%2）")
                                           .arg(info.fileName(), reader.errorString()));
    }
    return image;
}

QString PictureViewer::Problem() const {
    return problem_->isHidden() ? QString() : problem_->text();
}

void PictureViewer::Open(const QString &folder, int poem, bool boardNormal, Dialogs &dialogs) {
    BusyPointer busy;
    const ViewerLook &look = Look(kind_);
    const float openingWidth = geometry_.outerWidth;
    // The player's folder (or the working folder) first, then our own pictures.
    QStringList names = Candidates(folder, kind_, poem);
    for (const QString &shared : SharedFolders()) {
        names += Candidates(shared, kind_, poem);
    }
    QString found;
    QString problem; // a file of the player's that is there but unusable
    for (const QString &name : names) {
        const FileState state = FileStateOf(name);
        if (state == FileState::Readable) {
            found = name;
            break;
        }
        const QString existing = FindExisting(name);
        const Result<NameKind> check = CheckName(existing);
        if (state != FileState::Missing && !(check.ok() && check.value() == NameKind::Missing) &&
            problem.isEmpty()) {
            problem = tr("%1 を使えません（%2）")
                          .arg(QFileInfo(existing).fileName(),
                               !check.ok() ? check.error() : tr("読み取り禁止です"));
        }
    }
    if (found.isEmpty()) {
        busy.Restore();
        // The nudge fits the picture the viewer holds back to its window.
        geometry_.SetOuterHeight(geometry_.outerHeight + 30.0f);
        geometry_.SetOuterHeight(geometry_.outerHeight - 30.0f);
        Apply();
        QString text = tr(look.missing);
        if (!problem.isEmpty()) {
            text += u'\n' + problem;
        }
        dialogs.ShowMessage({text, tr(look.missingTitle)});
        return;
    }
    const QString path = FindExisting(found);
    if (!QFileInfo::exists(path)) {
        busy.Restore();
        dialogs.ShowMessage({tr("ファイルがありません"), tr("画像")});
        return;
    }
    // A picture that cannot be read leaves the viewer empty, saying why.
    const Result<QImage> image = ReadPicture(path);
    picture_ = image.value_or(QImage());
    loadedFile_ = image.ok() ? path : QString();
    if (!image.ok()) {
        problem = image.error();
    }
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
    // Without a picture the control keeps its size: in a new viewer, its design size.
    const bool isNew = !isVisible();
    const float width = !picture_.isNull() ? float(picture_.width()) * float(kTwipsPerPixel)
                        : isNew            ? float(look.imageWidth)
                                           : geometry_.pictureWidth;
    const float height = !picture_.isNull() ? float(picture_.height()) * float(kTwipsPerPixel)
                         : isNew            ? float(look.imageHeight)
                                            : geometry_.pictureHeight;
    geometry_.normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    geometry_.Open(openingWidth, width, height, isVisible(), boardNormal);
    Apply();
    ShowForward(this);
}

void PictureViewer::Apply() {
    applying_ = true;
    image_->setPixmap(picture_.isNull() ? QPixmap() : QPixmap::fromImage(picture_));
    int width = Pixels(geometry_.outerWidth - kFrameWidth);
    int height = Pixels(geometry_.outerHeight - kFrameHeight);
    // A window larger than the screen is drawn smaller, picture and all, so
    // that it fits; the sizes of its rules stay as they are.
    double scale = 1.0;
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const int frame = isVisible() ? std::max(frameGeometry().height() - this->height(), 0)
                                      : kAssumedTitleHeight;
        scale = std::min({1.0, double(area.width()) / std::max(width, 1),
                          double(area.height() - frame) / std::max(height, 1)});
    }
    const auto scaled = [scale](int pixels) { return int(std::floor(pixels * scale)); };
    image_->setGeometry(0, 0, scaled(Pixels(geometry_.pictureWidth)),
                        scaled(Pixels(geometry_.pictureHeight)));
    problem_->setGeometry(0, 0, std::max(scaled(width), 120), 64);
    if (geometry_.normal) {
        resize(scaled(width), scaled(height));
    }
    applying_ = false;
}

void PictureViewer::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (applying_) {
        return;
    }
    // The user dragged the border: the picture follows the width, the height springs back.
    geometry_.normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    geometry_.outerWidth = float(width()) * float(kTwipsPerPixel) + kFrameWidth;
    geometry_.outerHeight = float(height()) * float(kTwipsPerPixel) + kFrameHeight;
    geometry_.Resize();
    Apply();
}

void PictureViewer::changeEvent(QEvent *event) {
    if (event->type() == QEvent::WindowStateChange) {
        geometry_.normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    }
    QWidget::changeEvent(event);
}

void PictureViewer::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        closeButton_->click(); // the hidden button is both default and cancel
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PictureViewer::Show(QPointer<PictureViewer> &viewer, PictureKind kind, const QString &folder,
                         int poem, bool boardNormal, Dialogs &dialogs) {
    if (!viewer) {
        viewer = new PictureViewer(kind);
    }
    const bool overBox = QApplication::activeModalWidget() != nullptr &&
                         QApplication::activeModalWidget() != viewer.data();
    if (overBox != (viewer->windowModality() == Qt::ApplicationModal)) {
        const bool visible = viewer->isVisible();
        viewer->hide();
        viewer->setWindowModality(overBox ? Qt::ApplicationModal : Qt::NonModal);
        viewer->setVisible(visible);
    }
    viewer->Open(folder, poem, boardNormal, dialogs);
}

} // namespace nupew
